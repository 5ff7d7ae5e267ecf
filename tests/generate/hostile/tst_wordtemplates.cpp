#include "checks/TemplateReader.h"
#include "records/LumarelError.h"
#include "tests/generate/hostile/HelperOffice.h"
#include "tests/support/OfficeReading.h"
#include "tests/support/OfficeWork.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XRedlinesSupplier.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XEndnotesSupplier.hpp>
#include <com/sun/star/text/XFootnotesSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using HelperUno::toOU;
using HelperUno::toQ;

namespace {

using TestFiles::AllTags;

// What the tags put into a part become for the test's graduate (Косач,
// Львівський університет, graduated 25.06.2016).
const QString Tags = u"#Прізвище# #ВНЗ# #ДатаЗн##AddDateEnZn# #МісЗн#"_qs;
const QString Filled = u"Косач Львівський університет 25th червня"_qs;

void appendTo(const Reference<css::text::XText>& text, const QString& string)
{
    const Reference<css::text::XTextCursor> cursor = text->createTextCursor();
    cursor->gotoEnd(false);
    text->insertString(Reference<css::text::XTextRange>(cursor.get()), toOU(string), false);
}

Reference<css::text::XText> textOf(const css::uno::Any& any)
{
    return Reference<css::text::XText>(any, UNO_QUERY);
}

Reference<css::beans::XPropertySet> firstPageStyle(const HelperOffice::Document& doc)
{
    Reference<css::text::XTextDocument> text(doc, UNO_QUERY_THROW);
    const Reference<css::text::XTextCursor> cursor = text->getText()->createTextCursor();
    rtl::OUString name;
    Reference<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString("PageStyleName")) >>= name;
    Reference<css::style::XStyleFamiliesSupplier> families(doc, UNO_QUERY_THROW);
    Reference<css::container::XNameAccess> styles(
        families->getStyleFamilies()->getByName(rtl::OUString("PageStyles")), UNO_QUERY_THROW);
    return Reference<css::beans::XPropertySet>(styles->getByName(name), UNO_QUERY_THROW);
}

// The first shape on the page (or in a group) that holds text, frames included.
Reference<css::text::XText> firstShapeText(const Reference<css::container::XIndexAccess>& shapes)
{
    for (sal_Int32 k = 0; k < shapes->getCount(); ++k) {
        const css::uno::Any item = shapes->getByIndex(k);
        Reference<css::drawing::XShapes> group(item, UNO_QUERY);
        if (group.is()) {
            const Reference<css::text::XText> inner =
                firstShapeText(Reference<css::container::XIndexAccess>(group, UNO_QUERY_THROW));
            if (inner.is())
                return inner;
            continue;
        }
        const Reference<css::text::XText> text = textOf(item);
        if (text.is())
            return text;
    }
    return {};
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
Reference<css::container::XIndexAccess> drawPage(const HelperOffice::Document& doc)
{
    return Reference<css::container::XIndexAccess>(
        Reference<css::drawing::XDrawPageSupplier>(doc, UNO_QUERY_THROW)->getDrawPage(),
        UNO_QUERY_THROW);
}
#pragma GCC diagnostic pop

// Puts text into one part of an open document, as a user would type it
// there. Returns false when the document has no such part.
bool putInto(const HelperOffice::Document& doc, const QString& part, const QString& text)
{
    Reference<css::text::XTextDocument> document(doc, UNO_QUERY_THROW);
    if (part == u"body") {
        appendTo(document->getText(), u"\n"_qs + text);
        return true;
    }
    if (part == u"split") {
        // "#Прі" bold, the rest plain: the tag spans two formatting runs.
        const Reference<css::text::XText> body = document->getText();
        const Reference<css::text::XTextCursor> cursor = body->createTextCursor();
        cursor->gotoEnd(false);
        body->insertString(Reference<css::text::XTextRange>(cursor.get()), rtl::OUString("\n"),
                           false);
        const QString head = text.left(4);
        body->insertString(Reference<css::text::XTextRange>(cursor.get()), toOU(head), false);
        cursor->goLeft(static_cast<sal_Int16>(head.size()), true);
        Reference<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW)
            ->setPropertyValue(rtl::OUString("CharWeight"), css::uno::Any(150.0f));
        cursor->gotoEnd(false);
        Reference<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW)
            ->setPropertyValue(rtl::OUString("CharWeight"), css::uno::Any(100.0f));
        body->insertString(Reference<css::text::XTextRange>(cursor.get()),
                           toOU(text.mid(head.size())), false);
        return true;
    }
    if (part == u"table") {
        Reference<css::text::XTextTablesSupplier> tables(doc, UNO_QUERY_THROW);
        Reference<css::container::XIndexAccess> all(tables->getTextTables(), UNO_QUERY_THROW);
        if (!all->hasElements())
            return false;
        Reference<css::text::XTextTable> table(all->getByIndex(all->getCount() - 1),
                                               UNO_QUERY_THROW);
        const css::uno::Sequence<rtl::OUString> cells = table->getCellNames();
        // The first and the last cell, so that a tag stands in each.
        appendTo(textOf(css::uno::Any(table->getCellByName(cells[0]))), text);
        appendTo(textOf(css::uno::Any(table->getCellByName(cells[cells.getLength() - 1]))),
                 u"#Ім`я#"_qs);
        return true;
    }
    if (part == u"header" || part == u"footer") {
        const Reference<css::beans::XPropertySet> style = firstPageStyle(doc);
        const rtl::OUString on =
            part == u"header" ? rtl::OUString("HeaderIsOn") : rtl::OUString("FooterIsOn");
        style->setPropertyValue(on, css::uno::Any(true));
        appendTo(textOf(style->getPropertyValue(part == u"header" ? rtl::OUString("HeaderText")
                                                                  : rtl::OUString("FooterText"))),
                 text);
        return true;
    }
    if (part == u"left and first") {
        // A one-page document shows neither the left-page header nor the
        // right-page one, only the first page's.
        const Reference<css::beans::XPropertySet> style = firstPageStyle(doc);
        style->setPropertyValue(rtl::OUString("HeaderIsOn"), css::uno::Any(true));
        style->setPropertyValue(rtl::OUString("HeaderIsShared"), css::uno::Any(false));
        style->setPropertyValue(rtl::OUString("FirstIsShared"), css::uno::Any(false));
        appendTo(textOf(style->getPropertyValue(rtl::OUString("HeaderTextFirst"))), u"#Ім`я#"_qs);
        appendTo(textOf(style->getPropertyValue(rtl::OUString("HeaderText"))), u"#Ім`я#"_qs);
        appendTo(textOf(style->getPropertyValue(rtl::OUString("HeaderTextLeft"))), text);
        return true;
    }
    if (part == u"shape") {
        const Reference<css::text::XText> shape = firstShapeText(drawPage(doc));
        if (!shape.is())
            return false;
        appendTo(shape, text);
        return true;
    }
    if (part == u"footnote") {
        Reference<css::text::XFootnotesSupplier> notes(doc, UNO_QUERY_THROW);
        Reference<css::container::XIndexAccess> all = notes->getFootnotes();
        if (!all->hasElements())
            return false;
        appendTo(textOf(all->getByIndex(0)), text);
        return true;
    }
    return false;
}

void collectShapes(const Reference<css::container::XIndexAccess>& shapes, QStringList& out)
{
    for (sal_Int32 k = 0; k < shapes->getCount(); ++k) {
        const css::uno::Any item = shapes->getByIndex(k);
        Reference<css::drawing::XShapes> group(item, UNO_QUERY);
        if (group.is())
            collectShapes(Reference<css::container::XIndexAccess>(group, UNO_QUERY_THROW), out);
        else if (const Reference<css::text::XText> text = textOf(item); text.is())
            out << toQ(text->getString());
    }
}

void collectNotes(const Reference<css::container::XIndexAccess>& notes, QStringList& out)
{
    for (sal_Int32 k = 0; k < notes->getCount(); ++k)
        out << toQ(textOf(notes->getByIndex(k))->getString());
}

// The text of every part of an open document, read the long way round.
QString everyPart(const HelperOffice::Document& doc)
{
    QStringList parts;
    parts << toQ(Reference<css::text::XTextDocument>(doc, UNO_QUERY_THROW)->getText()->getString());
    Reference<css::style::XStyleFamiliesSupplier> families(doc, UNO_QUERY_THROW);
    Reference<css::container::XNameAccess> styles(
        families->getStyleFamilies()->getByName(rtl::OUString("PageStyles")), UNO_QUERY_THROW);
    for (const rtl::OUString& name : styles->getElementNames()) {
        Reference<css::beans::XPropertySet> style(styles->getByName(name), UNO_QUERY_THROW);
        for (const char* property :
             {"HeaderText", "HeaderTextLeft", "HeaderTextRight", "HeaderTextFirst", "FooterText",
              "FooterTextLeft", "FooterTextRight", "FooterTextFirst"}) {
            try {
                const Reference<css::text::XText> text =
                    textOf(style->getPropertyValue(rtl::OUString::createFromAscii(property)));
                if (text.is())
                    parts << toQ(text->getString());
            } catch (const css::uno::Exception&) {
                // not in this version of the office
            }
        }
    }
    Reference<css::text::XTextFramesSupplier> frames(doc, UNO_QUERY_THROW);
    const Reference<css::container::XNameAccess> frameNames = frames->getTextFrames();
    for (const rtl::OUString& name : frameNames->getElementNames())
        parts << toQ(textOf(frameNames->getByName(name))->getString());
    collectShapes(drawPage(doc), parts);
    collectNotes(Reference<css::text::XFootnotesSupplier>(doc, UNO_QUERY_THROW)->getFootnotes(),
                 parts);
    collectNotes(Reference<css::text::XEndnotesSupplier>(doc, UNO_QUERY_THROW)->getEndnotes(),
                 parts);
    return parts.join(u'\n');
}

int trackedChanges(const HelperOffice::Document& doc)
{
    Reference<css::document::XRedlinesSupplier> supplier(doc, UNO_QUERY_THROW);
    const Reference<css::container::XEnumeration> items =
        supplier->getRedlines()->createEnumeration();
    int count = 0;
    for (; items->hasMoreElements(); items->nextElement())
        ++count;
    return count;
}

QString leftTag(const QString& text)
{
    for (const QString& tag : AllTags)
        if (text.contains(tag, Qt::CaseInsensitive))
            return tag;
    return QString();
}

QString pageStyles(const QString& header, const QString& headerLeft, const QString& footer)
{
    QString master =
        u"<style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\">"_qs;
    if (!header.isEmpty())
        master += u"<style:header><text:p>"_qs + header + u"</text:p></style:header>"_qs;
    if (!headerLeft.isEmpty())
        master +=
            u"<style:header-left><text:p>"_qs + headerLeft + u"</text:p></style:header-left>"_qs;
    if (!footer.isEmpty())
        master += u"<style:footer><text:p>"_qs + footer + u"</text:p></style:footer>"_qs;
    return u"<office:automatic-styles><style:page-layout style:name=\"pm1\" "
           u"style:page-usage=\"mirrored\"><style:page-layout-properties fo:page-width=\"21cm\" "
           u"fo:page-height=\"29.7cm\"/></style:page-layout></office:automatic-styles>\n"
           u"<office:master-styles>"_qs +
           master + u"</style:master-page></office:master-styles>\n"_qs;
}

QString customShape(const QString& name, const QString& x, const QString& text)
{
    return u"<draw:custom-shape draw:name=\""_qs + name +
           u"\" text:anchor-type=\"paragraph\" svg:x=\""_qs + x +
           u"\" svg:y=\"1cm\" svg:width=\"6cm\" svg:height=\"2cm\"><text:p>"_qs + text +
           u"</text:p><draw:enhanced-geometry draw:type=\"rectangle\"/></draw:custom-shape>"_qs;
}

} // namespace

// Templates as registrars make them in Word: tags in every part of the
// document, real Word files, change tracking. Every tag is replaced where it
// stands, the checks see every part, and no office is left behind.
class TestWordTemplates : public QObject, private OfficeWork {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void unmodifiedSamples_data();
    void unmodifiedSamples();
    void tagsInParts_data();
    void tagsInParts();
    void ownTemplates_data();
    void ownTemplates();
    void changeTracking_data();
    void changeTracking();
    void literalValues_data();
    void literalValues();
    void lint_data();
    void lint();

private:
    QTemporaryDir m_helperProfile;
    std::unique_ptr<HelperOffice> m_helper;

    QString sample(const QString& name);
    QString flatTemplate(const QString& name, const QString& styles, const QString& body,
                         const QString& settings = QString());
    QString savedText(const QString& path, int* changes = nullptr);
};

void TestWordTemplates::initTestCase()
{
    if (!LibreOfficeSession::IsInstalled())
        QSKIP("LibreOffice is not installed");
    QVERIFY(m_helperProfile.isValid());
    // The helper's profile is not under the cache, which then finds only ours.
    isolate();
    m_helper = std::make_unique<HelperOffice>(m_helperProfile.path());
    m_helper->start();
}

void TestWordTemplates::cleanupTestCase()
{
    m_helper.reset();
}

void TestWordTemplates::init()
{
    renew(TestFiles::elementRecord());
}

void TestWordTemplates::cleanup()
{
    QCOMPARE(ourOffices(), QList<qint64>());
}

// A copy of a real Word document in the work folder's Templates.
QString TestWordTemplates::sample(const QString& name)
{
    return putTemplate(name, TestFiles::read(QStringLiteral(LUMAREL_WORD_SAMPLES) + u'/' + name));
}

QString TestWordTemplates::flatTemplate(const QString& name, const QString& styles,
                                        const QString& body, const QString& settings)
{
    return putTemplate(name, TestFiles::flatDocument(settings + styles, body));
}

// Every part of a saved document, read by the helper office.
QString TestWordTemplates::savedText(const QString& path, int* changes)
{
    const HelperOffice::Document doc = m_helper->load(path);
    if (!doc.is())
        return u"(not loaded)"_qs;
    const QString text = everyPart(doc);
    if (changes)
        *changes = trackedChanges(doc);
    HelperOffice::close(doc);
    return text;
}

void TestWordTemplates::unmodifiedSamples_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : QDir(QStringLiteral(LUMAREL_WORD_SAMPLES))
                                   .entryList({u"*.doc"_qs}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << name;
}

// No "#Прізвище#" anywhere: the unusable-template result, no file, no
// error, the template untouched and no office left (checked in cleanup).
void TestWordTemplates::unmodifiedSamples()
{
    QFETCH(QString, name);
    const QString path = sample(name);
    const QByteArray bytes = TestFiles::read(path);
    QVERIFY(!GenerateDocument(context(), 1, path, true, OutputKind::Regular));
    QVERIFY(QDir(m_work->filePath(u"Results"_qs)).isEmpty());
    QCOMPARE(TestFiles::read(path), bytes);
}

void TestWordTemplates::tagsInParts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("part");
    QTest::newRow("body, tag across two runs") << u"Bug33519.doc"_qs << u"split"_qs;
    QTest::newRow("body with styles and lists") << u"Bug49820.doc"_qs << u"body"_qs;
    QTest::newRow("table cells") << u"simple-table.doc"_qs << u"table"_qs;
    QTest::newRow("table cells among many tables") << u"53379.doc"_qs << u"table"_qs;
    QTest::newRow("header") << u"HeaderWithMacros.doc"_qs << u"header"_qs;
    QTest::newRow("footer") << u"HeaderWithMacros.doc"_qs << u"footer"_qs;
    QTest::newRow("left-page header, none shown")
        << u"HeaderWithMacros.doc"_qs << u"left and first"_qs;
    // Its text boxes reach the office as embedded objects, without text.
    QTest::newRow("large, with embedded objects") << u"Bug47731.doc"_qs << u"body"_qs;
    QTest::newRow("text box among tables") << u"53379.doc"_qs << u"shape"_qs;
    QTest::newRow("drawing shapes and word art") << u"WithArtShapes.doc"_qs << u"shape"_qs;
    QTest::newRow("footnote") << u"footnote.doc"_qs << u"footnote"_qs;
}

// The tags, "#Прізвище#" and the suffix tag included, stand only in one part
// of a real Word document: the template is accepted, and the saved document
// holds the values there and no tag anywhere.
void TestWordTemplates::tagsInParts()
{
    QFETCH(QString, name);
    QFETCH(QString, part);
    const QString source = sample(name);
    const QString path = m_work->filePath(u"Templates/шаблон.doc"_qs);
    {
        const HelperOffice::Document doc = m_helper->load(source);
        QVERIFY(doc.is());
        const bool put = putInto(doc, part, Tags);
        if (put)
            HelperOffice::store(doc, path, "MS Word 97");
        HelperOffice::close(doc);
        QVERIFY2(put, "the sample has no such part");
    }
    QVERIFY2(savedText(path).contains(Tags), "the tags did not survive the save as .doc");
    const QByteArray bytes = TestFiles::read(path);

    const QString saved =
        GenerateDocument(context(), 1, path, true, OutputKind::Regular).value_or(QString());
    QVERIFY(QFileInfo(saved).isFile());
    QCOMPARE(TestFiles::read(path), bytes);
    const QString text = savedText(saved);
    QVERIFY2(text.contains(Filled), qPrintable(text.left(4000)));
    QVERIFY2(leftTag(text).isEmpty(), qPrintable(leftTag(text)));
    if (part == u"table" || part == u"left and first")
        QVERIFY(text.contains(u"Лариса"_qs));
}

void TestWordTemplates::ownTemplates_data()
{
    QTest::addColumn<QString>("styles");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("expected");
    const QString plain = pageStyles(QString(), QString(), QString());
    QTest::newRow("custom shape") << plain
                                  << u"<text:p>без позначок"_qs +
                                         customShape(u"S"_qs, u"1cm"_qs, Tags) + u"</text:p>"_qs
                                  << QStringList{Filled};
    QTest::newRow("grouped shapes")
        << plain
        << u"<text:p>група<draw:g text:anchor-type=\"paragraph\">"_qs +
               customShape(u"A"_qs, u"1cm"_qs, u"#Прізвище# #Ім`я#"_qs) +
               customShape(u"B"_qs, u"8cm"_qs, u"#ВНЗ# #ДатаДп##AddDateEnDp#"_qs) +
               u"</draw:g></text:p>"_qs
        << QStringList{u"Косач Лариса"_qs, u"Львівський університет 01st"_qs};
    QTest::newRow("header holds the only suffix tag")
        << pageStyles(u"верх #ДатаЗн##AddDateEnZn#"_qs, QString(), QString())
        << u"<text:p>#Прізвище# #ДатаЗн#</text:p>"_qs
        << QStringList{u"верх 25th"_qs, u"Косач 25"_qs};
    QTest::newRow("left-page header and footer")
        << pageStyles(u"права #ВНЗ#"_qs, u"ліва #Прізвище# #ДатаДп##AddDateEnDp#"_qs,
                      u"низ #Ім`я#"_qs)
        << u"<text:p>тіло</text:p>"_qs
        << QStringList{u"права Львівський університет"_qs, u"ліва Косач 01st"_qs, u"низ Лариса"_qs};
    QTest::newRow("footnote and endnote")
        << plain
        << u"<text:p>тіло<text:note text:id=\"n1\" "
           u"text:note-class=\"footnote\"><text:note-citation>1"
           u"</text:note-citation><text:note-body><text:p>виноска #Прізвище#</text:p>"
           u"</text:note-body></text:note><text:note text:id=\"n2\" text:note-class=\"endnote\">"
           u"<text:note-citation>i</text:note-citation><text:note-body><text:p>кінцева "
           u"#ДатаЗн##AddDateEnZn#</text:p></text:note-body></text:note></text:p>"_qs
        << QStringList{u"виноска Косач"_qs, u"кінцева 25th"_qs};
    QTest::newRow("frame")
        << plain
        << u"<text:p><draw:frame draw:name=\"F\" text:anchor-type=\"paragraph\" svg:width=\"8cm\" "
           u"svg:height=\"2cm\"><draw:text-box><text:p>рамка #Прізвище#</text:p></draw:text-box>"
           u"</draw:frame>тіло #ВНЗ#</text:p>"_qs
        << QStringList{u"рамка Косач"_qs, u"тіло Львівський університет"_qs};
}

// Small templates for what the Word samples lack, each saved as .doc first
// as a registrar's would be.
void TestWordTemplates::ownTemplates()
{
    QFETCH(QString, styles);
    QFETCH(QString, body);
    QFETCH(QStringList, expected);
    const QString flat = flatTemplate(u"t.fodt"_qs, styles, body);
    const QString path = m_work->filePath(u"Templates/шаблон.doc"_qs);
    m_helper->convert(flat, path, "MS Word 97");
    QVERIFY(QFileInfo(path).isFile());
    const QString saved =
        GenerateDocument(context(), 1, path, true, OutputKind::Regular).value_or(QString());
    QVERIFY(QFileInfo(saved).isFile());
    const QString text = savedText(saved);
    for (const QString& line : expected)
        QVERIFY2(text.contains(line), qPrintable(line + u" not in:\n"_qs + text));
    QVERIFY2(leftTag(text).isEmpty(), qPrintable(leftTag(text) + u" left in:\n"_qs + text));
}

void TestWordTemplates::changeTracking_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("expected"); // empty: the unusable-template result
    const QString tracking = u"<text:tracked-changes text:track-changes=\"true\">"_qs;
    const QString change =
        u"<text:changed-region text:id=\"c1\"><text:%1><office:change-info>"
        u"<dc:creator>Реєстратор</dc:creator><dc:date>2016-06-01T10:00:00</dc:date>"
        u"</office:change-info>%2</text:%1></text:changed-region>"_qs;
    QTest::newRow("recording on")
        << tracking + u"</text:tracked-changes><text:p>#Прізвище# #ВНЗ#</text:p>"_qs
        << u"Косач Львівський університет"_qs;
    QTest::newRow("tag split by a tracked insertion")
        << tracking + change.arg(u"insertion"_qs, QString()) +
               u"</text:tracked-changes><text:p>#Прі<text:change-start text:change-id=\"c1\"/>"
               u"зв<text:change-end text:change-id=\"c1\"/>ище# #ВНЗ#</text:p>"_qs
        << u"Косач Львівський університет"_qs;
    QTest::newRow("tag split by a tracked deletion")
        << tracking + change.arg(u"deletion"_qs, u"<text:p>зайве</text:p>"_qs) +
               u"</text:tracked-changes><text:p>#Прі<text:change text:change-id=\"c1\"/>звище# "
               u"#ВНЗ#</text:p>"_qs
        << u"Косач Львівський університет"_qs;
    QTest::newRow("changes locked by a password")
        << u"<text:tracked-changes text:track-changes=\"true\" "
           u"text:protection-key=\"AAAAAAAAAAAAAAAAAAAAAAAAAAA=\">"_qs +
               change.arg(u"deletion"_qs, u"<text:p>зайве</text:p>"_qs) +
               u"</text:tracked-changes><text:p>#Прі<text:change text:change-id=\"c1\"/>звище# "
               u"#ВНЗ#</text:p>"_qs
        << u"Косач Львівський університет"_qs;
}

// A template saved with change tracking on, or holding tracked changes: the
// saved document carries no tracked change, and each tag is found as the
// text reads with the changes accepted.
void TestWordTemplates::changeTracking()
{
    QFETCH(QString, body);
    QFETCH(QString, expected);
    const QString flat =
        flatTemplate(u"t.fodt"_qs, pageStyles(QString(), QString(), QString()), body);
    const QString path = m_work->filePath(u"Templates/шаблон.doc"_qs);
    m_helper->convert(flat, path, "MS Word 97");
    QVERIFY(QFileInfo(path).isFile());
    const QString saved =
        GenerateDocument(context(), 1, path, true, OutputKind::Regular).value_or(QString());
    if (expected.isEmpty()) {
        QCOMPARE(saved, QString());
        return;
    }
    QVERIFY(QFileInfo(saved).isFile());
    int changes = -1;
    const QString text = savedText(saved, &changes);
    QVERIFY2(text.contains(expected), qPrintable(text));
    QVERIFY2(leftTag(text).isEmpty(), qPrintable(text));
    QCOMPARE(changes, 0);
}

void TestWordTemplates::literalValues_data()
{
    QTest::addColumn<QString>("surname");
    QTest::newRow("a later tag") << u"Ко#ВНЗ#ва"_qs;
    QTest::newRow("a tag replaced too") << u"#Ім`я#"_qs;
    QTest::newRow("a tag in another case") << u"#вНз#"_qs;
    QTest::newRow("ampersand and back references") << u"A & B $1 \\1 $0 \\n"_qs;
    QTest::newRow("Word's special marks") << u"^p ^l ^t ^&"_qs;
    QTest::newRow("regular expression") << u".*[a-z]+(x)?|^$"_qs;
    QTest::newRow("line break") << u"Ко\nва"_qs;
}

// Each value reaches the document exactly as it came, in the body (the
// search's places), a header and a shape (places of their own).
void TestWordTemplates::literalValues()
{
    QFETCH(QString, surname);
    m_store = RecordStore();
    QStringList lines;
    QVERIFY(
        !ImportXmlBytes(TestFiles::edeboFile(TestFiles::elementRecord({{u"LastName"_qs, surname}})),
                        u"test.xml"_qs, m_store, lines));
    QCOMPARE(m_store.Record(1).LastName, surname);
    const QString path = flatTemplate(
        u"t.fodt"_qs, pageStyles(u"верх [#Прізвище#]"_qs, QString(), QString()),
        u"<text:p>[#Прізвище#] [#ВНЗ#] [#Ім`я#]"_qs +
            customShape(u"S"_qs, u"1cm"_qs, u"фігура [#Прізвище#]"_qs) + u"</text:p>"_qs);
    const QString saved =
        GenerateDocument(context(), 1, path, true, OutputKind::Regular).value_or(QString());
    QVERIFY(QFileInfo(saved).isFile());
    const QString text = savedText(saved);
    for (const QString& line :
         {u"["_qs + surname + u"] [Львівський університет] [Лариса]"_qs,
          u"верх ["_qs + surname + u"]"_qs, u"фігура ["_qs + surname + u"]"_qs})
        QVERIFY2(text.contains(line), qPrintable(line + u" not in:\n"_qs + text));
    // A line break, not a new paragraph.
    const QString body = readBack(saved);
    QVERIFY2(body.startsWith(u"["_qs + surname + u"]"_qs), qPrintable(body));
}

void TestWordTemplates::lint_data()
{
    QTest::addColumn<QString>("styles");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("lines");
    const QString plain = pageStyles(QString(), QString(), QString());
    const QString fix = u": прийміть або відхиліть виправлення в MS Word, вимкніть запис "
                        "виправлень і збережіть шаблон"_qs;
    const QString surname = u"#Прізвище#\t1\tосновний текст"_qs;
    // Word keeps odd and even pages apart for the whole document: the
    // footer comes back as two.
    QTest::newRow("a tag in every part")
        << pageStyles(u"верх #ВНЗ#"_qs, u"ліва #ВНЗ#"_qs, u"низ #РікДп#"_qs)
        << u"<text:p>#Прізвище#<draw:frame draw:name=\"F\" text:anchor-type=\"paragraph\" "
           u"svg:width=\"8cm\" svg:height=\"2cm\"><draw:text-box><text:p>рамка #Ім`я#</text:p>"
           u"</draw:text-box></draw:frame>"_qs +
               customShape(u"S"_qs, u"10cm"_qs, u"фігура #boss#"_qs) +
               u"<text:note text:id=\"n1\" text:note-class=\"footnote\"><text:note-citation>1"
               u"</text:note-citation><text:note-body><text:p>#ДатаДп#</text:p></text:note-body>"
               u"</text:note><text:note text:id=\"n2\" text:note-class=\"endnote\">"
               u"<text:note-citation>i</text:note-citation><text:note-body><text:p>#ДатаДп#"
               u"</text:p></text:note-body></text:note></text:p><table:table table:name=\"T\">"
               u"<table:table-column/><table:table-row><table:table-cell "
               u"office:value-type=\"string\"><text:p>#ВНЗ#</text:p></table:table-cell>"
               u"</table:table-row></table:table>"_qs
        << QStringList{surname,
                       u"#Ім`я#\t1\tрамка"_qs,
                       u"#РікДп#\t2\tколонтитул"_qs,
                       u"#ВНЗ#\t3\tтаблиця, колонтитул"_qs,
                       u"#boss#\t1\tфігура"_qs,
                       u"#ДатаДп#\t2\tвиноска"_qs};

    const QString change =
        u"<text:changed-region text:id=\"c1\"><text:%1><office:change-info>"
        u"<dc:creator>Реєстратор</dc:creator><dc:date>2016-06-01T10:00:00</dc:date>"
        u"</office:change-info>%2</text:%1></text:changed-region>"_qs;
    const QString off = u"<text:tracked-changes text:track-changes=\"false\">"_qs;
    QTest::newRow("recording on")
        << plain
        << u"<text:tracked-changes text:track-changes=\"true\"></text:tracked-changes>"
           u"<text:p>#Прізвище#</text:p>"_qs
        << QStringList{surname, u"У шаблоні ввімкнено запис виправлень: вимкніть його в MS Word "
                                "і збережіть шаблон"_qs};
    QTest::newRow("tag split by a tracked insertion")
        << plain
        << off + change.arg(u"insertion"_qs, QString()) +
               u"</text:tracked-changes><text:p>#Прі<text:change-start text:change-id=\"c1\"/>"
               u"звище#<text:change-end text:change-id=\"c1\"/></text:p>"_qs
        << QStringList{surname, u"Тег #Прізвище# цілий лише після прийняття виправлень"_qs + fix};
    QTest::newRow("tag split by a tracked deletion, in a header")
        << pageStyles(u"верх #ВНЗ#"_qs, QString(), QString())
        << off + change.arg(u"deletion"_qs, u"<text:p>зайве</text:p>"_qs) +
               u"</text:tracked-changes><text:p>#Прі<text:change text:change-id=\"c1\"/>звище#"
               u"</text:p>"_qs
        << QStringList{surname, u"#ВНЗ#\t1\tколонтитул"_qs,
                       u"Тег #Прізвище# цілий лише після прийняття виправлень"_qs + fix};
    QTest::newRow("tag in tracked-deleted text")
        << plain
        << off + change.arg(u"deletion"_qs, u"<text:p>#ВНЗ#</text:p>"_qs) +
               u"</text:tracked-changes><text:p>#Прізвище# <text:change "
               u"text:change-id=\"c1\"/></text:p>"_qs
        << QStringList{surname, u"Тег #ВНЗ# стоїть у вилученому виправленнями тексті й не "
                                "буде заповнений"_qs +
                                    fix};
}

// The template check on templates saved as .doc: each tag counted in the
// part it stands in, and the tracked changes as the template was saved.
void TestWordTemplates::lint()
{
    QFETCH(QString, styles);
    QFETCH(QString, body);
    QFETCH(QStringList, lines);
    const QString flat = flatTemplate(u"t.fodt"_qs, styles, body);
    const QString path = m_work->filePath(u"Templates/шаблон.doc"_qs);
    m_helper->convert(flat, path, "MS Word 97");
    QVERIFY(QFileInfo(path).isFile());
    std::optional<TemplateTexts> texts;
    {
        TemplateReader reader;
        auto read = reader.partsOf(path);
        QVERIFY2(read, qPrintable(read.why()));
        texts = std::move(*read);
    }
    QVERIFY(texts);
    QCOMPARE(TemplateLint::Lines(TemplateLint::Check(*texts)), lines);
}

QTEST_GUILESS_MAIN(TestWordTemplates)
#include "tst_wordtemplates.moc"
