// One office for a whole batch, and what happens when it dies under the
// batch: in the batch itself, in the batch window and in the converter.
#include "export/BatchExport.h"
#include "export/BatchPool.h"
#include "generate/DocumentGeneration.h"
#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"
#include "tests/support/BatchRecord.h"
#include "tests/support/ConverterRun.h"
#include "tests/support/ExportFixture.h"
#include "tests/support/OfficeReading.h"
#include "tests/support/TemplateTable.h"

#include <QProcess>
#include <csignal>
#include <thread>

class TestBatchOffice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void oneOfficeForTheBatch();
    void officeKilled_data();
    void officeKilled();
    void errorEndsTheOffice();
    void tagsOutsideTheBody();
    void windowSurvivesAKilledOffice();
    void converterSurvivesAKilledOffice();
    void windowAndConverterAgree();
    void killedWhileStoring_data();
    void killedWhileStoring();
    void poolMatchesOneOffice();
    void poolErrorEndsEveryOffice_data();
    void poolErrorEndsEveryOffice();
    void windowPaintsWhileOfficesWork();
    void twoConvertersIntoOneFolder();
    void windowShowsThePrintFile();

private:
    QTemporaryDir m_cache;
    std::unique_ptr<QTemporaryDir> m_work;
    RecordStore m_store;
    QString m_template;
    void importGraduates(int count, const QByteArray& extra = QByteArray());
    QStringList results() const;
};

namespace {

// The office of the batch, watched and, on request, killed by its process id
// while it is in the middle of replacing tags.
class WatchedOffice : public DocumentSession {
public:
    struct Log {
        int starts = 0;
        int opens = 0;
        int replaces = 0;
        QList<qint64> pidPerOpen;
        // Kills the office at these replace calls (counted over the batch).
        QList<int> killAtReplace;
    };
    explicit WatchedOffice(Log& log) : m_log(log) {}

    void start(bool keepHidden) override
    {
        ++m_log.starts;
        m_office.start(keepHidden);
    }
    void open(const QString& path) override
    {
        ++m_log.opens;
        m_log.pidPerOpen << m_office.processId();
        m_office.open(path);
    }
    QList<QPair<DocumentPart, QString>> ReadPartTexts() override
    {
        return m_office.ReadPartTexts();
    }
    QStringList FindTags(const QStringList& tags) override { return m_office.FindTags(tags); }
    int ReplaceTags(const QList<QPair<QString, QString>>& values) override
    {
        killAt(values.size());
        return m_office.ReplaceTags(values);
    }
    void saveAs(const QString& path) override { m_office.saveAs(path); }
    void closeDocument() noexcept override { m_office.closeDocument(); }
    void quit() noexcept override { m_office.quit(); }

private:
    // Counts replacements, one-pass ones tag by tag; kills the office when
    // the count passes a mark.
    void killAt(qsizetype count)
    {
        const int first = m_log.replaces + 1;
        m_log.replaces += static_cast<int>(count);
        for (int k = first; k <= m_log.replaces; ++k) {
            if (m_log.killAtReplace.contains(k)) {
                ::kill(static_cast<pid_t>(m_office.processId()), SIGKILL);
                QTest::qWait(50);
                return;
            }
        }
    }
    Log& m_log;
    LibreOfficeSession m_office;
};

// An office killed from outside while it stores the first document, after a
// given delay.
class KilledWhileStoring : public DocumentSession {
public:
    explicit KilledWhileStoring(int delayMs, bool* done) : m_delayMs(delayMs), m_done(done) {}
    void start(bool keepHidden) override { m_office.start(keepHidden); }
    void open(const QString& path) override { m_office.open(path); }
    QList<QPair<DocumentPart, QString>> ReadPartTexts() override
    {
        return m_office.ReadPartTexts();
    }
    QStringList FindTags(const QStringList& tags) override { return m_office.FindTags(tags); }
    int ReplaceTags(const QList<QPair<QString, QString>>& values) override
    {
        return m_office.ReplaceTags(values);
    }
    void saveAs(const QString& path) override
    {
        if (*m_done) {
            m_office.saveAs(path);
            return;
        }
        *m_done = true;
        const pid_t pid = static_cast<pid_t>(m_office.processId());
        std::thread killer([pid, delay = m_delayMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            ::kill(pid, SIGKILL);
        });
        try {
            m_office.saveAs(path);
        } catch (...) {
            killer.join();
            throw;
        }
        killer.join();
        // Stored before the kill landed: the next call finds the office gone.
    }
    void closeDocument() noexcept override { m_office.closeDocument(); }
    void quit() noexcept override { m_office.quit(); }

private:
    int m_delayMs;
    bool* m_done;
    LibreOfficeSession m_office;
};

// The texts of several documents, read back through one office.
QStringList readAllBack(const QStringList& paths)
{
    LibreOfficeSession reader;
    reader.start(true);
    QStringList texts;
    for (const QString& path : paths) {
        reader.open(path);
        texts << ReadDocumentText(reader);
        reader.closeDocument();
    }
    reader.quit();
    return texts;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

const QString Generated = QStringLiteral("Успішно згенерований!");

QString nameOf(int k)
{
    return QStringLiteral("Студент%1 Іван Петрович").arg(QChar(u'А' + k));
}

// The XML of count graduates, named by nameOf.
QByteArray graduatesXml(int count)
{
    QByteArray all;
    for (int k = 0; k < count; ++k)
        all += graduateOf(100 + k, nameOf(k));
    return TestFiles::edeboFile(all);
}

// The batch window with count graduates, all checked, through a template of
// the surname alone.
void openGraduates(ExportFixture& f, int count)
{
    f.open(QStringLiteral("a.xml"), graduatesXml(count));
    const QString t = f.path(QStringLiteral("t.fodt"));
    TestFiles::write(t, flatTemplate({QStringLiteral("#Прізвище#")}));
    f.assign({{3, t}});
    QList<int> all;
    for (int k = 0; k < count; ++k)
        all << k;
    f.check(all);
}

QString fileOf(int k)
{
    return QStringLiteral("Студент%1_Іван_Петрович_Диплом.doc").arg(QChar(u'А' + k));
}

} // namespace

void TestBatchOffice::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    QVERIFY(m_cache.isValid());
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
}

void TestBatchOffice::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    SettingsFiles::EnsureWorkFolders(WorkDir(m_work->path()));
    m_template = m_work->filePath(QStringLiteral("t.fodt"));
    // Three tags, so that a kill can land in the middle of a graduate.
    TestFiles::write(m_template,
                     flatTemplate({QStringLiteral("#Прізвище#"), QStringLiteral("#Ім`я#"),
                                   QStringLiteral("#ВНЗ# 20#РікДп#")}));
    saveTemplates(WorkDir(m_work->path()), {{2, m_template}});
    m_store = RecordStore();
}

void TestBatchOffice::cleanup()
{
    QCOMPARE(officesUnder(m_cache.path()), QList<qint64>());
}

void TestBatchOffice::importGraduates(int count, const QByteArray& extra)
{
    QByteArray all;
    for (int k = 0; k < count; ++k)
        all += graduateOf(100 + k, nameOf(k));
    QStringList lines;
    const std::optional<QString> refusal =
        ImportXmlBytes(TestFiles::edeboFile(all + extra), m_work->filePath(QStringLiteral("a.xml")),
                       m_store, lines);
    QVERIFY2(!refusal, qPrintable(refusal.value_or(QString())));
}

QStringList TestBatchOffice::results() const
{
    return QDir(WorkDir(m_work->path()).resultsFolder()).entryList(QDir::Files, QDir::Name);
}

void TestBatchOffice::oneOfficeForTheBatch()
{
    importGraduates(4);
    WatchedOffice::Log log;
    {
        ScratchFolder scratch;
        BatchExport batch(m_store, WorkDir(m_work->path()),
                          [&log] { return std::make_unique<WatchedOffice>(log); });
        for (int k = 1; k <= 4; ++k) {
            const BatchRow row = ExportRecord(batch, scratch, k);
            QCOMPARE(row.result, Generated);
            QVERIFY(QFileInfo::exists(row.path));
        }
        QCOMPARE(batch.officeStarts(), 1);
        QCOMPARE(officesUnder(m_cache.path()).size(), 1);
        batch.finish();
        QCOMPARE(officesUnder(m_cache.path()), QList<qint64>());
    }
    QCOMPARE(log.starts, 1);
    QCOMPARE(log.opens, 4);
    QCOMPARE(QSet<qint64>(log.pidPerOpen.begin(), log.pidPerOpen.end()).size(), 1);
    QCOMPARE(results().size(), 4);
    // Each document holds its own graduate only.
    const QString third = WorkDir(m_work->path()).resultsFolder() + u'/' + fileOf(2);
    const QString thirdText = readBack(third);
    QVERIFY2(thirdText.startsWith(QStringLiteral("СтудентВ\rТарас\rКиївський університет 2015\r")),
             qPrintable(thirdText));
    // The template is never written.
    QCOMPARE(TestFiles::read(m_template),
             flatTemplate({QStringLiteral("#Прізвище#"), QStringLiteral("#Ім`я#"),
                           QStringLiteral("#ВНЗ# 20#РікДп#")}));
}

void TestBatchOffice::officeKilled_data()
{
    // Each graduate's one pass counts 4 replacements (surname, first name,
    // institution, year); the office is killed before the pass whose count
    // takes in a mark: 6 lands on the second graduate.
    QTest::addColumn<QList<int>>("killAt");
    QTest::addColumn<int>("starts");
    QTest::addColumn<QStringList>("rowResults"); // "" for generated
    QTest::newRow("once, in the middle of a graduate")
        << QList<int>{6} << 2 << QStringList{QString(), QString(), QString()};
    QTest::newRow("at the first call of a graduate")
        << QList<int>{5} << 2 << QStringList{QString(), QString(), QString()};
    // The retry of the second graduate counts 9..12; killed at 10.
    QTest::newRow("twice for the same graduate")
        << QList<int>{6, 10} << 3 << QStringList{QString(), QStringLiteral("lost"), QString()};
    QTest::newRow("once for two graduates each")
        << QList<int>{2, 10} << 3 << QStringList{QString(), QString(), QString()};
}

void TestBatchOffice::officeKilled()
{
    QFETCH(QList<int>, killAt);
    QFETCH(int, starts);
    QFETCH(QStringList, rowResults);
    importGraduates(3);
    WatchedOffice::Log log;
    log.killAtReplace = killAt;
    QStringList got;
    {
        ScratchFolder scratch;
        BatchExport batch(m_store, WorkDir(m_work->path()),
                          [&log] { return std::make_unique<WatchedOffice>(log); });
        for (int k = 1; k <= 3; ++k) {
            const BatchRow row = ExportRecord(batch, scratch, k);
            QCOMPARE(row.name, nameOf(k - 1));
            if (row.generated()) {
                QCOMPARE(row.result, Generated);
                got << QString();
            } else {
                QVERIFY2(row.result.contains(QStringLiteral("LibreOffice")),
                         qPrintable(row.result));
                got << QStringLiteral("lost");
            }
        }
        QCOMPARE(batch.officeStarts(), starts);
    }
    QCOMPARE(got, rowResults);
    QCOMPARE(log.starts, starts);
    // One file for each graduate produced, none for the one lost twice, and
    // no half-written file from an interrupted attempt.
    QStringList expected;
    for (int k = 0; k < 3; ++k)
        if (rowResults.at(k).isEmpty())
            expected << fileOf(k);
    expected.sort();
    QCOMPARE(results(), expected);
    for (const QString& f : expected)
        QVERIFY(readBack(WorkDir(m_work->path()).resultsFolder() + u'/' + f)
                    .startsWith(f.section(u'_', 0, 0) + u'\r'));
}

void TestBatchOffice::errorEndsTheOffice()
{
    importGraduates(1, graduateOf(200, QStringLiteral("Помилка Дата Хибна"), QStringLiteral("6.1"),
                                  QStringLiteral("0"), QStringLiteral("30/06/2015 0:00:00")));
    ScratchFolder scratch;
    BatchExport batch(m_store, WorkDir(m_work->path()));
    QCOMPARE(ExportRecord(batch, scratch, 1).result, Generated);
    QCOMPARE(officesUnder(m_cache.path()).size(), 1);
    QVERIFY_THROWS_EXCEPTION(LumarelError, ExportRecord(batch, scratch, 2));
    QCOMPARE(officesUnder(m_cache.path()), QList<qint64>());
}

// Tags in a header and in a frame are replaced as well as those of the body.
void TestBatchOffice::tagsOutsideTheBody()
{
    importGraduates(1);
    TestFiles::write(m_template, R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
<office:automatic-styles><style:page-layout style:name="pm1"><style:page-layout-properties
 fo:page-width="21cm" fo:page-height="29.7cm"/><style:header-style/></style:page-layout>
</office:automatic-styles><office:master-styles><style:master-page style:name="Standard"
 style:page-layout-name="pm1"><style:header><text:p>HEADER=#ВНЗ#</text:p></style:header>
</style:master-page></office:master-styles><office:body><office:text>
<text:p>BODY=#Прізвище#<draw:frame draw:name="F1" text:anchor-type="paragraph" svg:width="5cm"
 svg:height="2cm"><draw:text-box><text:p>FRAME=#Ім`я#</text:p></draw:text-box></draw:frame></text:p>
</office:text></office:body></office:document>
)");
    ScratchFolder scratch;
    BatchExport batch(m_store, WorkDir(m_work->path()));
    const BatchRow row = ExportRecord(batch, scratch, 1);
    batch.finish();
    QVERIFY(row.generated());
    // Read back through the office's own search, which sees every part.
    LibreOfficeSession reader;
    reader.start(true);
    reader.open(row.path);
    QCOMPARE(reader.FindTags({u"#ВНЗ#"_qs, u"#Ім`я#"_qs, u"#Прізвище#"_qs}), QStringList());
    QVERIFY(!ReplaceTag(reader, u"#ВНЗ#"_qs, QString()));
    QVERIFY(!ReplaceTag(reader, u"#Ім`я#"_qs, QString()));
    QVERIFY(ReplaceTag(reader, u"Київський університет"_qs, QString()));
    QVERIFY(ReplaceTag(reader, u"FRAME=Тарас"_qs, QString()));
    reader.quit();
}

// The batch window with the office killed by its process id from outside
// after two rows: every row is there and every document made.
void TestBatchOffice::windowSurvivesAKilledOffice()
{
    // Enough that the kill comes with documents still to do.
    constexpr int Graduates = 12;
    ExportFixture f;
    openGraduates(f, Graduates);
    f.boxes.clear();

    QStringList rows;
    QList<qint64> killed;
    QTimer poll;
    poll.setInterval(5);
    connect(&poll, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->inherits("TFPack"))
            return;
        if (killed.isEmpty() && tableRows(w).size() >= 2) {
            killed = officesUnder(m_cache.path());
            for (qint64 pid : std::as_const(killed))
                ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
        if (w->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled()) {
            rows = tableRows(w);
            poll.stop();
            w->close();
        }
    });
    poll.start();
    f.find<QToolButton>("B4")->click();

    QVERIFY(!killed.isEmpty());
    QVERIFY2(f.boxes.isEmpty(), f.boxes.isEmpty() ? "" : qPrintable(f.boxes.at(0).text));
    QStringList expectedRows, expectedFiles;
    for (int k = 0; k < Graduates; ++k) {
        expectedRows << nameOf(k) + u'|' + Generated;
        expectedFiles << fileOf(k);
    }
    expectedFiles.sort();
    QCOMPARE(rows, expectedRows);
    QCOMPARE(f.resultFiles(), expectedFiles);
    for (qint64 pid : std::as_const(killed))
        QVERIFY(!officesUnder(m_cache.path()).contains(pid));
}

void TestBatchOffice::converterSurvivesAKilledOffice()
{
    constexpr int Graduates = 16;
    ConverterRun converter(m_cache.path());
    const QString xml = converter.file(QStringLiteral("a.xml"));
    TestFiles::write(xml, graduatesXml(Graduates));
    const QString t = converter.file(QStringLiteral("t.fodt"));
    TestFiles::write(t, flatTemplate({QStringLiteral("#Прізвище#")}));
    saveTemplates(WorkDir(converter.work()), {{2, t}});

    converter.start({QStringLiteral("export"), xml});
    QList<qint64> killed;
    while (converter.running()) {
        const QString out = converter.outputSoFar();
        if (killed.isEmpty() && out.count(u'\n') >= 2) {
            killed = officesUnder(m_cache.path());
            for (qint64 pid : std::as_const(killed))
                if (pid != converter.processId())
                    ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
    }
    const ConverterRun::Result r = converter.finish();
    QVERIFY(!killed.isEmpty());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines.size(), Graduates);
    const QString results = WorkDir(converter.work()).resultsFolder();
    for (int k = 0; k < Graduates; ++k)
        QCOMPARE(r.lines.at(k), nameOf(k) + u'\t' + Generated + u'\t' + results + u'/' + fileOf(k));
    QCOMPARE(QDir(results).entryList(QDir::Files).size(), Graduates);
}

// The same file and templates through the batch window and the converter:
// the same rows and the same documents.
void TestBatchOffice::windowAndConverterAgree()
{
    const QByteArray xmlBytes = TestFiles::edeboFile(
        graduateOf(1, QStringLiteral("Бакалавр Олег Іванович")) +
        graduateOf(2, QStringLiteral("Магістр Ольга Іванівна"), QStringLiteral("8.01")) +
        graduateOf(3, QStringLiteral("Спеціаліст Ігор Петрович"), QStringLiteral("7.01")) +
        graduateOf(4, QStringLiteral("Бакалавр Олег Іванович")));
    auto prepare = [&](const QString& dir) {
        const QString good = dir + QStringLiteral("/good.fodt");
        const QString bad = dir + QStringLiteral("/bad.fodt");
        TestFiles::write(good, flatTemplate({QStringLiteral("#Прізвище# 20#РікДп#")}));
        TestFiles::write(bad, flatTemplate({QStringLiteral("#Ім`я#")}));
        saveTemplates(WorkDir(dir), {{2, good}, {4, bad}});
    };

    ExportFixture f;
    f.open(QStringLiteral("a.xml"), xmlBytes);
    prepare(f.dir.path());
    f.check({0, 1, 2, 3});
    QStringList windowRows;
    whenModal(
        "TFPack",
        [](QWidget* w) { return w->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled(); },
        [&](QWidget* w) {
            windowRows = tableRows(w);
            w->close();
        });
    f.find<QToolButton>("B4")->click();

    ConverterRun converter(m_cache.path());
    prepare(converter.work());
    TestFiles::write(converter.file(QStringLiteral("a.xml")), xmlBytes);
    const ConverterRun::Result r =
        converter.run({QStringLiteral("export"), converter.file(QStringLiteral("a.xml"))});
    QStringList cliRows;
    for (const QStringList& row : r.rows)
        cliRows << row.at(0) + u'|' + row.value(1);

    QCOMPARE(windowRows.size(), 4);
    QCOMPARE(cliRows, windowRows);
    QCOMPARE(QDir(WorkDir(converter.work()).resultsFolder()).entryList(QDir::Files, QDir::Name),
             f.resultFiles());
    QCOMPARE(f.resultFiles(), (QStringList{QStringLiteral("Бакалавр_Олег_Іванович_Диплом(1).doc"),
                                           QStringLiteral("Бакалавр_Олег_Іванович_Диплом.doc")}));
}

void TestBatchOffice::killedWhileStoring_data()
{
    QTest::addColumn<int>("delayMs");
    for (int delay : {0, 3, 8, 15, 30})
        QTest::addRow("after %d ms", delay) << delay;
}

// Whenever the kill lands in the store, Results only ever holds whole
// documents that rows name: nothing half written, no temporary file.
void TestBatchOffice::killedWhileStoring()
{
    QFETCH(int, delayMs);
    importGraduates(3);
    bool done = false;
    QStringList paths;
    {
        ScratchFolder scratch;
        BatchExport batch(m_store, WorkDir(m_work->path()),
                          [&] { return std::make_unique<KilledWhileStoring>(delayMs, &done); });
        for (int k = 1; k <= 3; ++k) {
            const BatchRow row = ExportRecord(batch, scratch, k);
            QVERIFY2(row.generated(), qPrintable(row.result));
            paths << QFileInfo(row.path).fileName();
        }
    }
    paths.sort();
    QCOMPARE(filesIn(WorkDir(m_work->path()).resultsFolder()), paths);
    const QStringList texts =
        readAllBack({WorkDir(m_work->path()).resultsFolder() + u'/' + fileOf(0)});
    QVERIFY2(texts.at(0).startsWith(QStringLiteral("СтудентА\r")), qPrintable(texts.at(0)));
}

// The pool gives the rows, the names and the documents of the one-office
// batch, to the byte of their text.
void TestBatchOffice::poolMatchesOneOffice()
{
    const QStringList paragraphs{QStringLiteral("#Прізвище# #Ім`я# #По батькові#"),
                                 QStringLiteral("#Last name# #First name#"),
                                 QStringLiteral("#ВНЗ# 20#РікДп# #ДатаДп# #МісДп#"),
                                 QStringLiteral("#Серія диплома# #Номер диплома# #З_Рід#")};
    QByteArray all;
    const QStringList dates{QStringLiteral("30.06.2015"), QStringLiteral("01.02.2016"),
                            QStringLiteral("15.12.2014")};
    for (int k = 0; k < 9; ++k) {
        // The third and the seventh share a name; the fifth is a master's, whose template lacks
        // the surname.
        const QString name = k == 6 ? nameOf(2) : nameOf(k);
        all += graduateOf(100 + k, name, k == 4 ? QStringLiteral("8.01") : QStringLiteral("6.01"),
                          QStringLiteral("0"), dates.at(k % 3));
    }
    QStringList lines;
    QVERIFY(!ImportXmlBytes(TestFiles::edeboFile(all), m_work->filePath(QStringLiteral("a.xml")),
                            m_store, lines));
    const QList<int> indexes{1, 2, 3, 4, 5, 6, 7, 8, 9};
    auto prepare = [&](const QString& dir) {
        SettingsFiles::EnsureWorkFolders(WorkDir(dir));
        TestFiles::write(dir + QStringLiteral("/good.fodt"), flatTemplate(paragraphs));
        TestFiles::write(dir + QStringLiteral("/bad.fodt"),
                         flatTemplate({QStringLiteral("#Ім`я#")}));
        saveTemplates(WorkDir(dir), {{2, dir + QStringLiteral("/good.fodt")},
                                     {6, dir + QStringLiteral("/bad.fodt")}});
    };
    QTemporaryDir one, pooled;
    prepare(one.path());
    prepare(pooled.path());

    QStringList oneRows, poolRows;
    {
        ScratchFolder scratch;
        BatchExport batch(m_store, WorkDir(one.path()));
        for (int index : indexes) {
            const BatchRow row = ExportRecord(batch, scratch, index);
            oneRows << row.name + u'|' + row.result + u'|' + QFileInfo(row.path).fileName();
        }
    }
    {
        BatchPool pool(m_store, WorkDir(pooled.path()), indexes, 3);
        QCOMPARE(pool.offices(), 3);
        for (qsizetype k = 0; k < indexes.size(); ++k) {
            const std::optional<BatchRow> row = pool.nextRow(-1);
            QVERIFY(row);
            poolRows << row->name + u'|' + row->result + u'|' + QFileInfo(row->path).fileName();
        }
        QVERIFY(!pool.nextRow(0)); // every row given
        pool.finish();
        QCOMPARE(pool.officeStarts(), 3);
        QCOMPARE(officesUnder(m_cache.path()), QList<qint64>());
    }
    QCOMPARE(poolRows, oneRows);
    QVERIFY(oneRows.at(6).endsWith(QStringLiteral("_Диплом(1).doc")));
    const QStringList files = filesIn(WorkDir(one.path()).resultsFolder());
    QCOMPARE(files.size(), 8);
    QCOMPARE(filesIn(WorkDir(pooled.path()).resultsFolder()), files);
    QStringList onePaths, poolPaths;
    for (const QString& f : files) {
        onePaths << WorkDir(one.path()).resultsFolder() + u'/' + f;
        poolPaths << WorkDir(pooled.path()).resultsFolder() + u'/' + f;
    }
    const QStringList oneTexts = readAllBack(onePaths);
    const QStringList poolTexts = readAllBack(poolPaths);
    for (qsizetype k = 0; k < files.size(); ++k) {
        QVERIFY2(!oneTexts.at(k).contains(u'#'), qPrintable(oneTexts.at(k)));
        QCOMPARE(poolTexts.at(k), oneTexts.at(k));
    }
}

void TestBatchOffice::poolErrorEndsEveryOffice_data()
{
    QTest::addColumn<int>("failing"); // position of the graduate whose date is wrong
    QTest::newRow("first") << 0;
    QTest::newRow("in the middle") << 3;
    QTest::newRow("last") << 5;
}

// An error ends the batch at its graduate: the rows before it are all given,
// every office is ended, and no document after it gets a name.
void TestBatchOffice::poolErrorEndsEveryOffice()
{
    QFETCH(int, failing);
    QByteArray all;
    for (int k = 0; k < 6; ++k)
        all += k == failing ? graduateOf(100 + k, nameOf(k), QStringLiteral("6.1"),
                                         QStringLiteral("0"), QStringLiteral("30/06/2015 0:00:00"))
                            : graduateOf(100 + k, nameOf(k));
    QStringList lines;
    QVERIFY(!ImportXmlBytes(TestFiles::edeboFile(all), m_work->filePath(QStringLiteral("a.xml")),
                            m_store, lines));
    QStringList expected;
    {
        BatchPool pool(m_store, WorkDir(m_work->path()), {1, 2, 3, 4, 5, 6}, 2);
        for (int k = 0; k < failing; ++k) {
            const std::optional<BatchRow> row = pool.nextRow(-1);
            QVERIFY(row && row->generated());
            expected << QFileInfo(row->path).fileName();
        }
        QVERIFY_THROWS_EXCEPTION(LumarelError, pool.nextRow(-1));
        // The batch stays at its graduate: asked again, the same error.
        QVERIFY_THROWS_EXCEPTION(LumarelError, pool.nextRow(0));
        QCOMPARE(officesUnder(m_cache.path()), QList<qint64>());
    }
    expected.sort();
    QCOMPARE(results(), expected);
}

// While the offices start and work, the batch window keeps being drawn: its
// thread is never away for long. Enough graduates that the bar has steps to
// show between ticks, however quick a held template makes each.
void TestBatchOffice::windowPaintsWhileOfficesWork()
{
    constexpr int Graduates = 16;
    ExportFixture f;
    openGraduates(f, Graduates);

    QElapsedTimer clock;
    qint64 last = -1, longestGap = 0;
    QList<int> bar;
    QTimer tick;
    tick.setInterval(10);
    connect(&tick, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->inherits("TFPack"))
            return;
        auto* bc = w->findChild<QPushButton*>(QStringLiteral("Bc"));
        const int value = w->findChild<QProgressBar*>(QStringLiteral("PB"))->value();
        if (bar.isEmpty() || bar.last() != value)
            bar << value;
        if (last >= 0)
            longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
        if (bc->isEnabled()) {
            tick.stop();
            w->close();
        }
    });
    clock.start();
    tick.start();
    f.find<QToolButton>("B4")->click();
    QCOMPARE(bar.last(), Graduates);
    QVERIFY(bar.size() >= 3);
    // The office start alone takes longer than this.
    QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
    QCOMPARE(f.resultFiles().size(), Graduates);
}

// Two converters exporting the same graduates into one folder at once: every
// row succeeds and every document has a name of its own.
void TestBatchOffice::twoConvertersIntoOneFolder()
{
    ConverterRun first(m_cache.path());
    ConverterRun second(m_cache.path(), first.work());
    const QString xml = first.file(QStringLiteral("a.xml"));
    TestFiles::write(xml, graduatesXml(6));
    const QString t = first.file(QStringLiteral("t.fodt"));
    TestFiles::write(t, flatTemplate({QStringLiteral("#Прізвище#")}));
    saveTemplates(WorkDir(first.work()), {{2, t}});

    first.start({QStringLiteral("export"), xml});
    second.start({QStringLiteral("export"), xml});
    QSet<QString> paths;
    for (ConverterRun* run : {&first, &second}) {
        const ConverterRun::Result r = run->finish();
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.rows.size(), 6);
        for (int k = 0; k < 6; ++k) {
            QCOMPARE(r.rows.at(k).mid(0, 2), (QStringList{nameOf(k), Generated}));
            paths.insert(r.rows.at(k).value(2));
        }
    }
    QCOMPARE(paths.size(), 12);
    QStringList expected;
    for (int k = 0; k < 6; ++k)
        expected << fileOf(k)
                 << QString(fileOf(k)).replace(QStringLiteral(".doc"), QStringLiteral("(1).doc"));
    expected.sort();
    const QString results = WorkDir(first.work()).resultsFolder();
    QCOMPARE(filesIn(results), expected);
    for (const QString& path : std::as_const(paths))
        QVERIFY(path.startsWith(results + u'/') && QFileInfo(path).size() > 0);
}

// With both options remembered, the window's batch leaves each PDF beside its
// .doc and ends with the print file's row.
void TestBatchOffice::windowShowsThePrintFile()
{
    ExportFixture f;
    f.open(QStringLiteral("a.xml"),
           TestFiles::edeboFile(graduateOf(1, QStringLiteral("Бойко Олег Іванович")) +
                                graduateOf(2, QStringLiteral("Мельник Ольга Іванівна"))));
    const QString good = f.dir.filePath(QStringLiteral("good.fodt"));
    TestFiles::write(good, flatTemplate({QStringLiteral("#Прізвище# #Ім`я#")}));
    saveTemplates(WorkDir(f.dir.path()), {{2, good}});
    SettingsFiles::SaveExportOptions(WorkDir(f.dir.path()), {true, true});
    f.check({0, 1});
    QStringList rows;
    whenModal(
        "TFPack",
        [](QWidget* w) { return w->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled(); },
        [&](QWidget* w) {
            rows = tableRows(w);
            w->close();
        });
    f.find<QToolButton>("B4")->click();

    QCOMPARE(rows.size(), 3);
    QVERIFY(rows.at(0).endsWith(QStringLiteral("|Успішно згенерований!")));
    QVERIFY(rows.at(1).endsWith(QStringLiteral("|Успішно згенерований!")));
    QVERIFY2(rows.at(2).startsWith(QStringLiteral("Файл для друку|") +
                                   f.results(QStringLiteral("Друк_"))),
             qPrintable(rows.at(2)));
    const QString printFile = rows.at(2).section(u'|', 1);
    QVERIFY(QFile::exists(printFile));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {printFile, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QString joined = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(joined.indexOf(QStringLiteral("Бойко")) >= 0 &&
                 joined.indexOf(QStringLiteral("Бойко")) <
                     joined.indexOf(QStringLiteral("Мельник")),
             qPrintable(joined));
    QStringList expected{QStringLiteral("Бойко_Олег_Іванович_Диплом.doc"),
                         QStringLiteral("Бойко_Олег_Іванович_Диплом.pdf"),
                         QStringLiteral("Мельник_Ольга_Іванівна_Диплом.doc"),
                         QStringLiteral("Мельник_Ольга_Іванівна_Диплом.pdf"),
                         QFileInfo(printFile).fileName()};
    expected.sort();
    QCOMPARE(f.resultFiles(), expected);
}

QTEST_MAIN(TestBatchOffice)
#include "tst_batch_office.moc"
