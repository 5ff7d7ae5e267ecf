#include "export/BatchExport.h"
#include "records/LumarelError.h"
#include "settings/SettingsFiles.h"
#include "tests/support/BatchRecord.h"
#include "tests/support/TemplateTable.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TextDocumentSession.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString LostText = u"Офіс зник"_qs;

// What the batch's offices went through, kept beyond their lifetime.
struct OfficeLog {
    QList<int> loseInOpen; // the opens (counted over the batch) whose filling the office dies in
    int opens = 0;
    int starts = 0;
    int running = 0;
};

// An in-memory office that dies at the first replacement after the listed
// opens: that call and every later one throw OfficeLostError until it is
// started again, as the real office does when its process is gone.
class LosingSession : public TextDocumentSession {
public:
    explicit LosingSession(OfficeLog& log) : m_log(log) {}
    void start(bool keepHidden) override
    {
        ++m_log.starts;
        if (!m_running)
            ++m_log.running;
        m_running = true;
        m_dead = false;
        TextDocumentSession::start(keepHidden);
    }
    void open(const QString& templatePath) override
    {
        alive();
        m_dieAtReplace = m_log.loseInOpen.contains(++m_log.opens);
        TextDocumentSession::open(templatePath);
    }
    QList<QPair<DocumentPart, QString>> ReadPartTexts() override
    {
        alive();
        return TextDocumentSession::ReadPartTexts();
    }
    QStringList FindTags(const QStringList& tags) override
    {
        alive();
        return TextDocumentSession::FindTags(tags);
    }
    int ReplaceTags(const QList<QPair<QString, QString>>& values) override
    {
        dieIfDue();
        return TextDocumentSession::ReplaceTags(values);
    }
    void dieIfDue()
    {
        alive();
        if (m_dieAtReplace) {
            m_dieAtReplace = false;
            m_dead = true;
            alive();
        }
    }
    void saveAs(const QString& path) override
    {
        alive();
        TextDocumentSession::saveAs(path);
    }
    void quit() noexcept override
    {
        if (m_running)
            --m_log.running;
        m_running = false;
        TextDocumentSession::quit();
    }

private:
    void alive() const
    {
        if (m_dead)
            throw OfficeLostError(LostText);
    }

    OfficeLog& m_log;
    bool m_running = false;
    bool m_dead = false;
    bool m_dieAtReplace = false;
};

// An in-memory office with a PDF export: the PDF holds the document's text;
// for the listed surnames the office writes half a file and fails.
class PdfSession : public TextDocumentSession {
public:
    explicit PdfSession(QStringList failFor) : m_failFor(std::move(failFor)) {}
    void saveAsPdf(const QString& path) override
    {
        const bool fail = std::any_of(m_failFor.cbegin(), m_failFor.cend(),
                                      [&](const QString& s) { return text().contains(s); });
        TestFiles::write(path, fail ? QByteArray("%PDF-half") : "%PDF " + text().toUtf8());
        if (fail)
            throw LumarelError(u"Не вдалося зберегти PDF "_qs + path);
    }

private:
    QStringList m_failFor;
};

RecordStore threeGraduates()
{
    RecordStore store;
    store.BeginImport();
    const QStringList names[] = {{u"Бойко"_qs, u"Ірина"_qs, u"Бойко І.О."_qs},
                                 {u"Мельник"_qs, u"Остап"_qs, u"Мельник О.П."_qs},
                                 {u"Шевчук"_qs, u"Тарас"_qs, u"Шевчук Т.Г."_qs}};
    for (const QStringList& n : names) {
        StudentRecord& r = store.MutableRecord(store.AppendRecord());
        r.LastName = n.at(0);
        r.FirstName = n.at(1);
        r.DisplayName = n.at(2);
        r.LevelCode = u"6"_qs;
        r.AwardTypeName = u"0"_qs;
        r.IssueDate = u"30.06.2015"_qs;
    }
    return store;
}

} // namespace

Q_DECLARE_METATYPE(ExportOptions)

// The batch's retry after a lost office, on an in-memory office.
class TestBatchExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lostOffice_data();
    void lostOffice();
    void pdfBeside_data();
    void pdfBeside();
};

void TestBatchExport::lostOffice_data()
{
    QTest::addColumn<QList<int>>("loseInOpen");
    QTest::addColumn<int>("starts");
    QTest::addColumn<QStringList>("results"); // of the three rows
    const QString ok = u"Успішно згенерований!"_qs;
    QTest::newRow("never") << QList<int>{} << 1 << QStringList{ok, ok, ok};
    QTest::newRow("once, first graduate") << QList<int>{1} << 2 << QStringList{ok, ok, ok};
    QTest::newRow("once, second graduate") << QList<int>{2} << 2 << QStringList{ok, ok, ok};
    QTest::newRow("once each, two graduates") << QList<int>{1, 3} << 3 << QStringList{ok, ok, ok};
    // The second loss gives up on that graduate; the next one gets an office again.
    QTest::newRow("twice, second graduate")
        << QList<int>{2, 3} << 3 << QStringList{ok, LostText, ok};
    QTest::newRow("twice, last graduate") << QList<int>{3, 4} << 2 << QStringList{ok, ok, LostText};
}

void TestBatchExport::lostOffice()
{
    QFETCH(QList<int>, loseInOpen);
    QFETCH(int, starts);
    QFETCH(QStringList, results);
    QTemporaryDir dir;
    const WorkDir workDir(dir.path());
    SettingsFiles::EnsureWorkFolders(workDir);
    const QString templatePath = dir.filePath(u"Templates/бакалавр.txt"_qs);
    TestFiles::write(templatePath, "#Прізвище# #Ім`я# 20#РікДп#");
    saveTemplates(workDir, {{2, templatePath}});
    RecordStore store = threeGraduates();

    OfficeLog log;
    log.loseInOpen = loseInOpen;
    QList<BatchRow> rows;
    {
        ScratchFolder scratch;
        BatchExport batch(store, workDir, [&log] { return std::make_unique<LosingSession>(log); });
        for (int k = 1; k <= 3; ++k)
            rows << ExportRecord(batch, scratch, k);
        batch.finish();
    }
    QCOMPARE(log.starts, starts);
    QCOMPARE(log.running, 0);

    const QString names[] = {u"Бойко І.О."_qs, u"Мельник О.П."_qs, u"Шевчук Т.Г."_qs};
    const QString files[] = {u"Бойко_І.О._Диплом.doc"_qs, u"Мельник_О.П._Диплом.doc"_qs,
                             u"Шевчук_Т.Г._Диплом.doc"_qs};
    const QByteArray texts[] = {"Бойко Ірина 2015", "Мельник Остап 2015", "Шевчук Тарас 2015"};
    QStringList saved;
    for (int k = 0; k < 3; ++k) {
        const BatchRow& row = rows.at(k);
        QCOMPARE(row.name, names[k]);
        QCOMPARE(row.result, results.at(k));
        if (results.at(k) == LostText) {
            QCOMPARE(row.path, QString());
            continue;
        }
        QCOMPARE(row.path, dir.filePath(u"Results/"_qs + files[k]));
        // The retry's document holds this graduate, filled once from the template.
        QCOMPARE(TestFiles::read(row.path), texts[k]);
        saved << files[k];
    }
    // Nothing is left of an attempt the office died in.
    saved.sort();
    QCOMPARE(QDir(dir.filePath(u"Results"_qs)).entryList(QDir::Files, QDir::Name), saved);
}

void TestBatchExport::pdfBeside_data()
{
    QTest::addColumn<ExportOptions>("options");
    QTest::addColumn<QStringList>("failFor");
    QTest::addColumn<QStringList>("userFiles"); // in Results before the batch
    QTest::addColumn<QStringList>("expected");  // Results afterwards
    QTest::addColumn<int>("printParts");
    const QStringList all = {u"Бойко_І.О._Диплом.doc"_qs,   u"Бойко_І.О._Диплом.pdf"_qs,
                             u"Мельник_О.П._Диплом.doc"_qs, u"Мельник_О.П._Диплом.pdf"_qs,
                             u"Шевчук_Т.Г._Диплом.doc"_qs,  u"Шевчук_Т.Г._Диплом.pdf"_qs};
    QTest::newRow("off") << ExportOptions{} << QStringList{} << QStringList{}
                         << QStringList{all.at(0), all.at(2), all.at(4)} << 0;
    QTest::newRow("pdf") << ExportOptions{true, false} << QStringList{} << QStringList{} << all
                         << 0;
    QTest::newRow("pdf and print file")
        << ExportOptions{true, true} << QStringList{} << QStringList{} << all << 3;
    // The print file alone keeps its PDFs out of Results.
    QTest::newRow("print file only") << ExportOptions{false, true} << QStringList{} << QStringList{}
                                     << QStringList{all.at(0), all.at(2), all.at(4)} << 3;
    // A PDF that fails is that graduate's row: neither file of it is kept.
    QTest::newRow("pdf fails for one")
        << ExportOptions{true, true} << QStringList{u"Мельник"_qs} << QStringList{}
        << QStringList{all.at(0), all.at(1), all.at(4), all.at(5)} << 2;
    // A PDF the user kept without its .doc is never overwritten: both move on.
    QTest::newRow("user's pdf keeps its name")
        << ExportOptions{true, false} << QStringList{} << QStringList{all.at(1)}
        << QStringList{all.at(1),
                       u"Бойко_І.О._Диплом(1).doc"_qs,
                       u"Бойко_І.О._Диплом(1).pdf"_qs,
                       all.at(2),
                       all.at(3),
                       all.at(4),
                       all.at(5)}
        << 0;
}

void TestBatchExport::pdfBeside()
{
    QFETCH(ExportOptions, options);
    QFETCH(QStringList, failFor);
    QFETCH(QStringList, userFiles);
    QFETCH(QStringList, expected);
    QFETCH(int, printParts);
    QTemporaryDir dir;
    const WorkDir workDir(dir.path());
    SettingsFiles::EnsureWorkFolders(workDir);
    const QString templatePath = dir.filePath(u"Templates/бакалавр.txt"_qs);
    TestFiles::write(templatePath, "#Прізвище# #Ім`я#");
    saveTemplates(workDir, {{2, templatePath}});
    for (const QString& file : userFiles)
        TestFiles::write(dir.filePath(u"Results/"_qs + file), "user's");
    const RecordStore store = threeGraduates();

    QList<BatchRow> rows;
    {
        ScratchFolder scratch;
        BatchExport batch(
            store, workDir, [&failFor] { return std::make_unique<PdfSession>(failFor); }, options);
        for (int k = 1; k <= 3; ++k)
            rows << ExportRecord(batch, scratch, k);
        int parts = 0;
        for (const BatchRow& row : std::as_const(rows)) {
            const bool failed = failFor.contains(row.name.section(u' ', 0, 0));
            QCOMPARE(row.generated(), !failed);
            if (failed) {
                QVERIFY(row.result.startsWith(u"Не вдалося зберегти PDF "_qs));
                QVERIFY(row.pdf.isEmpty() && row.printPart.isEmpty());
                continue;
            }
            QCOMPARE(row.result, u"Успішно згенерований!"_qs);
            QCOMPARE(row.pdf.isEmpty(), !options.alsoPdf);
            if (options.alsoPdf) {
                QCOMPARE(row.pdf.chopped(4), row.path.chopped(4));
                QCOMPARE(TestFiles::read(row.pdf), "%PDF " + TestFiles::read(row.path));
            }
            if (!row.printPart.isEmpty()) {
                ++parts;
                QCOMPARE(TestFiles::read(row.printPart), "%PDF " + TestFiles::read(row.path));
            }
        }
        QCOMPARE(parts, printParts);
        batch.finish();
    }
    QStringList sorted = expected;
    sorted.sort();
    QCOMPARE(QDir(dir.filePath(u"Results"_qs)).entryList(QDir::Files, QDir::Name), sorted);
    for (const QString& file : userFiles)
        QCOMPARE(TestFiles::read(dir.filePath(u"Results/"_qs + file)), "user's");
}

QTEST_GUILESS_MAIN(TestBatchExport)
#include "tst_batchexport.moc"
