#include "settings/SettingsFiles.h"
#include "tests/support/ConverterRun.h"
#include "tests/support/TemplateTable.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcesses.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>

// The converter's export verb, run as a user runs it, on the real office.
class TestCliExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void rows_data();
    void rows();
    void pdfAndPrintFile_data();
    void pdfAndPrintFile();
    void stopSignal_data();
    void stopSignal();
    void killedRunsCopiesRemoved();
    void anyLocale_data();
    void anyLocale();

private:
    QTemporaryDir m_cache;
};

namespace {

// Two pages: the second paragraph starts a new one.
const QByteArray TwoPages = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.text"><office:automatic-styles>
<style:style style:name="PB" style:family="paragraph"><style:paragraph-properties fo:break-before="page"/></style:style>
</office:automatic-styles><office:body><office:text>
<text:p>#Прізвище# перша</text:p><text:p text:style-name="PB">#Прізвище# друга</text:p>
</office:text></office:body></office:document>
)";

QString runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageCount(const QString& pdf)
{
    static const QRegularExpression pages(u"Pages:\\s+(\\d+)"_qs);
    const QRegularExpressionMatch m = pages.match(runTool(u"pdfinfo"_qs, {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QByteArray record(const char* number, const char* fio, const char* code, const char* award,
                  const char* date = "30.06.2015")
{
    return TestFiles::attributeRecord({{u"iddocument"_qs, QString::fromUtf8(number)},
                                       {u"fio"_qs, QString::fromUtf8(fio)},
                                       {u"specdirprofcode"_qs, QString::fromUtf8(code)},
                                       {u"award"_qs, QString::fromUtf8(award)},
                                       {u"dategive"_qs, QString::fromUtf8(date)}});
}

} // namespace

void TestCliExport::initTestCase()
{
    QVERIFY(m_cache.isValid());
}

void TestCliExport::cleanup()
{
    QVERIFY(TestProcesses::mentioning(m_cache.path()).isEmpty());
}

void TestCliExport::rows_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("rows"); // "<name>\t<result>", a saved path follows success
    QTest::addColumn<QString>("stderrHas");
    const QString ok = u"\tУспішно згенерований!\t"_qs;
    const QString none = u"\tШаблон для документа даного типу не задано!"_qs;
    const QString bad =
        u"\tШаблон для документа даного типу не відповідає вимогам або відсутній!"_qs;
    QTest::newRow("one") << QStringList{u"1001"_qs} << 0
                         << QStringList{u"Шевченко Тарас Григорович"_qs + ok} << QString();
    QTest::newRow("three, in file order")
        << QStringList{u"1003"_qs, u"1001"_qs, u"1002"_qs} << 3
        << QStringList{u"Шевченко Тарас Григорович"_qs + ok, u"Франко Іван Якович"_qs + bad,
                       u"Косач Лариса Петрівна"_qs + none}
        << QString();
    QTest::newRow("unknown number")
        << QStringList{u"1001"_qs, u"77"_qs} << 3
        << QStringList{u"Шевченко Тарас Григорович"_qs + ok} << u"77"_qs;
    // The error ends the batch: its graduate's row names it, and every later
    // graduate still gets a row, so a script knows whom to redo.
    const QString stopped = u"\tНе створено: експорт зупинено через помилку"_qs;
    QTest::newRow("all, then a bad date")
        << QStringList() << 1
        << QStringList{u"Шевченко Тарас Григорович"_qs + ok,
                       u"Франко Іван Якович"_qs + bad,
                       u"Косач Лариса Петрівна"_qs + none,
                       u"Стефаник Василь\t"_qs + u"'2012 0:00:00' is not a valid integer value"_qs,
                       u"Коцюбинський Михайло"_qs + stopped,
                       u"Рядок\\nПідроблений\\tУспішно"_qs + stopped,
                       u"Лютий Тридцять Перший"_qs + stopped,
                       u"Тринадцятий Місяць"_qs + stopped}
        << u"'2012 0:00:00' is not a valid integer value"_qs;
    // A date that is no day of the calendar: that graduate's row says so with
    // the check's text, and the batch goes on.
    QTest::newRow("dates that are no day of the calendar")
        << QStringList{u"1007"_qs, u"1001"_qs, u"1008"_qs} << 3
        << QStringList{u"Шевченко Тарас Григорович"_qs + ok,
                       u"Лютий Тридцять Перший\tНеправильна дата «31/02/2023» для тегу #РікДп#"_qs,
                       u"Тринадцятий Місяць\tНеправильна дата «15/13/2023» для тегу #РікДп#"_qs}
        << QString();
    // Line breaks and tabs in a name are escapes: one row, three columns.
    QTest::newRow("control characters in a name")
        << QStringList{u"1006"_qs} << 0 << QStringList{u"Рядок\\nПідроблений\\tУспішно"_qs + ok}
        << QString();
    QTest::newRow("refused file") << QStringList{u"refused"_qs} << 2 << QStringList()
                                  << u"Структура xml-файлу не відповідає еталону!"_qs;
}

void TestCliExport::rows()
{
    QFETCH(QStringList, numbers);
    QFETCH(int, exitCode);
    QFETCH(QStringList, rows);
    QFETCH(QString, stderrHas);
    ConverterRun converter(m_cache.path());
    const WorkDir workDir(converter.work());
    const QString good = converter.file(u"good.fodt"_qs);
    const QString noSurname = converter.file(u"bad.fodt"_qs);
    TestFiles::write(good, TestFiles::flatTemplate("#Прізвище# 20#РікДп#"));
    TestFiles::write(noSurname, TestFiles::flatTemplate("#Ім`я#"));
    // Slot 3 bachelor, 5 specialist, 8 master with honours; 1 stays empty.
    saveTemplates(workDir, {{2, good}, {4, good}, {7, noSurname}});
    const QString xml = converter.file(u"export.xml"_qs);
    if (numbers == QStringList{u"refused"_qs}) {
        TestFiles::write(xml, "<a><b/></a>");
        numbers.clear();
    } else {
        TestFiles::write(xml,
                         TestFiles::edeboFile(
                             record("1001", "Шевченко Тарас Григорович", "6.02", "0") +
                             record("1002", "Франко Іван Якович", "8.1", "1") +
                             record("1003", "Косач Лариса Петрівна", "5.1", "0") +
                             record("1004", "Стефаник Василь", "7", "0", "25/06/2012 0:00:00") +
                             record("1005", "Коцюбинський Михайло", "6.02", "0") +
                             record("1006", "@NAME@", "6.02", "0") +
                             record("1007", "Лютий Тридцять Перший", "6.02", "0", "31/02/2023") +
                             record("1008", "Тринадцятий Місяць", "6.02", "0", "15/13/2023"))
                             .replace("@NAME@", "Рядок&#10;Підроблений&#9;Успішно"));
    }

    const ConverterRun::Result r = converter.run(QStringList{u"export"_qs, xml} + numbers);
    const QStringList& out = r.lines;
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(stderrHas), qPrintable(r.err));
    QVERIFY2(!r.err.contains(u'\r'), "no progress bar when stderr is no terminal");
    QCOMPARE(out.size(), rows.size());
    for (qsizetype k = 0; k < rows.size(); ++k) {
        QVERIFY2(out.at(k).startsWith(rows.at(k)), qPrintable(out.at(k)));
        if (rows.at(k).endsWith(u'\t')) {
            const QString saved = out.at(k).mid(rows.at(k).size());
            QVERIFY(saved.startsWith(workDir.resultsFolder() + u'/'));
            QVERIFY(QFile::exists(saved));
        }
    }
    // A graduate without a success row has no document.
    const auto saved = std::count_if(rows.cbegin(), rows.cend(),
                                     [](const QString& row) { return row.endsWith(u'\t'); });
    QCOMPARE(QDir(workDir.resultsFolder()).entryList(QDir::Files).size(), saved);
    if (exitCode != 2)
        QVERIFY(QDir(workDir.resultsFolder()).exists());
}

void TestCliExport::anyLocale_data()
{
    // Variables set for the run; LANG, LC_ALL and LC_CTYPE are removed first.
    QTest::addColumn<QStringList>("set");
    QTest::newRow("LANG and LC_ALL unset (cron, ssh)") << QStringList();
    QTest::newRow("LANG=C, LC_ALL=C") << QStringList{u"LANG=C"_qs, u"LC_ALL=C"_qs};
    QTest::newRow("LC_ALL=POSIX over a UTF-8 LANG")
        << QStringList{u"LANG=C.UTF-8"_qs, u"LC_ALL=POSIX"_qs};
}

// The office saves a document with a Cyrillic name whatever locale the
// converter was started in.
void TestCliExport::anyLocale()
{
    QFETCH(QStringList, set);
    ConverterRun converter(m_cache.path());
    const WorkDir workDir(converter.work());
    const QString good = converter.file(u"шаблон.fodt"_qs);
    TestFiles::write(good, TestFiles::flatTemplate("#Прізвище# 20#РікДп#"));
    saveTemplates(workDir, {{2, good}});
    const QString xml = converter.file(u"випускники.xml"_qs);
    TestFiles::write(
        xml, TestFiles::edeboFile(record("1001", "Шевченко Тарас Григорович", "6.02", "0")));

    for (const char* name : {"LANG", "LC_ALL", "LC_CTYPE", "LANGUAGE"})
        converter.unset(QString::fromLatin1(name));
    for (const QString& pair : std::as_const(set))
        converter.set(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    const ConverterRun::Result r = converter.run({u"export"_qs, xml});
    const QString& out = r.out;
    QVERIFY2(r.exitCode == 0, qPrintable(r.err + out));
    const QString prefix = u"Шевченко Тарас Григорович\tУспішно згенерований!\t"_qs;
    QVERIFY2(out.startsWith(prefix), qPrintable(out));
    const QString saved = out.mid(prefix.size()).trimmed();
    QVERIFY(saved.startsWith(workDir.resultsFolder() + u'/'));
    QVERIFY2(QFileInfo(saved).fileName().startsWith(u"Шевченко"_qs), qPrintable(saved));
    QVERIFY(QFileInfo(saved).size() > 0);
}

void TestCliExport::stopSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("hung"); // the offices frozen before the signal
    QTest::newRow("SIGINT") << int(SIGINT) << 130 << false;
    QTest::newRow("SIGTERM") << int(SIGTERM) << 143 << false;
    // Far sooner than the watch over each call would end them.
    QTest::newRow("SIGTERM, offices hung") << int(SIGTERM) << 143 << true;
}

void TestCliExport::stopSignal()
{
    QFETCH(int, signal);
    QFETCH(int, exitCode);
    QFETCH(bool, hung);
    ConverterRun converter(m_cache.path());
    QTemporaryDir tmp; // the run's temporary files: template copies, scratch, the office's own
    converter.set(u"TMPDIR"_qs, tmp.path());
    const WorkDir workDir(converter.work());
    const QString good = converter.file(u"good.fodt"_qs);
    TestFiles::write(good, TestFiles::flatTemplate("#Прізвище#"));
    saveTemplates(workDir, {{2, good}});
    // Enough that the signal comes with documents still to do.
    constexpr int Graduates = 120;
    QByteArray records;
    for (int k = 1; k <= Graduates; ++k)
        records +=
            record(QByteArray::number(1000 + k).constData(),
                   QByteArray("Випускник " + QByteArray::number(k)).constData(), "6.02", "0");
    const QString xml = converter.file(u"export.xml"_qs);
    TestFiles::write(xml, TestFiles::edeboFile(records));

    converter.start({u"export"_qs, xml});
    // Stopped once the first document is there, with most still to do.
    QTRY_VERIFY_WITH_TIMEOUT(!converter.outputSoFar().isEmpty() || !converter.running(), 240000);
    QVERIFY(converter.running());
    if (hung)
        for (const qint64 office : TestProcesses::mentioning(m_cache.path()))
            ::kill(static_cast<pid_t>(office), SIGSTOP);
    ::kill(static_cast<pid_t>(converter.processId()), signal);
    const ConverterRun::Result r = converter.finish(hung ? 30000 : 120000);
    QCOMPARE(r.exitCode, exitCode);

    const QStringList& out = r.lines;
    const QString notDone = u"Не створено: експорт перервано сигналом "_qs +
                            (signal == SIGINT ? u"SIGINT"_qs : u"SIGTERM"_qs);
    QCOMPARE(out.size(), Graduates);
    int saved = 0;
    int stopped = 0;
    for (int k = 0; k < Graduates; ++k) {
        const QStringList& cells = r.rows.at(k);
        QCOMPARE(cells.at(0), u"Випускник "_qs + QString::number(k + 1));
        if (cells.at(1) == notDone) {
            ++stopped;
        } else {
            QVERIFY2(stopped == 0, "rows in list order: done ones first");
            QCOMPARE(cells.at(1), u"Успішно згенерований!"_qs);
            QVERIFY(QFileInfo(cells.at(2)).isFile());
            ++saved;
        }
    }
    QVERIFY(saved >= 1);
    QVERIFY(stopped >= 1);
    // Nothing of the run is left: no office, no temporary file, no stray
    // document. A killed office leaves its own temporary files.
    QVERIFY(TestProcesses::mentioning(m_cache.path()).isEmpty());
    QCOMPARE(QDir(tmp.path())
                 .entryList(hung ? QStringList{u"lumarel*"_qs} : QStringList(),
                            QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(QDir(workDir.resultsFolder()).entryList(QDir::Files | QDir::Hidden).size(), saved);
}

// A converter killed outright leaves its scratch folders and the template's
// private copies; the next run removes them, and leaves those of a run still
// going and anything not ours.
void TestCliExport::killedRunsCopiesRemoved()
{
    QTemporaryDir tmp;
    const QStringList ours{u"lumarel*"_qs};
    const auto leftovers = [&] {
        return QDir(tmp.path())
            .entryList(ours, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const QString foreign = tmp.filePath(u"lumarel-XXXX-чуже"_qs);
    const QString running =
        tmp.filePath(u"lumarel-scratch-%1-живий"_qs.arg(QCoreApplication::applicationPid()));
    TestFiles::write(foreign + u"/template.doc"_qs, "чуже");
    TestFiles::write(running + u"/template.doc"_qs, "живе");
    ConverterRun killed(m_cache.path());
    killed.set(u"TMPDIR"_qs, tmp.path());
    const QString good = killed.file(u"good.fodt"_qs);
    TestFiles::write(good, TestFiles::flatTemplate("#Прізвище#"));
    saveTemplates(WorkDir(killed.work()), {{2, good}});
    QByteArray records;
    for (int k = 1; k <= 40; ++k)
        records += record(QByteArray::number(1000 + k).constData(), "Випускник Іван", "6.02", "0");
    const QString xml = killed.file(u"export.xml"_qs);
    TestFiles::write(xml, TestFiles::edeboFile(records));
    killed.start({u"export"_qs, xml});
    QTRY_VERIFY_WITH_TIMEOUT(!killed.outputSoFar().isEmpty() || !killed.running(), 240000);
    QVERIFY(killed.running());
    ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
    killed.finish(60000);
    // Its scratch folder and a template's copy at least.
    QVERIFY2(leftovers().size() >= 4, qPrintable(leftovers().join(u' ')));

    ConverterRun next(m_cache.path(), killed.work());
    next.set(u"TMPDIR"_qs, tmp.path());
    const QString one = killed.file(u"one.xml"_qs);
    TestFiles::write(one, TestFiles::edeboFile(record("2001", "Наступний Іван", "6.02", "0")));
    const ConverterRun::Result r = next.run({u"export"_qs, one});
    QCOMPARE(r.exitCode, 0);
    QStringList left = leftovers();
    left.sort();
    QCOMPARE(left, (QStringList{QFileInfo(foreign).fileName(), QFileInfo(running).fileName()}));
}

void TestCliExport::pdfAndPrintFile_data()
{
    QTest::addColumn<QStringList>("flags");
    QTest::newRow("pdf") << QStringList{u"--pdf"_qs};
    QTest::newRow("print file") << QStringList{u"--print-file"_qs};
    QTest::newRow("both") << QStringList{u"--pdf"_qs, u"--print-file"_qs};
}

void TestCliExport::pdfAndPrintFile()
{
    QFETCH(QStringList, flags);
    const bool pdf = flags.contains(u"--pdf"_qs);
    const bool printFile = flags.contains(u"--print-file"_qs);
    ConverterRun converter(m_cache.path());
    const WorkDir workDir(converter.work());
    const QString one = converter.file(u"one.fodt"_qs);
    const QString two = converter.file(u"two.fodt"_qs);
    TestFiles::write(one, TestFiles::flatTemplate("#Прізвище# 20#РікДп#"));
    TestFiles::write(two, TwoPages);
    saveTemplates(workDir, {{0, two}, {2, one}, {7, one}});
    const QString xml = converter.file(u"export.xml"_qs);
    const auto graduate = [](const char* number, const QString& fio, const char* code,
                             const char* award) {
        return TestFiles::attributeRecord({{u"iddocument"_qs, QString::fromUtf8(number)},
                                           {u"fio"_qs, fio},
                                           {u"lastname"_qs, fio.section(u' ', 0, 0)},
                                           {u"specdirprofcode"_qs, QString::fromUtf8(code)},
                                           {u"award"_qs, QString::fromUtf8(award)}});
    };
    TestFiles::write(
        xml, TestFiles::edeboFile(graduate("1001", u"Шевченко Тарас Григорович"_qs, "6.02", "0") +
                                  graduate("1002", u"Франко Іван Якович"_qs, "8.1", "1") +
                                  graduate("1003", u"Косач Лариса Петрівна"_qs, "5.1", "0")));

    const ConverterRun::Result r = converter.run(QStringList{u"export"_qs, xml} + flags);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err + r.out));
    const QStringList& out = r.lines;
    const QStringList surnames = {u"Шевченко"_qs, u"Франко"_qs, u"Косач"_qs};
    const QList<int> pages = {1, 1, 2};
    QCOMPARE(out.size(), printFile ? 4 : 3);

    QStringList expected;
    for (int k = 0; k < 3; ++k) {
        const QStringList& row = r.rows.at(k);
        QCOMPARE(row.size(), 3);
        QVERIFY(row.at(0).startsWith(surnames.at(k)));
        QCOMPARE(row.at(1), u"Успішно згенерований!"_qs);
        expected << QFileInfo(row.at(2)).fileName();
        if (!pdf)
            continue;
        const QString beside = row.at(2).chopped(4) + u".pdf"_qs;
        expected << QFileInfo(beside).fileName();
        const QString text = runTool(u"pdftotext"_qs, {beside, u"-"_qs});
        QVERIFY2(text.contains(surnames.at(k)), qPrintable(beside + u'\n' + text));
        QCOMPARE(pageCount(beside), pages.at(k));
        // PDF/A-2b, as the file's own metadata says.
        const QString meta = runTool(u"pdfinfo"_qs, {u"-meta"_qs, beside});
        QVERIFY2(meta.contains(QRegularExpression(u"pdfaid:part(>|=\")2"_qs)), qPrintable(meta));
        QVERIFY2(meta.contains(QRegularExpression(u"pdfaid:conformance(>|=\")B"_qs)),
                 qPrintable(meta));
    }
    if (printFile) {
        const QStringList& row = r.rows.at(3);
        QCOMPARE(row.size(), 2);
        QCOMPARE(row.at(0), u"Файл для друку"_qs);
        const QString joined = row.at(1);
        QCOMPARE(QFileInfo(joined).absolutePath(), workDir.resultsFolder());
        QVERIFY2(QRegularExpression(u"^Друк_\\d{8}-\\d{6}\\.pdf$"_qs)
                     .match(QFileInfo(joined).fileName())
                     .hasMatch(),
                 qPrintable(joined));
        expected << QFileInfo(joined).fileName();
        QCOMPARE(pageCount(joined), 1 + 1 + 2);
        // Each document on pages of its own, in list order.
        const QStringList onPage = {surnames.at(0), surnames.at(1), surnames.at(2), surnames.at(2)};
        for (int page = 1; page <= 4; ++page) {
            const QString text =
                runTool(u"pdftotext"_qs, {u"-f"_qs, QString::number(page), u"-l"_qs,
                                          QString::number(page), joined, u"-"_qs});
            for (const QString& surname : surnames)
                QCOMPARE(text.contains(surname), surname == onPage.at(page - 1));
        }
    }
    // Nothing else is left in Results: no scratch PDF of the print file alone.
    expected.sort();
    QCOMPARE(QDir(workDir.resultsFolder()).entryList(QDir::Files, QDir::Name), expected);
}

QTEST_GUILESS_MAIN(TestCliExport)
#include "tst_cli_export.moc"
