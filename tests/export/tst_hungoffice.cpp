#include "export/BatchPool.h"
#include "tests/support/OfficeWork.h"
#include "tests/support/TemplateTable.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTest>

#include <atomic>
#include <csignal>

// Offices that stop answering in the middle of a batch, made to hang for
// real: the process is frozen (SIGSTOP) just before one of its calls.
class TestHungOffice : public QObject, private OfficeWork {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void hungCallEndsItsOffice_data();
    void hungCallEndsItsOffice();
    void stopWhileHung();
};

namespace {

constexpr int Graduates = 3;
// Short, so that the test does not wait a minute for each hang.
constexpr int TestBoundMs = 2000;

// Which call of the batch freezes the office, counted over the batch.
struct FreezePlan {
    QString call; // "open", "find", "replace" or "store"
    int nth = 0;
    int seen = 0;
    int starts = 0;
    std::atomic<bool> frozen{false};
};

class FreezingOffice : public DocumentSession {
public:
    FreezingOffice(FreezePlan& plan, int boundMs) : m_plan(plan)
    {
        if (boundMs > 0)
            m_office.setCallBound(boundMs);
    }
    void start(bool keepHidden) override
    {
        ++m_plan.starts;
        m_office.start(keepHidden);
    }
    void open(const QString& path) override
    {
        freezeAt(u"open"_qs);
        m_office.open(path);
    }
    QList<QPair<DocumentPart, QString>> ReadPartTexts() override
    {
        return m_office.ReadPartTexts();
    }
    QStringList FindTags(const QStringList& tags) override
    {
        freezeAt(u"find"_qs);
        return m_office.FindTags(tags);
    }
    int ReplaceTags(const QList<QPair<QString, QString>>& values) override
    {
        freezeAt(u"replace"_qs);
        return m_office.ReplaceTags(values);
    }
    void saveAs(const QString& path) override
    {
        freezeAt(u"store"_qs);
        m_office.saveAs(path);
    }
    void closeDocument() noexcept override { m_office.closeDocument(); }
    void quit() noexcept override { m_office.quit(); }
    void abort() noexcept override { m_office.abort(); }

private:
    void freezeAt(const QString& call)
    {
        if (call != m_plan.call || ++m_plan.seen != m_plan.nth)
            return;
        QVERIFY(::kill(static_cast<pid_t>(m_office.processId()), SIGSTOP) == 0);
        m_plan.frozen = true;
    }

    FreezePlan& m_plan;
    LibreOfficeSession m_office;
};

QString nameOf(int k)
{
    return u"Випускник%1 Іван Петрович"_qs.arg(QChar(u'А' + k));
}

} // namespace

void TestHungOffice::initTestCase()
{
    if (!LibreOfficeSession::IsInstalled())
        QSKIP("LibreOffice is not installed");
    isolate();
}

void TestHungOffice::init()
{
    QByteArray records;
    for (int k = 0; k < Graduates; ++k)
        records += TestFiles::attributeRecord({{u"iddocument"_qs, QString::number(100 + k)},
                                               {u"fio"_qs, nameOf(k)},
                                               {u"lastname"_qs, nameOf(k).section(u' ', 0, 0)}});
    renew(records);
    const QString path = putTemplate(
        u"t.fodt"_qs, TestFiles::flatDocument({}, u"<text:p>#Прізвище# #Ім`я#</text:p>"_qs));
    saveTemplates(WorkDir(m_work->path()), {{2, path}});
}

void TestHungOffice::cleanup()
{
    QCOMPARE(ourOffices(), QList<qint64>());
}

void TestHungOffice::hungCallEndsItsOffice_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("nth");
    QTest::addColumn<int>("hung"); // the graduate (0-based) whose office hangs
    QTest::addColumn<int>("starts");
    // The second graduate takes up the template held open: its first call
    // into the office is the search.
    QTest::newRow("loading the template") << u"open"_qs << 1 << 0 << 2;
    QTest::newRow("searching for the tags") << u"find"_qs << 2 << 1 << 2;
    QTest::newRow("writing the values") << u"replace"_qs << 2 << 1 << 2;
    // The last graduate: no office is started after it.
    QTest::newRow("storing the document") << u"store"_qs << 3 << 2 << 1;
}

// The call that hangs has its office ended by the watch: that graduate's row
// says so, the others are generated, the batch goes on in a new office.
void TestHungOffice::hungCallEndsItsOffice()
{
    QFETCH(QString, call);
    QFETCH(int, nth);
    QFETCH(int, hung);
    QFETCH(int, starts);
    FreezePlan plan;
    plan.call = call;
    plan.nth = nth;
    QStringList results;
    {
        BatchPool pool(m_store, WorkDir(m_work->path()), {1, 2, 3}, 1,
                       [&plan] { return std::make_unique<FreezingOffice>(plan, TestBoundMs); });
        for (int k = 0; k < Graduates; ++k) {
            const std::optional<BatchRow> row = pool.nextRow(120000);
            QVERIFY2(row, "the batch hangs");
            QCOMPARE(row->name, nameOf(k));
            results << row->result;
            QCOMPARE(row->generated(), k != hung);
        }
        pool.finish();
        QCOMPARE(pool.officeStarts(), starts);
    }
    QVERIFY(plan.frozen);
    for (int k = 0; k < Graduates; ++k)
        QCOMPARE(results.at(k),
                 k == hung ? HungOfficeText.arg(TestBoundMs / 1000) : u"Успішно згенерований!"_qs);
    QCOMPARE(QDir(WorkDir(m_work->path()).resultsFolder()).entryList(QDir::Files).size(),
             Graduates - 1);
}

// A stop does not wait for the watch's minute: the hung office is ended,
// its graduate is left undone, and no office is left.
void TestHungOffice::stopWhileHung()
{
    FreezePlan plan;
    plan.call = u"find"_qs;
    plan.nth = 2;
    BatchPool pool(m_store, WorkDir(m_work->path()), {1, 2, 3}, 1,
                   [&plan] { return std::make_unique<FreezingOffice>(plan, 0); });
    const std::optional<BatchRow> first = pool.nextRow(120000);
    QVERIFY(first && first->generated());
    QTRY_VERIFY_WITH_TIMEOUT(plan.frozen, 60000);
    pool.finish();
    QVERIFY(!pool.nextRow(0));
}

QTEST_GUILESS_MAIN(TestHungOffice)
#include "tst_hungoffice.moc"
