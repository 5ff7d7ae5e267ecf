// A held template filled again in one call of the office's loops: written
// only while it reads as loaded, and then as one step that one undo takes
// back.
#include "generate/office/HeldTemplates.h"
#include "generate/office/OfficeBridge.h"
#include "generate/office/OfficeLoops.h"
#include "generate/office/OfficeProcess.h"
#include "generate/office/OfficeProfile.h"
#include "generate/office/OfficeStrings.h"
#include "generate/office/OpenDocument.h"
#include "generate/office/TagSearch.h"
#include "tests/support/OfficeWork.h"

#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XSearchable.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

const QStringList Tags = {u"#Прізвище#"_qs, u"#ВНЗ#"_qs};

const QByteArray Template = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
<office:body><office:text>
<text:p><text:bookmark text:name="Start"/>Я, #Прізвище#, закінчив #ВНЗ#.</text:p>
<text:p>#ВНЗ#</text:p>
</office:text></office:body></office:document>
)";

} // namespace

class TestOfficeLoops : public QObject, public OfficeWork {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init() { renew(); }
    void cleanupTestCase();
    void refillsOnlyAsLoaded_data();
    void refillsOnlyAsLoaded();

private:
    OfficeProcess m_process;
    OfficeProfile m_profile;
    OfficeBridge m_bridge;
};

void TestOfficeLoops::initTestCase()
{
    if (!LibreOfficeSession::IsInstalled())
        QSKIP("LibreOffice is not installed");
    isolate();
    m_profile.take();
    m_bridge.connect(m_process, m_profile, LibreOfficeSession::DefaultProgramDir(), true);
    QVERIFY(m_bridge.loops().installed());
}

void TestOfficeLoops::cleanupTestCase()
{
    if (m_bridge.connected())
        m_process.terminate(m_bridge.release());
    m_profile.release();
}

void TestOfficeLoops::refillsOnlyAsLoaded_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("text");
    const QString filled = u"Я, Косач, закінчив КНУ.\nКНУ"_qs;
    QTest::newRow("as loaded") << QString() << filled;
    QTest::newRow("a value left from the last graduate")
        << u"value"_qs << u"Я, #Прізвище#, закінчив Інший.\n#ВНЗ#"_qs;
    QTest::newRow("a bookmark lost")
        << u"bookmark"_qs << u"Я, #Прізвище#, закінчив #ВНЗ#.\n#ВНЗ#"_qs;
}

void TestOfficeLoops::refillsOnlyAsLoaded()
{
    QFETCH(QString, change);
    QFETCH(QString, text);
    const QString path = putTemplate(u"t.fodt"_qs, Template);
    OpenDocument doc =
        LoadTemplate(m_bridge.desktop(), path, true, [this] { return m_process.alive(); });
    TrackedChanges changes;
    QList<DocumentMark> marks;
    PrepareForFilling(doc, m_bridge.remote(), false, changes, marks);
    OfficeLoops& loops = m_bridge.loops();
    const QString loaded = loops.Marks(doc.document);
    const QStringList places = {u"#Прізвище#"_qs, u"#ВНЗ#"_qs, u"#ВНЗ#"_qs};
    const Reference<css::text::XTextDocument> textDoc(doc.document, UNO_QUERY_THROW);
    if (change == u"value") {
        Reference<css::util::XSearchable> search(doc.document, UNO_QUERY_THROW);
        auto descriptor = search->createSearchDescriptor();
        descriptor->setSearchString(toOU(u"#ВНЗ#."_qs));
        Reference<css::text::XTextRange>(search->findFirst(descriptor), UNO_QUERY_THROW)
            ->setString(toOU(u"Інший."_qs));
    } else if (change == u"bookmark") {
        const Reference<css::text::XTextContent> mark(
            Reference<css::text::XBookmarksSupplier>(doc.document, UNO_QUERY_THROW)
                ->getBookmarks()
                ->getByName(toOU(u"Start"_qs)),
            UNO_QUERY_THROW);
        textDoc->getText()->removeTextContent(mark);
    }
    const OfficeLoops::Refilled refilled =
        loops.Refill(doc.document, TagPattern(Tags), places, loaded, {0, 1, 2},
                     {u"Косач"_qs, u"КНУ"_qs, u"КНУ"_qs}, {false, false, false}, FillingTitle);
    const auto shown = [&] {
        return toQ(textDoc->getText()->getString()).replace(u"\r\n"_qs, u"\n"_qs);
    };
    const QString after = shown();
    // One undo takes the whole filling back.
    if (refilled == OfficeLoops::Refilled::Undoable)
        loops.TakeBack(doc.document);
    const QString undone = shown();
    CloseOfficeDocument(doc.document);
    QCOMPARE(after, text);
    if (change.isEmpty())
        QCOMPARE(undone, u"Я, #Прізвище#, закінчив #ВНЗ#.\n#ВНЗ#"_qs);
    QCOMPARE(refilled, change.isEmpty() ? OfficeLoops::Refilled::Undoable
                                        : OfficeLoops::Refilled::NotAsLoaded);
}

QTEST_GUILESS_MAIN(TestOfficeLoops)
#include "tst_officeloops.moc"
