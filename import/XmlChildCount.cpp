#include "import/XmlChildCount.h"

#include "records/RecordStore.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>

namespace {

// A first pass that builds no tree: counts the root's element, comment and
// processing-instruction children (each one node of the tree as well) and
// notes whether one of them is a record element. It lets a huge file be
// refused for its size without holding its whole tree in memory; anything
// it cannot vouch for is left to the tree-building pass.
struct ChildCount {
    int depth = 0;
    int children = 0;
    bool recordElement = false;
};

void countStart(void* user, const xmlChar* localname, const xmlChar* prefix, const xmlChar*, int,
                const xmlChar**, int, int, const xmlChar**)
{
    auto* c = static_cast<ChildCount*>(user);
    if (c->depth == 1) {
        ++c->children;
        // A prefixed name is not a record element, in the tree pass either.
        if (!prefix && (xmlStrcmp(localname, BAD_CAST "document") == 0 ||
                        xmlStrcmp(localname, BAD_CAST "Document") == 0))
            c->recordElement = true;
    }
    ++c->depth;
}

void countEnd(void* user, const xmlChar*, const xmlChar*, const xmlChar*)
{
    --static_cast<ChildCount*>(user)->depth;
}

void countOther(void* user, const xmlChar*, const xmlChar* = nullptr)
{
    auto* c = static_cast<ChildCount*>(user);
    if (c->depth == 1)
        ++c->children;
}

} // namespace

bool CertainlyTooManyChildren(const QByteArray& bytes)
{
    xmlSAXHandler sax{};
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = countStart;
    sax.endElementNs = countEnd;
    sax.comment = [](void* user, const xmlChar* v) { countOther(user, v); };
    sax.processingInstruction = [](void* user, const xmlChar* t, const xmlChar* v) {
        countOther(user, t, v);
    };
    ChildCount count;
    const int rc =
        xmlSAXUserParseMemory(&sax, &count, bytes.constData(), static_cast<int>(bytes.size()));
    return rc == 0 && count.recordElement && count.children > RecordStore::Capacity;
}
