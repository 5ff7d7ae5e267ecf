#include "checks/TemplateReader.h"
#include "generate/DocumentPreview.h"
#include "records/LumarelError.h"
#include "tests/support/OfficeReading.h"
#include "tests/support/OfficeWork.h"
#include "tests/support/PdfTools.h"
#include "tests/support/TemplateTable.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <csignal>

// The preview on the real office: one office for page after page, started
// again when lost, the pages' files in a scratch folder gone with the
// preview, and the single export through it. The template rules are the
// window's tests (tests/windows).
class TestDocumentPreview : public QObject, private OfficeWork {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void nextGraduateChangesThePage();
    void lostOfficeIsStartedAgain();
    void badDateIsAnErrorOfThatPageOnly();
    void savedAsTheSingleExportSaves_data();
    void savedAsTheSingleExportSaves();
    void lentOfficeServesTheTemplateReader();

private:
    WorkDir workDir() const { return WorkDir(m_work->path()); }
    QStringList scratchFolders() const;
    QString assignTemplate(const QByteArray& flat);

    QTemporaryDir m_tmp;
};

namespace {

const QString NotAssigned = u"Шаблон для документа даного типу не задано!"_qs;

QByteArray graduate(int id, const QString& lastName, const QString& date = u"30.06.2015"_qs)
{
    return TestFiles::attributeRecord({{u"iddocument"_qs, QString::number(id)},
                                       {u"fio"_qs, lastName + u" Тарас Григорович"_qs},
                                       {u"lastname"_qs, lastName},
                                       {u"dategive"_qs, date}});
}

QByteArray flat(const QString& body)
{
    return TestFiles::flatDocument(QString(), body);
}

} // namespace

void TestDocumentPreview::initTestCase()
{
    if (!CheckWordInstalled())
        QSKIP("no office installed");
    isolate();
    // Scratch folders are made in the system's temporary folder: ours here.
    QVERIFY(m_tmp.isValid());
    qputenv("TMPDIR", m_tmp.path().toUtf8());
}

void TestDocumentPreview::init()
{
    renew(graduate(101, u"Коваленко"_qs) + graduate(102, u"Лисенко"_qs) +
          graduate(103, u"Бондаренко"_qs, u"30.xx.2015"_qs));
}

void TestDocumentPreview::cleanup()
{
    QCOMPARE(ourOffices(), QList<qint64>());
    QCOMPARE(scratchFolders(), QStringList());
}

QStringList TestDocumentPreview::scratchFolders() const
{
    return QDir(m_tmp.path()).entryList({u"lumarel-scratch-*"_qs}, QDir::Dirs | QDir::Hidden);
}

QString TestDocumentPreview::assignTemplate(const QByteArray& bytes)
{
    const QString path = putTemplate(u"t.fodt"_qs, bytes);
    saveTemplates(workDir(), {{2, path}});
    return path;
}

void TestDocumentPreview::nextGraduateChangesThePage()
{
    assignTemplate(flat(u"<text:p>Прізвище: #Прізвище#</text:p>"_qs));
    DocumentPreview preview(m_store, workDir());
    const PreviewPage first = preview.make(1);
    const QString firstText = PdfTools::text(first.pdf);
    const PreviewPage second = preview.make(2);
    const QString secondText = PdfTools::text(second.pdf);
    QVERIFY2(firstText.contains(u"Коваленко"_qs), qPrintable(firstText));
    QVERIFY2(secondText.contains(u"Лисенко"_qs) && !secondText.contains(u"Коваленко"_qs),
             qPrintable(secondText));
    // One office for both; the earlier page's file has gone.
    QCOMPARE(preview.officeStarts(), 1);
    QVERIFY(!QFileInfo::exists(first.pdf));
    QCOMPARE(QDir(preview.scratchPath()).entryList(QDir::Files),
             QStringList{QFileInfo(second.pdf).fileName()});
}

void TestDocumentPreview::lostOfficeIsStartedAgain()
{
    assignTemplate(flat(u"<text:p>#Прізвище#</text:p>"_qs));
    LibreOfficeSession* office = nullptr;
    DocumentPreview preview(m_store, workDir(), [&office] {
        auto made = std::make_unique<LibreOfficeSession>();
        office = made.get();
        return made;
    });
    preview.make(1);
    const qint64 pid = office->processId();
    QVERIFY(::kill(static_cast<pid_t>(pid), SIGKILL) == 0);
    QTRY_VERIFY(::kill(static_cast<pid_t>(pid), 0) != 0);

    const PreviewPage page = preview.make(2);
    QVERIFY(PdfTools::text(page.pdf).contains(u"Лисенко"_qs));
    QCOMPARE(preview.officeStarts(), 2);
    QCOMPARE(QDir(preview.scratchPath()).entryList(QDir::Files),
             QStringList{QFileInfo(page.pdf).fileName()});
}

void TestDocumentPreview::badDateIsAnErrorOfThatPageOnly()
{
    assignTemplate(flat(u"<text:p>#Прізвище# #ДатаДп#</text:p>"_qs));
    DocumentPreview preview(m_store, workDir());
    try {
        preview.make(3);
        QFAIL("a date the export cannot read made a page");
    } catch (const LumarelError& e) {
        QCOMPARE(e.text(), u"'xx' is not a valid integer value"_qs);
    }
    QCOMPARE(QDir(preview.scratchPath()).entryList(QDir::Files), QStringList());
    const PreviewPage page = preview.make(1);
    QVERIFY(PdfTools::text(page.pdf).contains(u"Коваленко 30"_qs));
}

void TestDocumentPreview::savedAsTheSingleExportSaves_data()
{
    QTest::addColumn<bool>("alsoPdf");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("document") << false
                              << QStringList{u"Коваленко_Тарас_Григорович_Диплом(1).doc"_qs,
                                             u"Коваленко_Тарас_Григорович_Диплом.doc"_qs};
    QTest::newRow("with its PDF") << true
                                  << QStringList{u"Коваленко_Тарас_Григорович_Диплом(1).doc"_qs,
                                                 u"Коваленко_Тарас_Григорович_Диплом(1).pdf"_qs,
                                                 u"Коваленко_Тарас_Григорович_Диплом.doc"_qs,
                                                 u"Коваленко_Тарас_Григорович_Диплом.pdf"_qs};
}

void TestDocumentPreview::savedAsTheSingleExportSaves()
{
    QFETCH(bool, alsoPdf);
    QFETCH(QStringList, files);
    assignTemplate(flat(u"<text:p>#Прізвище#</text:p>"_qs));
    DocumentPreview preview(m_store, workDir());
    preview.make(1);
    const SavedDocument first = preview.save(1, alsoPdf);
    const SavedDocument second = preview.save(1, alsoPdf);
    QCOMPARE(first.refusal, QString());
    QCOMPARE(first.path, workDir().resultsFolder() + u"/Коваленко_Тарас_Григорович_Диплом.doc"_qs);
    QCOMPARE(second.path,
             workDir().resultsFolder() + u"/Коваленко_Тарас_Григорович_Диплом(1).doc"_qs);
    QCOMPARE(QDir(workDir().resultsFolder()).entryList(QDir::Files, QDir::Name), files);
    QCOMPARE(readBack(first.path).trimmed(), u"Коваленко"_qs);
    QCOMPARE(preview.officeStarts(), 1);

    saveTemplates(workDir(), {});
    QCOMPARE(preview.save(1, alsoPdf).refusal, NotAssigned);
    QCOMPARE(QDir(workDir().resultsFolder()).entryList(QDir::Files).size(), files.size());
}

void TestDocumentPreview::lentOfficeServesTheTemplateReader()
{
    const QString path = assignTemplate(flat(u"<text:p>#Прізвище# #ВНЗ#</text:p>"_qs));
    DocumentPreview preview(m_store, workDir());
    {
        TemplateReader reader(preview.lentOffice());
        QCOMPARE(reader.tagsIn(path), std::optional(QStringList{u"#Прізвище#"_qs, u"#ВНЗ#"_qs}));
    }
    // The reader has gone; the office it used is the preview's, still running.
    QVERIFY(!ourOffices().isEmpty());
    preview.make(2);
    QCOMPARE(preview.officeStarts(), 1);
}

QTEST_GUILESS_MAIN(TestDocumentPreview)
#include "tst_documentpreview.moc"
