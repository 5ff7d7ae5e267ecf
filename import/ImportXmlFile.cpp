#include "import/ImportXmlFile.h"

#include "import/BossShortName.h"
#include "import/XmlChildCount.h"
#include "import/XmlErrorTexts.h"
#include "records/LumarelError.h"
#include "records/StudentListLine.h"
#include "records/TextRules.h"

#include <QFile>
#include <QFileInfo>

#include <libxml/SAX2.h>
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <memory>

namespace {

using TextRules::DecodeQuotes;

// What the tree pass met that makes it refuse the file. The parser context
// carries it; the contexts that parse an entity's text inherit it.
struct ParseGuard {
    QString external;   // an entity that stands for an outside file
    QString undeclared; // a reference to an entity the file does not declare
    XmlFault first;     // the parser's first error; later ones follow from it
};

ParseGuard* guardOf(void* ctxt)
{
    return ctxt ? static_cast<ParseGuard*>(static_cast<xmlParserCtxtPtr>(ctxt)->_private) : nullptr;
}

QString fromXml(const xmlChar* s)
{
    return s ? QString::fromUtf8(reinterpret_cast<const char*>(s)) : QString();
}

// A document never loads anything from outside itself: no DTD, no external
// entity, no network. A request is noted, so the file is refused for it.
xmlParserInputPtr refuseExternal(const char* url, const char* id, xmlParserCtxtPtr ctxt)
{
    if (ParseGuard* guard = guardOf(ctxt); guard && guard->external.isEmpty())
        guard->external = QString::fromUtf8(url ? url : id ? id : "");
    return nullptr;
}

// Declaring an outside file is enough to refuse the document, used or not.
void noteEntityDecl(void* ctxt, const xmlChar* name, int type, const xmlChar* publicId,
                    const xmlChar* systemId, xmlChar* content)
{
    if (type == XML_EXTERNAL_GENERAL_PARSED_ENTITY ||
        type == XML_EXTERNAL_GENERAL_UNPARSED_ENTITY || type == XML_EXTERNAL_PARAMETER_ENTITY) {
        ParseGuard* guard = guardOf(ctxt);
        if (guard && guard->external.isEmpty())
            guard->external = systemId   ? fromXml(systemId)
                              : publicId ? fromXml(publicId)
                                         : fromXml(name);
    }
    xmlSAX2EntityDecl(ctxt, name, type, publicId, systemId, content);
}

void noteUnparsedEntityDecl(void* ctxt, const xmlChar* name, const xmlChar* publicId,
                            const xmlChar* systemId, const xmlChar* notation)
{
    if (ParseGuard* guard = guardOf(ctxt); guard && guard->external.isEmpty())
        guard->external = systemId ? fromXml(systemId) : fromXml(name);
    xmlSAX2UnparsedEntityDecl(ctxt, name, publicId, systemId, notation);
}

// Asked only for names other than the five predefined ones. An undeclared
// one would otherwise vanish from an attribute value without a word.
xmlEntityPtr noteGetEntity(void* ctxt, const xmlChar* name)
{
    xmlEntityPtr entity = xmlSAX2GetEntity(ctxt, name);
    if (!entity) {
        if (ParseGuard* guard = guardOf(ctxt); guard && guard->undeclared.isEmpty())
            guard->undeclared = fromXml(name);
    }
    return entity;
}

XmlFault faultOf(const xmlError& e)
{
    return XmlFault{e.code,
                    e.line,
                    e.int2,
                    QString::fromUtf8(e.str1 ? e.str1 : ""),
                    QString::fromUtf8(e.str2 ? e.str2 : ""),
                    QString::fromUtf8(e.message ? e.message : "")};
}

void noteError(void*, xmlErrorPtr error)
{
    if (!error || error->level < XML_ERR_ERROR)
        return;
    if (ParseGuard* guard = guardOf(error->ctxt); guard && guard->first.code == 0)
        guard->first = faultOf(*error);
}

void silentGeneric(void*, const char*, ...) {}
void silentStructured(void*, xmlErrorPtr) {}

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct CtxtFree {
    void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};

// Names are matched exactly: "x:document" is not "document", whatever
// namespace the prefix stands for.
bool isNamedElement(const xmlNode* n, const char* name)
{
    return n->type == XML_ELEMENT_NODE && !(n->ns && n->ns->prefix) &&
           xmlStrcmp(n->name, BAD_CAST name) == 0;
}

// Text made only of white space between elements is not a node of the file.
bool isIgnorableBlank(const xmlNode* n)
{
    return n->type == XML_TEXT_NODE && xmlIsBlankNode(n);
}

// What a value holds besides text; a value is text only.
enum class Intruder { None, Element, CommentOrInstruction, Entity };

// The text of a list of nodes. The parser has already put in the file's own
// entities; an entity reference still standing is one it could not expand
// (undeclared), reported with its name in entity.
Intruder appendText(const xmlNode* n, QString& out, QString* entity = nullptr)
{
    Intruder found = Intruder::None;
    for (; n; n = n->next) {
        switch (n->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            out += fromXml(n->content);
            break;
        case XML_ENTITY_REF_NODE:
            if (found == Intruder::None) {
                found = Intruder::Entity;
                if (entity)
                    *entity = fromXml(n->name);
            }
            break;
        case XML_ELEMENT_NODE:
            found = Intruder::Element;
            break;
        default:
            if (found != Intruder::Element)
                found = Intruder::CommentOrInstruction;
            break;
        }
    }
    return found;
}

class RecordReader {
public:
    RecordReader(RecordStore& store, QStringList& lines, int position, const xmlNode* element)
        : m_store(store), m_lines(lines), m_position(position), m_element(element)
    {
        m_index = m_store.AppendRecord();
    }

    StudentRecord& record() { return m_store.MutableRecord(m_index); }

    [[noreturn]] void fail(const QString& what) const
    {
        throw LumarelError(QStringLiteral("Запис №%1 xml-файлу (рядок %2): %3")
                               .arg(m_position)
                               .arg(xmlGetLineNo(m_element))
                               .arg(what));
    }

    // kind and name: "атрибута" or "елемента", and its name in the file.
    QString bounded(QString value, const QString& kind, const QString& name) const
    {
        const int length = TextRules::CodePointCount(value);
        if (length > MaxValueLength)
            fail(QStringLiteral("значення %1 \"%2\" надто довге: %3 символів, найбільше можна %4")
                     .arg(kind, name)
                     .arg(length)
                     .arg(MaxValueLength));
        return value;
    }

    qint32 toNumber(const QString& text, const QString& name) const
    {
        qint32 v = 0;
        if (!TextRules::ParseInt32(text, &v))
            fail(QStringLiteral("значення \"%1\" поля \"%2\" не є цілим числом").arg(text, name));
        return v;
    }

    void addListLine()
    {
        const StudentRecord& r = record();
        m_lines.append(
            FormatListLine(QString::number(r.RecordNumber), r.DisplayName, r.FacultyName));
    }

protected:
    RecordStore& m_store;
    QStringList& m_lines;
    int m_position;
    const xmlNode* m_element;
    int m_index = 0;
};

class AttributeFormReader : public RecordReader {
public:
    AttributeFormReader(RecordStore& s, QStringList& l, int pos, const xmlNode* doc,
                        const xmlNode* data)
        : RecordReader(s, l, pos, doc), m_data(data)
    {
    }

    void read()
    {
        StudentRecord& r = record();
        r.RecordNumber = toNumber(required("iddocument"), QStringLiteral("iddocument"));
        set(RecordField::DisplayName, required("fio"));
        set(RecordField::LastName, required("lastname"));
        set(RecordField::FirstName, required("firstname"));
        set(RecordField::MiddleName, optional("middlename"));
        set(RecordField::LastNameEn, optional("lastnameen"));
        set(RecordField::FirstNameEn, optional("firstnameen"));
        set(RecordField::MiddleNameEn, optional("middlenameEn"));
        set(RecordField::FacultyName, optional("facultetfullname"));
        addListLine();
        set(RecordField::UniversityPrintName, required("universityname"));
        set(RecordField::UniversityPrintNameEn, optional("universitynameen"));
        set(RecordField::DocumentSeries, required("series"));
        set(RecordField::DocumentNumber, required("number"));
        set(RecordField::SexId, required("idtypesex"));
        set(RecordField::LevelCode, optional("specdirprofcode"));
        set(RecordField::SpecialityName, optional("specdirprofname"));
        set(RecordField::SpecialityNameEn, optional("specdirprofnameen"));
        set(RecordField::QualificationName, required("educationqualificationname"));
        set(RecordField::QualificationNameEn, optional("educationqualificationnameen"));
        set(RecordField::BossPost, required("bossworkpost"));
        set(RecordField::BossPostEn, required("bossworkposten"));
        set(RecordField::BossFIO, BossShortName(required("boss"), 2));
        set(RecordField::BossFIOEn, BossShortName(required("bossen"), 1));
        set(RecordField::IssueDate, required("dategive"));
        set(RecordField::AwardTypeName, required("award"));
    }

private:
    void set(RecordField f, const QString& v) { SetField(record(), f, v); }

    const xmlAttr* attribute(const char* name) const
    {
        for (const xmlAttr* a = m_data->properties; a; a = a->next) {
            if (!a->ns && xmlStrcmp(a->name, BAD_CAST name) == 0)
                return a;
        }
        return nullptr;
    }

    QString valueOf(const xmlAttr* a) const
    {
        QString v;
        QString entity;
        if (appendText(a->children, v, &entity) != Intruder::None)
            fail(QStringLiteral("атрибут \"%1\" містить невизначену сутність &%2;")
                     .arg(fromXml(a->name), entity));
        return bounded(DecodeQuotes(v), QStringLiteral("атрибута"), fromXml(a->name));
    }

    QString required(const char* name) const
    {
        const xmlAttr* a = attribute(name);
        if (!a)
            fail(
                QStringLiteral("немає обов'язкового атрибута \"%1\"").arg(QLatin1StringView(name)));
        return valueOf(a);
    }

    QString optional(const char* name) const
    {
        const xmlAttr* a = attribute(name);
        return a ? valueOf(a) : QString();
    }

    const xmlNode* m_data;
};

class ElementFormReader : public RecordReader {
public:
    using RecordReader::RecordReader;

    void read()
    {
        StudentRecord& r = record();
        copy(RecordField::LastName);
        copy(RecordField::FirstName);
        copy(RecordField::MiddleName);
        QString display = r.LastName + u' ' + TextRules::CutToWidth(r.FirstName, 1) + u'.';
        if (!r.MiddleName.isEmpty())
            display += TextRules::CutToWidth(r.MiddleName, 1) + u'.';
        set(RecordField::DisplayName, display);
        copy(RecordField::LastNameEn);
        copy(RecordField::FirstNameEn);
        copy(RecordField::MiddleNameEn);
        const char* numberName = InfoOf(RecordField::DocumentNumber).Name;
        const QString number = text(numberName);
        r.RecordNumber = toNumber(number, QString::fromLatin1(numberName));
        copy(RecordField::FacultyName);
        addListLine();
        copy(RecordField::UniversityPrintName);
        copy(RecordField::UniversityPrintNameEn);
        copy(RecordField::DocumentSeries);
        set(RecordField::DocumentNumber, number);
        copy(RecordField::SexId);
        set(RecordField::LevelCode, levelCode(text("DocumentTypeId")));
        copy(RecordField::SpecialityName);
        copy(RecordField::SpecialityNameEn);
        copy(RecordField::QualificationName);
        copy(RecordField::QualificationNameEn);
        copy(RecordField::BossPost);
        copy(RecordField::BossPostEn);
        copy(RecordField::BossFIO);
        copy(RecordField::BossFIOEn);
        copy(RecordField::IssueDate);
        copy(RecordField::GraduateDate);
        copy(RecordField::AwardTypeName);
    }

private:
    void set(RecordField f, const QString& v) { SetField(record(), f, v); }
    // The element of the same name as the field.
    void copy(RecordField f) { set(f, text(InfoOf(f).Name)); }

    static QString levelCode(const QString& typeId)
    {
        if (typeId == u"5" || typeId == u"55")
            return QStringLiteral("5");
        if (typeId == u"6" || typeId == u"66")
            return QStringLiteral("6");
        if (typeId == u"7" || typeId == u"8")
            return typeId;
        return {};
    }

    QString text(const char* name) const
    {
        for (const xmlNode* c = m_element->children; c; c = c->next) {
            if (isNamedElement(c, name)) {
                QString v;
                QString entity;
                const QLatin1StringView element(name);
                switch (appendText(c->children, v, &entity)) {
                case Intruder::None:
                    return bounded(DecodeQuotes(v), QStringLiteral("елемента"), element);
                case Intruder::Element:
                    fail(QStringLiteral("елемент \"%1\" містить вкладені елементи замість тексту")
                             .arg(element));
                case Intruder::CommentOrInstruction:
                    fail(
                        QStringLiteral(
                            "елемент \"%1\" містить коментар або інструкцію обробки посеред тексту")
                            .arg(element));
                case Intruder::Entity:
                    fail(QStringLiteral("елемент \"%1\" містить невизначену сутність &%2;")
                             .arg(element, entity));
                }
            }
        }
        return {};
    }
};

// UTF-16 without a byte-order mark and without a declaration, as some tools
// save it: the first character, '<' or white space, has a zero byte beside it.
// No UTF-8 document can start so (NUL is not allowed in XML).
const char* utf16WithoutMark(const QByteArray& bytes)
{
    if (bytes.size() < 4)
        return nullptr;
    const auto isStart = [](char c) {
        return c == '<' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
    };
    if (isStart(bytes[0]) && bytes[1] == 0 && bytes[2] != 0 && bytes[3] == 0)
        return "UTF-16LE";
    if (bytes[0] == 0 && isStart(bytes[1]) && bytes[2] == 0 && bytes[3] != 0)
        return "UTF-16BE";
    return nullptr;
}

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

QString externalEntityText(const QString& path, const QString& name)
{
    return QStringLiteral("Файл \"%1\" посилається на зовнішній файл \"%2\" (зовнішня сутність). "
                          "Програма не читає нічого поза самим xml-файлом")
        .arg(fileNameOf(path), name);
}

QString parserErrorText(xmlParserCtxt* ctxt, const QString& path, const ParseGuard& guard)
{
    // The library's bounds on entity expansion: a loop, a bomb, an
    // amplification beyond what the file's size allows, or a value grown past
    // the longest text it takes.
    if (ctxt && ctxt->nbentities > 0 &&
        (guard.first.code == XML_ERR_ENTITY_LOOP ||
         guard.first.code == XML_ERR_ATTRIBUTE_NOT_FINISHED ||
         guard.first.code == XML_ERR_NO_MEMORY))
        return QStringLiteral("Файл \"%1\" не прийнято (рядок %2): його сутності (&…;) "
                              "розгортаються в надто великий текст або одна в одну по колу")
            .arg(fileNameOf(path))
            .arg(guard.first.line);
    // The first fault is the cause, and the parser stopped reading there.
    XmlFault fault = guard.first;
    if (fault.code == 0) {
        if (const xmlError* e = ctxt ? xmlCtxtGetLastError(ctxt) : nullptr)
            fault = faultOf(*e);
    }
    const QString reason = XmlFaultReason(fault);
    if (fault.line > 0)
        return QStringLiteral("Файл \"%1\" не є правильним xml-файлом (%2): %3")
            .arg(fileNameOf(path), XmlFaultPlace(fault), reason);
    return QStringLiteral("Файл \"%1\" не є правильним xml-файлом: %2")
        .arg(fileNameOf(path), reason);
}

} // namespace

std::optional<QString> ImportXmlFile(const QString& path, RecordStore& store,
                                     QStringList& listLines)
{
    if (QFileInfo(path).isDir())
        throw LumarelError(FolderNotFileText.arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw LumarelError(
            QStringLiteral("Не вдалося відкрити файл \"%1\": %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw LumarelError(
            QStringLiteral("Не вдалося прочитати файл \"%1\": %2").arg(path, file.errorString()));
    return ImportXmlBytes(bytes, path, store, listLines);
}

namespace {

// The parsed file, well-formed and with a root element; refusals of its
// entities and syntax throw.
std::unique_ptr<xmlDoc, DocFree> parseDocument(const QByteArray& bytes, const QString& path,
                                               const char* encoding)
{
    std::unique_ptr<xmlParserCtxt, CtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt)
        throw LumarelError(QStringLiteral("Недостатньо пам'яті для читання xml-файлу"));
    ParseGuard guard;
    ctxt->_private = &guard;
    ctxt->sax->entityDecl = noteEntityDecl;
    ctxt->sax->unparsedEntityDecl = noteUnparsedEntityDecl;
    ctxt->sax->getEntity = noteGetEntity;
    ctxt->sax->serror = noteError;
    // The file's own entities are expanded, within the library's bounds on
    // amplification and on the length of one text (never XML_PARSE_HUGE);
    // nothing is loaded from outside and no network is used.
    const int options = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR;
    std::unique_ptr<xmlDoc, DocFree> doc(xmlCtxtReadMemory(
        ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()), nullptr, encoding, options));
    if (!guard.external.isEmpty())
        throw LumarelError(externalEntityText(path, guard.external));
    if (!guard.undeclared.isEmpty())
        throw LumarelError(
            QStringLiteral("Файл \"%1\" посилається на сутність &%2;, якої не оголошує")
                .arg(fileNameOf(path), guard.undeclared));
    if (!doc || !ctxt->wellFormed)
        throw LumarelError(parserErrorText(ctxt.get(), path, guard));
    if (!xmlDocGetRootElement(doc.get()))
        throw LumarelError(parserErrorText(ctxt.get(), path, guard));
    return doc;
}

// Reads every record under root, in either layout, into fresh and lines.
void readRecords(const xmlNode* root, bool attributeForm, RecordStore& fresh, QStringList& lines)
{
    fresh.BeginImport();
    int position = 0;
    for (const xmlNode* c = root->children; c; c = c->next) {
        if (attributeForm) {
            if (!isNamedElement(c, "document"))
                continue;
            const xmlNode* data = c->children;
            while (data && !isNamedElement(data, "documentdata"))
                data = data->next;
            if (!data)
                continue;
            AttributeFormReader(fresh, lines, ++position, c, data).read();
        } else {
            if (!isNamedElement(c, "Document"))
                continue;
            ElementFormReader(fresh, lines, ++position, c).read();
        }
    }
}

} // namespace

std::optional<QString> ImportXmlBytes(const QByteArray& bytes, const QString& path,
                                      RecordStore& store, QStringList& listLines)
{
    xmlSetExternalEntityLoader(refuseExternal);
    xmlSetGenericErrorFunc(nullptr, silentGeneric);
    xmlSetStructuredErrorFunc(nullptr, silentStructured);

    if (bytes.isEmpty())
        throw LumarelError(QStringLiteral("Файл \"%1\" порожній").arg(QFileInfo(path).fileName()));

    const char* encoding = utf16WithoutMark(bytes);
    // Only a big file is worth a second parse: a small one is refused by the
    // tree pass just the same, and cheaply.
    constexpr qsizetype PrePassFrom = 8 * 1024 * 1024;
    if (!encoding && bytes.size() >= PrePassFrom && CertainlyTooManyChildren(bytes))
        return TooManyRecordsText;

    const std::unique_ptr<xmlDoc, DocFree> doc = parseDocument(bytes, path, encoding);
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    bool attributeForm = false;
    bool elementForm = false;
    int childCount = 0;
    for (const xmlNode* c = root->children; c; c = c->next) {
        if (isIgnorableBlank(c))
            continue;
        ++childCount;
        attributeForm = attributeForm || isNamedElement(c, "document");
        elementForm = elementForm || isNamedElement(c, "Document");
    }
    if (!attributeForm && !elementForm)
        return WrongStructureText;
    if (childCount > RecordStore::Capacity)
        return TooManyRecordsText;

    // Read into a fresh store: a file that breaks half-way changes nothing.
    RecordStore fresh;
    QStringList lines;
    readRecords(root, attributeForm, fresh, lines);
    store.swap(fresh);
    listLines.swap(lines);
    return std::nullopt;
}
