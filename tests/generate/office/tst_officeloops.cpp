// A held template filled again in one call of the office's loops: written
// only while it reads as loaded, and then as one step that one undo takes
// back; or, kept filled, written over for the next graduate exactly as a
// fresh load would be filled.
#include "generate/office/DocumentParts.h"
#include "generate/office/HeldTemplates.h"
#include "generate/office/OfficeBridge.h"
#include "generate/office/OfficeLoops.h"
#include "generate/office/OfficeProcess.h"
#include "generate/office/OfficeProfile.h"
#include "generate/office/OfficeStrings.h"
#include "generate/office/OpenDocument.h"
#include "generate/office/TagSearch.h"
#include "tests/support/OfficeWork.h"

#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>

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

// Two character formats the templates' tags take: bold; and italic, larger
// and red.
const QString Formats =
    u"<office:automatic-styles><style:style style:name=\"B\" style:family=\"text\">"
    u"<style:text-properties fo:font-weight=\"bold\"/></style:style>"
    u"<style:style style:name=\"I\" style:family=\"text\"><style:text-properties "
    u"fo:font-style=\"italic\" fo:font-size=\"16pt\" fo:color=\"#c00000\"/></style:style>"
    u"</office:automatic-styles>"_qs;

// Each text portion with its weight, posture, size and colour.
QString formatting(const Reference<css::lang::XComponent>& document)
{
    QString out;
    WalkTextOrThrow(
        Reference<css::text::XTextDocument>(document, UNO_QUERY_THROW)->getText(),
        [](const auto&) {},
        [&](const Reference<css::text::XText>&, const css::uno::Any& item, int) {
            const Reference<css::container::XEnumerationAccess> paragraph(item,
                                                                          css::uno::UNO_QUERY);
            if (!paragraph.is())
                return;
            const auto portions = paragraph->createEnumeration();
            while (portions->hasMoreElements()) {
                const Reference<css::beans::XPropertySet> p(portions->nextElement(),
                                                            UNO_QUERY_THROW);
                float weight = 0, height = 0;
                sal_Int32 color = 0;
                css::awt::FontSlant posture{};
                p->getPropertyValue(rtl::OUString("CharWeight")) >>= weight;
                p->getPropertyValue(rtl::OUString("CharHeight")) >>= height;
                p->getPropertyValue(rtl::OUString("CharColor")) >>= color;
                p->getPropertyValue(rtl::OUString("CharPosture")) >>= posture;
                out +=
                    u"[%1|%2|%3|%4|%5]"_qs
                        .arg(toQ(Reference<css::text::XTextRange>(p, UNO_QUERY_THROW)->getString()))
                        .arg(weight)
                        .arg(height)
                        .arg(static_cast<int>(posture))
                        .arg(color);
            }
            out += u'\n';
        });
    return out;
}

} // namespace

class TestOfficeLoops : public QObject, public OfficeWork {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init() { renew(); }
    void cleanupTestCase();
    void refillsOnlyAsLoaded_data();
    void refillsOnlyAsLoaded();
    void overwritesAsFreshFill_data();
    void overwritesAsFreshFill();

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

void TestOfficeLoops::overwritesAsFreshFill_data()
{
    QTest::addColumn<QString>("body");
    // Loaded for the first graduate; written over after that, and loaded
    // again only for a value to go where an empty one went.
    QTest::addColumn<int>("loads");
    QTest::newRow("formatted amid plain text")
        << u"<text:p>Я, <text:span text:style-name=\"B\">#Прізвище#</text:span>, закінчив "
           u"<text:span text:style-name=\"I\">#ВНЗ#</text:span> (#Ім`я#) #По батькові#</text:p>"_qs
        << 2;
    QTest::newRow("a tag formatted in part")
        << u"<text:p><text:span text:style-name=\"B\">#Пріз</text:span>вище# "
           u"<text:span text:style-name=\"I\">#ВН</text:span>З# #Ім`я# #По батькові#</text:p>"_qs
        << 2;
    QTest::newRow("in table cells")
        << u"<table:table table:name=\"T\"><table:table-column table:number-columns-repeated="
           u"\"2\"/><table:table-row><table:table-cell><text:p><text:span text:style-name=\"B\">"
           u"#Прізвище#</text:span> #Ім`я#</text:p></table:table-cell><table:table-cell><text:p>"
           u"#По батькові# <text:span text:style-name=\"I\">#ВНЗ#</text:span>.</text:p>"
           u"</table:table-cell></table:table-row></table:table>"_qs
        << 2;
    QTest::newRow("side by side, formatted alike")
        << u"<text:p>Ім'я: <text:span text:style-name=\"I\">x#Ім`я##По батькові#.</text:span> "
           u"#Прізвище# #ВНЗ#</text:p>"_qs
        << 2;
    // Undone after each graduate instead.
    QTest::newRow("side by side, formatted apart")
        << u"<text:p><text:span text:style-name=\"B\">#Ім`я#</text:span>#По батькові#"
           u"<text:span text:style-name=\"I\">#Прізвище#</text:span></text:p>"
           u"<text:p><text:span text:style-name=\"I\">#ВНЗ#</text:span></text:p>"_qs
        << 1;
}

// Graduates, some with values left empty, through one held template: every
// document reads, formatting and all, as the one a fresh load makes.
void TestOfficeLoops::overwritesAsFreshFill()
{
    QFETCH(QString, body);
    QFETCH(int, loads);
    const QList<QStringList> graduates = {
        {u"Косач"_qs, u"КНУ"_qs, u"Леся"_qs, QString()},
        {u"Франко"_qs, QString(), u"Іван"_qs, QString()},
        {u"Стус"_qs, QString(), u"Василь"_qs, QString()},
        {u"Сковорода"_qs, u"ХКА"_qs, u"Григорій"_qs, u"Савич"_qs},
        {u"Ж"_qs, u"A & B"_qs, u"Ї"_qs, u"Ю"_qs},
        {QString(40, u'Ш'), u"#ВНЗ#"_qs, u"Марко"_qs, u"Якович"_qs},
    };
    QByteArray records;
    for (const QStringList& g : graduates)
        records += TestFiles::elementRecord({{u"LastName"_qs, g.at(0)},
                                             {u"UniversityPrintName"_qs, g.at(1)},
                                             {u"FirstName"_qs, g.at(2)},
                                             {u"MiddleName"_qs, g.at(3)}});
    importRecords(records);
    const QString path = putTemplate(u"t.fodt"_qs, TestFiles::flatDocument(Formats, body));
    LibreOfficeSession held;
    held.start(true);
    GenerationContext c = context();
    c.session = &held;
    QStringList heldPaths, freshPaths;
    for (int k = 1; k <= graduates.size(); ++k)
        heldPaths << GenerateDocument(c, k, path, true, OutputKind::Regular).value_or(QString());
    const int heldLoads = held.templateLoads();
    held.quit();
    for (int k = 1; k <= graduates.size(); ++k)
        freshPaths << GenerateDocument(context(), k, path, true, OutputKind::Demonstration)
                          .value_or(QString());
    const auto read = [this](const QString& file) {
        OpenDocument doc =
            LoadTemplate(m_bridge.desktop(), file, true, [this] { return m_process.alive(); });
        const QString text = formatting(doc.document);
        CloseOfficeDocument(doc.document);
        return text;
    };
    for (qsizetype k = 0; k < graduates.size(); ++k) {
        const QString heldText = read(heldPaths.at(k));
        QCOMPARE(heldText, read(freshPaths.at(k)));
        QVERIFY2(heldText.contains(graduates.at(k).at(0)), qPrintable(heldText));
    }
    QCOMPARE(heldLoads, loads);
}

QTEST_GUILESS_MAIN(TestOfficeLoops)
#include "tst_officeloops.moc"
