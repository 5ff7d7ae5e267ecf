#include "generate/BatchExport.h"
#include "generate/TextDocumentSession.h"
#include "settings/SettingsFiles.h"
#include "tests/support/TestFiles.h"

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
    QString ReadDocumentText() override
    {
        alive();
        return TextDocumentSession::ReadDocumentText();
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
    bool ReplaceTag(const QString& tag, const QString& value) override
    {
        dieIfDue();
        return TextDocumentSession::ReplaceTag(tag, value);
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

} // namespace

// The batch's retry after a lost office, on an in-memory office.
class TestBatchExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lostOffice_data();
    void lostOffice();
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
    SettingsFiles::SaveTemplateTable(workDir, {QString(), QString(), templatePath, QString(),
                                               QString(), QString(), QString(), QString()});
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

    OfficeLog log;
    log.loseInOpen = loseInOpen;
    QList<BatchRow> rows;
    {
        BatchExport batch(store, workDir, [&log] { return std::make_unique<LosingSession>(log); });
        for (int k = 1; k <= 3; ++k)
            rows << batch.exportRecord(k);
        batch.finish();
    }
    QCOMPARE(log.starts, starts);
    QCOMPARE(log.running, 0);

    const QString files[] = {u"Бойко_І.О._Диплом.doc"_qs, u"Мельник_О.П._Диплом.doc"_qs,
                             u"Шевчук_Т.Г._Диплом.doc"_qs};
    const QByteArray texts[] = {"Бойко Ірина 2015", "Мельник Остап 2015", "Шевчук Тарас 2015"};
    QStringList saved;
    for (int k = 0; k < 3; ++k) {
        const BatchRow& row = rows.at(k);
        QCOMPARE(row.name, names[k].at(2));
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

QTEST_GUILESS_MAIN(TestBatchExport)
#include "tst_batchexport.moc"
