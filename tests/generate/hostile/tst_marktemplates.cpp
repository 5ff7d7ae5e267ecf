#include "checks/TemplateReader.h"
#include "tests/generate/hostile/HelperOffice.h"
#include "tests/support/OfficeWork.h"
#include "tests/support/TestFiles.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/XDocumentProperties.hpp>
#include <com/sun/star/document/XDocumentPropertiesSupplier.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/ReferenceFieldPart.hpp>
#include <com/sun/star/text/ReferenceFieldSource.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextField.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XRefreshable.hpp>

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using HelperUno::toOU;
using HelperUno::toQ;
using rtl::OUString;

namespace {

const QString Link = u"https://example.org/диплом"_qs;

// What a registrar puts into a Word template besides plain tags, made by the
// office itself at the end of a document.
class TemplateMaker {
public:
    explicit TemplateMaker(const HelperOffice::Document& doc)
        : m_doc(doc), m_text(Reference<css::text::XTextDocument>(doc, UNO_QUERY_THROW)->getText())
    {
    }

    // A new paragraph with this text.
    void paragraph(const QString& text) { append(u"\n"_qs + text); }
    // The text with a bookmark of that name around it.
    void bookmarked(const QString& name, const QString& text)
    {
        const Reference<css::text::XTextCursor> cursor = append(text);
        cursor->goLeft(static_cast<sal_Int16>(text.size()), true);
        const Reference<css::text::XTextContent> mark = make("com.sun.star.text.Bookmark");
        Reference<css::container::XNamed>(mark, UNO_QUERY_THROW)->setName(toOU(name));
        m_text->insertTextContent(Reference<css::text::XTextRange>(cursor.get()), mark, true);
    }
    // The text as the text of a link.
    void linked(const QString& text)
    {
        const Reference<css::text::XTextCursor> cursor = append(text);
        cursor->goLeft(static_cast<sal_Int16>(text.size()), true);
        Reference<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW)
            ->setPropertyValue(OUString("HyperLinkURL"), Any(toOU(Link)));
    }
    // A cross-reference to a bookmark: its text, or the page it is on.
    void reference(const QString& bookmark, bool page)
    {
        const Reference<css::text::XTextContent> field =
            make("com.sun.star.text.TextField.GetReference");
        Reference<css::beans::XPropertySet> properties(field, UNO_QUERY_THROW);
        properties->setPropertyValue(OUString("ReferenceFieldSource"),
                                     Any(sal_Int16(css::text::ReferenceFieldSource::BOOKMARK)));
        properties->setPropertyValue(OUString("SourceName"), Any(toOU(bookmark)));
        properties->setPropertyValue(OUString("ReferenceFieldPart"),
                                     Any(sal_Int16(page ? css::text::ReferenceFieldPart::PAGE
                                                        : css::text::ReferenceFieldPart::TEXT)));
        insert(field);
    }
    void input(const QString& content)
    {
        const Reference<css::text::XTextContent> field = make("com.sun.star.text.TextField.Input");
        Reference<css::beans::XPropertySet> properties(field, UNO_QUERY_THROW);
        properties->setPropertyValue(OUString("Hint"), Any(OUString("Введіть")));
        properties->setPropertyValue(OUString("Content"), Any(toOU(content)));
        insert(field);
    }
    // A field showing the document's title, which is set to the text.
    void titleField(const QString& title)
    {
        Reference<css::document::XDocumentPropertiesSupplier>(m_doc, UNO_QUERY_THROW)
            ->getDocumentProperties()
            ->setTitle(toOU(title));
        insert(make("com.sun.star.text.TextField.DocInfo.Title"));
    }
    void refresh()
    {
        Reference<css::util::XRefreshable>(
            Reference<css::text::XTextFieldsSupplier>(m_doc, UNO_QUERY_THROW)->getTextFields(),
            UNO_QUERY_THROW)
            ->refresh();
    }

private:
    Reference<css::text::XTextCursor> append(const QString& text)
    {
        const Reference<css::text::XTextCursor> cursor = m_text->createTextCursor();
        cursor->gotoEnd(false);
        m_text->insertString(Reference<css::text::XTextRange>(cursor.get()), toOU(text), false);
        return cursor;
    }
    Reference<css::text::XTextContent> make(const char* service)
    {
        return Reference<css::text::XTextContent>(
            Reference<css::lang::XMultiServiceFactory>(m_doc, UNO_QUERY_THROW)
                ->createInstance(OUString::createFromAscii(service)),
            UNO_QUERY_THROW);
    }
    void insert(const Reference<css::text::XTextContent>& content)
    {
        const Reference<css::text::XTextCursor> cursor = m_text->createTextCursor();
        cursor->gotoEnd(false);
        m_text->insertTextContent(Reference<css::text::XTextRange>(cursor.get()), content, false);
    }

    HelperOffice::Document m_doc;
    Reference<css::text::XText> m_text;
};

// Adds to the template the marks of one kind; the lines the graduate's
// document must then show follow.
void addMarks(TemplateMaker& maker, const QString& kind)
{
    if (kind == u"reference" || kind == u"page reference" || kind == u"all") {
        maker.paragraph(u"Прізвище: "_qs);
        maker.bookmarked(u"Surname"_qs, u"#Прізвище#"_qs);
    }
    if (kind == u"reference" || kind == u"all") {
        maker.paragraph(u"Посилання: "_qs);
        maker.reference(u"Surname"_qs, false);
    }
    if (kind == u"page reference" || kind == u"all") {
        maker.paragraph(u"Сторінка: "_qs);
        maker.reference(u"Surname"_qs, true);
    }
    if (kind == u"input field" || kind == u"all") {
        maker.paragraph(u"Поле: "_qs);
        maker.input(u"#Прізвище# #Ім`я#"_qs);
    }
    if (kind == u"document property" || kind == u"all") {
        maker.paragraph(u"Властивість: "_qs);
        maker.titleField(u"#Прізвище# #Ім`я#"_qs);
    }
    if (kind == u"hyperlink" || kind == u"all") {
        maker.paragraph(u"Посилання на "_qs);
        maker.linked(u"#Прізвище#"_qs);
        maker.paragraph(u"#Ім`я#"_qs);
    }
    maker.refresh();
}

// The text of a document's body and of its fields as shown.
struct Shown {
    QString body;
    QStringList fields;
    QString linkText; // the text that carries the link, when there is one

    QString all() const { return body + u'\n' + fields.join(u'\n'); }
};

Shown shownBy(const HelperOffice::Document& doc)
{
    Shown shown;
    const Reference<css::text::XText> body =
        Reference<css::text::XTextDocument>(doc, UNO_QUERY_THROW)->getText();
    shown.body = toQ(body->getString());
    const Reference<css::container::XEnumeration> fields =
        Reference<css::text::XTextFieldsSupplier>(doc, UNO_QUERY_THROW)
            ->getTextFields()
            ->createEnumeration();
    while (fields->hasMoreElements())
        shown.fields << toQ(Reference<css::text::XTextField>(fields->nextElement(), UNO_QUERY_THROW)
                                ->getPresentation(false));
    const Reference<css::container::XEnumeration> paragraphs =
        Reference<css::container::XEnumerationAccess>(body, UNO_QUERY_THROW)->createEnumeration();
    while (paragraphs->hasMoreElements()) {
        // Tables are left out: the marks stand in paragraphs.
        const Reference<css::container::XEnumerationAccess> paragraph(paragraphs->nextElement(),
                                                                      UNO_QUERY);
        if (!paragraph.is())
            continue;
        const Reference<css::container::XEnumeration> portions = paragraph->createEnumeration();
        while (portions->hasMoreElements()) {
            const Any portion = portions->nextElement();
            OUString url;
            Reference<css::beans::XPropertySet>(portion, UNO_QUERY_THROW)
                ->getPropertyValue(OUString("HyperLinkURL")) >>= url;
            if (toQ(url) == Link)
                shown.linkText +=
                    toQ(Reference<css::text::XTextRange>(portion, UNO_QUERY_THROW)->getString());
        }
    }
    return shown;
}

QString tagIn(const QString& text)
{
    for (const QString& tag : TestFiles::AllTags)
        if (text.contains(tag, Qt::CaseInsensitive))
            return tag;
    return QString();
}

QStringList expectedLines(const QString& kind, const QString& surname)
{
    QStringList lines;
    if (kind == u"reference" || kind == u"all")
        lines << u"Посилання: "_qs + surname;
    if (kind == u"page reference" || kind == u"all")
        lines << u"Сторінка: 1"_qs;
    if (kind == u"input field" || kind == u"all")
        lines << u"Поле: "_qs + surname + u" Лариса"_qs;
    if (kind == u"document property" || kind == u"all")
        lines << u"Властивість: "_qs + surname + u" Лариса"_qs;
    if (kind == u"hyperlink" || kind == u"all")
        lines << u"Посилання на "_qs + surname;
    return lines;
}

} // namespace

// Word templates with bookmarks, fields and links around tags: every value
// shows where its tag stood, also through the fields that show it, in a
// document on its own and in a batch through a template held open.
class TestMarkTemplates : public QObject, private OfficeWork {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void filledThroughMarks_data();
    void filledThroughMarks();
    void heldTemplateKeepsMarks_data();
    void heldTemplateKeepsMarks();
    void lintNamesMarks();

private:
    QTemporaryDir m_helperProfile;
    std::unique_ptr<HelperOffice> m_helper;

    QString makeTemplate(const QString& kind, const QString& sample = QString());
    // The graduate's document read back: as saved, and with its fields
    // refreshed as Word does before printing.
    void verify(const QString& saved, const QString& kind, const QString& surname);
};

void TestMarkTemplates::initTestCase()
{
    if (!LibreOfficeSession::IsInstalled())
        QSKIP("LibreOffice is not installed");
    QVERIFY(m_helperProfile.isValid());
    isolate();
    m_helper = std::make_unique<HelperOffice>(m_helperProfile.path());
    m_helper->start();
}

void TestMarkTemplates::cleanupTestCase()
{
    m_helper.reset();
}

void TestMarkTemplates::init()
{
    renew(TestFiles::elementRecord());
}

void TestMarkTemplates::cleanup()
{
    QCOMPARE(ourOffices(), QList<qint64>());
}

// A Word 97-2003 template: a new document, or a copy of a Word-written one,
// with the marks at its end.
QString TestMarkTemplates::makeTemplate(const QString& kind, const QString& sample)
{
    HelperOffice::Document doc;
    if (sample.isEmpty()) {
        doc = m_helper->create();
    } else {
        const QString copy = m_work->filePath(u"sample.doc"_qs);
        TestFiles::write(copy,
                         TestFiles::read(QStringLiteral(LUMAREL_WORD_SAMPLES) + u'/' + sample));
        doc = m_helper->load(copy);
    }
    const QString path = m_work->filePath(u"Templates/шаблон.doc"_qs);
    if (!doc.is())
        return QString();
    TemplateMaker maker(doc);
    addMarks(maker, kind);
    HelperOffice::store(doc, path, "MS Word 97");
    HelperOffice::close(doc);
    return path;
}

void TestMarkTemplates::verify(const QString& saved, const QString& kind, const QString& surname)
{
    QVERIFY(QFileInfo(saved).isFile());
    const HelperOffice::Document doc = m_helper->load(saved);
    QVERIFY(doc.is());
    const Shown asSaved = shownBy(doc);
    TemplateMaker(doc).refresh();
    const Shown refreshed = shownBy(doc);
    HelperOffice::close(doc);
    // The fields as saved show what they stand for.
    QCOMPARE(asSaved.fields, refreshed.fields);
    for (const Shown* shown : {&asSaved, &refreshed}) {
        const QString all = shown->all();
        // Whole lines: a value shown twice is as wrong as none.
        const QStringList lines = shown->body.split(QRegularExpression(u"[\r\n]"_qs));
        for (const QString& line : expectedLines(kind, surname))
            QVERIFY2(lines.contains(line), qPrintable(line + u" not in:\n"_qs + all));
        QVERIFY2(tagIn(all).isEmpty(), qPrintable(tagIn(all) + u" left in:\n"_qs + all));
        QVERIFY2(!all.contains(u"Error"_qs) && !all.contains(u"Помилка"_qs), qPrintable(all));
        if (kind == u"hyperlink" || kind == u"all")
            QCOMPARE(shown->linkText, surname);
    }
}

void TestMarkTemplates::filledThroughMarks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("sample"); // a Word-written document to add to, or none
    for (const QString& kind : {u"reference"_qs, u"page reference"_qs, u"input field"_qs,
                                u"document property"_qs, u"hyperlink"_qs})
        QTest::newRow(qPrintable(kind)) << kind << QString();
    QTest::newRow("all, in a Word document with tables") << u"all"_qs << u"simple-table.doc"_qs;
    QTest::newRow("all, in a Word document with footnotes") << u"all"_qs << u"footnote.doc"_qs;
}

void TestMarkTemplates::filledThroughMarks()
{
    QFETCH(QString, kind);
    QFETCH(QString, sample);
    const QString path = makeTemplate(kind, sample);
    QVERIFY(QFileInfo(path).isFile());
    const QString saved =
        GenerateDocument(context(), 1, path, true, OutputKind::Regular).value_or(QString());
    verify(saved, kind, u"Косач"_qs);
}

void TestMarkTemplates::heldTemplateKeepsMarks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("inOffice"); // the office's own loops, or call by call
    // A template with a tag in a bookmark is loaded for each graduate: the
    // undo of a filling does not bring the bookmark back.
    QTest::addColumn<int>("loads");
    QTest::newRow("reference") << u"reference"_qs << true << 6;
    QTest::newRow("page reference") << u"page reference"_qs << true << 6;
    QTest::newRow("hyperlink") << u"hyperlink"_qs << true << 1;
    QTest::newRow("all") << u"all"_qs << true << 6;
    QTest::newRow("all, call by call") << u"all"_qs << false << 6;
}

// Graduates with long values and short ones in turn, through one office
// and the template held open: each document shows its own graduate through
// every mark, and nothing of the one before.
void TestMarkTemplates::heldTemplateKeepsMarks()
{
    QFETCH(QString, kind);
    QFETCH(bool, inOffice);
    QFETCH(int, loads);
    const QStringList surnames = {
        QString(40, u'Ж'), u"Ко"_qs,          u"Довгоприщепенко-Задунайська"_qs,
        u"Бо"_qs,          QString(40, u'Щ'), u"Ле"_qs};
    m_store = RecordStore();
    QByteArray records;
    for (qsizetype k = 0; k < surnames.size(); ++k)
        records +=
            TestFiles::elementRecord({{u"LastName"_qs, surnames.at(k)},
                                      {u"DocumentNumber"_qs, QString::number(40123456 + k)}});
    importRecords(records);
    const QString path = makeTemplate(kind);
    LibreOfficeSession office;
    office.setOfficeLoops(inOffice);
    office.start(true);
    QCOMPARE(office.officeLoopsRunning(), inOffice);
    GenerationContext held = context();
    held.session = &office;
    QStringList saved;
    for (int k = 1; k <= surnames.size(); ++k)
        saved << GenerateDocument(held, k, path, true, OutputKind::Regular).value_or(QString());
    const int loaded = office.templateLoads();
    office.quit();
    QCOMPARE(loaded, loads);
    for (qsizetype k = 0; k < surnames.size(); ++k) {
        verify(saved.at(k), kind, surnames.at(k));
        if (k > 0) {
            const HelperOffice::Document doc = m_helper->load(saved.at(k));
            const QString all = shownBy(doc).all();
            HelperOffice::close(doc);
            QVERIFY2(!all.contains(surnames.at(k - 1)), qPrintable(all));
        }
    }
}

// The template check names the bookmark and the field a tag stands in.
void TestMarkTemplates::lintNamesMarks()
{
    const QString path = makeTemplate(u"all"_qs);
    TemplateReader reader;
    const auto texts = reader.partsOf(path);
    QVERIFY2(texts, qPrintable(texts.why()));
    const QStringList lines = TemplateLint::Lines(TemplateLint::Check(*texts));
    QVERIFY2(lines.contains(u"#Прізвище#\t5\tосновний текст, закладка «Surname», поле"_qs),
             qPrintable(lines.join(u'\n')));
    QVERIFY2(lines.contains(u"#Ім`я#\t3\tосновний текст, поле"_qs), qPrintable(lines.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestMarkTemplates)
#include "tst_marktemplates.moc"
