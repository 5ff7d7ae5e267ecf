#include "settings/SettingsFiles.h"
#include "tests/support/ConverterRun.h"
#include "tests/support/TemplateTable.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcesses.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// The converter's check verb, run as a user runs it, on the real office.
class TestCliCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void findings_data();
    void findings();
    void lint_data();
    void lint();
    void hostileValues_data();
    void hostileValues();
    void folderGiven_data();
    void folderGiven();
    void lintByContent_data();
    void lintByContent();

private:
    QTemporaryDir m_cache;
};

namespace {

QByteArray record(const QString& number, const QString& fio, const QString& code,
                  const QList<QPair<QString, QString>>& more = {})
{
    return TestFiles::attributeRecord(
        QList<QPair<QString, QString>>{{u"iddocument"_qs, number},
                                       {u"fio"_qs, fio},
                                       {u"number"_qs, number},
                                       {u"specdirprofcode"_qs, code}} +
        more);
}

} // namespace

void TestCliCheck::initTestCase()
{
    QVERIFY(m_cache.isValid());
}

void TestCliCheck::cleanup()
{
    QVERIFY(TestProcesses::mentioning(m_cache.path()).isEmpty());
}

void TestCliCheck::findings_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("stderrHas");
    const QStringList all{
        u"1001\tШевченко Тарас\tСерія і номер «КВ 1001» повторюються у записах 1001, 1006"_qs,
        u"1002\tФранко Іван\tПорожнє значення для тегу #Last name#"_qs,
        u"1002\tФранко Іван\tОднакове ім'я документа з записом 1007"_qs,
        u"1003\tКосач Лариса\tНеправильна дата «31/02/2023» для тегу #ДатаДп#"_qs,
        // %T: the path of the master's template, which is not there.
        u"1004\tСтефаник Василь\tШаблон «%T» відсутній: файл не знайдено"_qs,
        u"1005\tКобилянська Ольга\tШаблон для документа даного типу не задано!"_qs,
        u"1006\tГрінченко Борис\tСерія і номер «КВ 1001» повторюються у записах 1001, 1006"_qs,
        u"1007\tФранко Іван\tОднакове ім'я документа з записом 1002"_qs,
    };
    QTest::newRow("all") << QStringList() << 3 << all << QString();
    QTest::newRow("some, in file order") << QStringList{u"1005"_qs, u"1003"_qs} << 3
                                         << QStringList{all.at(3), all.at(5)} << QString();
    QTest::newRow("one of a shared name alone is clean")
        << QStringList{u"1007"_qs} << 0 << QStringList() << QString();
    QTest::newRow("unknown number")
        << QStringList{u"1007"_qs, u"77"_qs} << 3 << QStringList() << u"77"_qs;
    QTest::newRow("refused file") << QStringList{u"refused"_qs} << 2 << QStringList()
                                  << u"Структура xml-файлу не відповідає еталону!"_qs;
}

void TestCliCheck::findings()
{
    QFETCH(QStringList, numbers);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(QString, stderrHas);
    ConverterRun converter(m_cache.path());
    const WorkDir workDir(converter.work());
    const QString good = converter.file(u"good.fodt"_qs);
    TestFiles::write(good, TestFiles::flatTemplate("#Прізвище# #Last name# #ДатаДп#"));
    // Bachelor (6) and specialist (7) share one template; master (8) has a
    // file that is not there; junior specialist (5) none.
    saveTemplates(workDir, {{2, good}, {4, good}, {6, converter.file(u"нема.doc"_qs)}});
    const QString xml = converter.file(u"check.xml"_qs);
    if (numbers == QStringList{u"refused"_qs}) {
        TestFiles::write(xml, "<a><b/></a>");
        numbers.clear();
    } else {
        TestFiles::write(
            xml,
            TestFiles::edeboFile(
                record(u"1001"_qs, u"Шевченко Тарас"_qs, u"6.02"_qs) +
                record(u"1002"_qs, u"Франко Іван"_qs, u"7.1"_qs, {{u"lastnameen"_qs, {}}}) +
                record(u"1003"_qs, u"Косач Лариса"_qs, u"6.1"_qs,
                       {{u"dategive"_qs, u"31/02/2023"_qs}}) +
                record(u"1004"_qs, u"Стефаник Василь"_qs, u"8"_qs) +
                record(u"1005"_qs, u"Кобилянська Ольга"_qs, u"5"_qs) +
                record(u"1006"_qs, u"Грінченко Борис"_qs, u"6"_qs, {{u"number"_qs, u"1001"_qs}}) +
                record(u"1007"_qs, u"Франко Іван"_qs, u"6"_qs)));
    }

    const ConverterRun::Result r = converter.run(QStringList{u"check"_qs, xml} + numbers);
    QVERIFY2(r.err.contains(stderrHas), qPrintable(r.err));
    for (QString& line : lines)
        line.replace(u"%T"_qs, QDir::toNativeSeparators(converter.file(u"нема.doc"_qs)));
    QCOMPARE(r.lines, lines);
    QCOMPARE(r.exitCode, exitCode);
    // A check writes nothing.
    QVERIFY(!QDir(workDir.resultsFolder()).exists());
}

void TestCliCheck::lint_data()
{
    QTest::addColumn<QString>("text"); // of the template's one paragraph; empty: no file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    const QString main = u"\tосновний текст"_qs;
    QTest::newRow("clean") << u"#Прізвище# #ВНЗ# #ВНЗ#"_qs << 0
                           << QStringList{u"#Прізвище#\t1"_qs + main, u"#ВНЗ#\t2"_qs + main};
    QTest::newRow("no surname") << u"#ВНЗ#"_qs << 3
                                << QStringList{u"#ВНЗ#\t1"_qs + main,
                                               u"Немає тегу #Прізвище#: шаблон буде відхилено"_qs};
    QTest::newRow("surname in other letter case")
        << u"#прізвище#"_qs << 3
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"Тег #Прізвище# написано іншими літерами («#прізвище#»): шаблон буде "
                       "відхилено, потрібно точно #Прізвище#"_qs};
    QTest::newRow("Latin look-alike")
        << u"#Прізвище# #Керiвник#"_qs << 3
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«#Керiвник#» не є тегом таблиці; мабуть, #Керівник# («#Кер[i]вник#» — "
                       "латинська i)"_qs};
    QTest::newRow("extra space")
        << u"#Прізвище# #ВНЗ #"_qs << 3
        << QStringList{
               u"#Прізвище#\t1"_qs + main,
               u"«#ВНЗ #» не є тегом таблиці; мабуть, #ВНЗ# (зайві або пропущені пробіли)"_qs};
    QTest::newRow("missing and doubled #")
        << u"#Прізвище# #boss ##ВНЗ#"_qs << 3
        << QStringList{u"#Прізвище#\t1"_qs + main, u"#ВНЗ#\t1"_qs + main,
                       u"Подвоєний «#» у «##ВНЗ#»; мабуть, #ВНЗ#"_qs,
                       u"«#boss» без закривального «#»; мабуть, #boss#"_qs};
    QTest::newRow("no file") << QString() << 1 << QStringList();
}

void TestCliCheck::lint()
{
    QFETCH(QString, text);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    ConverterRun converter(m_cache.path());
    const QString path = converter.file(u"шаблон.fodt"_qs);
    if (!text.isEmpty())
        TestFiles::write(path, TestFiles::flatTemplate(text.toHtmlEscaped().toUtf8()));
    const ConverterRun::Result r = converter.run({u"lint"_qs, path});
    QCOMPARE(r.lines, lines);
    QCOMPARE(r.exitCode, exitCode);
    if (text.isEmpty())
        QVERIFY(!r.err.isEmpty());
}

void TestCliCheck::hostileValues_data()
{
    // As written in the file, character references included.
    QTest::addColumn<QByteArray>("fio");
    QTest::addColumn<QByteArray>("lastname");
    QTest::addColumn<QByteArray>("lastnameen");
    QTest::addColumn<QStringList>("lines");
    const QByteArray forty = QString(40, u'Щ').toUtf8();
    QTest::newRow("a name that would forge another record's line")
        << QByteArray("Іван&#10;1002&#9;Франко Іван&#9;Порожнє значення для тегу #ВНЗ#")
        << QByteArray("Шевченко") << QByteArray()
        << QStringList{u"1001\tІван\\n1002\\tФранко Іван\\tПорожнє значення для тегу "
                       "#ВНЗ#\tПорожнє значення для тегу #Last name#"_qs};
    QTest::newRow("a surname past its width")
        << QByteArray("Шевченко Тарас") << forty + "енко" << QByteArray("Shevchenko")
        << QStringList{u"1001\tШевченко Тарас\tЗначення обрізано до 40 символів: «"_qs +
                       QString(40, u'Щ') + u"енко»"_qs};
    QTest::newRow("a cut value shown escaped")
        << QByteArray("Шевченко Тарас") << QByteArray("Шевченко")
        << QByteArray(40, 'S') + "&#10;hevchenko"
        << QStringList{u"1001\tШевченко Тарас\tЗначення обрізано до 40 символів: «"_qs +
                       QString(40, u'S') + u"\\nhevchenko»"_qs};
}

// Whatever a name or value holds, each finding is one line of three columns.
void TestCliCheck::hostileValues()
{
    QFETCH(QByteArray, fio);
    QFETCH(QByteArray, lastname);
    QFETCH(QByteArray, lastnameen);
    QFETCH(QStringList, lines);
    ConverterRun converter(m_cache.path());
    const WorkDir workDir(converter.work());
    const QString good = converter.file(u"good.fodt"_qs);
    TestFiles::write(good, TestFiles::flatTemplate("#Прізвище# #Last name# #ДатаДп#"));
    saveTemplates(workDir, {{2, good}});
    const QString xml = converter.file(u"check.xml"_qs);
    TestFiles::write(xml, TestFiles::edeboFile(record(u"1001"_qs, u"@FIO@"_qs, u"6"_qs,
                                                      {{u"lastname"_qs, u"@LAST@"_qs},
                                                       {u"lastnameen"_qs, u"@LASTEN@"_qs}}))
                              .replace("@FIO@", fio)
                              .replace("@LASTEN@", lastnameen)
                              .replace("@LAST@", lastname));
    const ConverterRun::Result r = converter.run({u"check"_qs, xml});
    QCOMPARE(r.lines, lines);
    for (const QStringList& row : r.rows)
        QCOMPARE(row.size(), 3);
    QCOMPARE(r.exitCode, 3);
}

void TestCliCheck::folderGiven_data()
{
    QTest::addColumn<QString>("verb");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("lint") << u"lint"_qs << 1;
    QTest::newRow("check") << u"check"_qs << 1;
    QTest::newRow("list") << u"list"_qs << 1;
    QTest::newRow("export") << u"export"_qs << 1;
}

// A folder where a file is expected is called a folder, not a missing file.
void TestCliCheck::folderGiven()
{
    QFETCH(QString, verb);
    QFETCH(int, exitCode);
    ConverterRun converter(m_cache.path());
    const QString folder = converter.file(u"шаблон.doc"_qs);
    QVERIFY(QDir().mkpath(folder));
    const ConverterRun::Result r = converter.run({verb, folder});
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY(r.lines.isEmpty());
    const QString text = u"Не вдалося відкрити файл \"%1\": це папка, а не файл"_qs.arg(folder);
    QVERIFY2(r.err.contains(text), qPrintable(r.err));
}

void TestCliCheck::lintByContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QByteArray random(16 * 1024, '\0');
    for (qsizetype k = 0; k < random.size(); ++k)
        random[k] = static_cast<char>((k * 7919 + k / 13) % 251);
    const QStringList none;
    // Refused before the office sees them: it would take them for plain
    // text, or die on them.
    QTest::newRow("random bytes") << random << 1 << none;
    QTest::newRow("zero bytes") << QByteArray() << 1 << none;
    QTest::newRow("plain text") << QByteArray("#Прізвище# #ВНЗ#\n") << 1 << none;
    // The formats a template may come in besides Word 97-2003.
    QTest::newRow("RTF") << QByteArray("{\\rtf1\\ansi #boss#\\par}") << 3
                         << QStringList{u"#boss#\t1\tосновний текст"_qs,
                                        u"Немає тегу #Прізвище#: шаблон буде відхилено"_qs};
}

// What the template file is, told by its content, not its name.
void TestCliCheck::lintByContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    ConverterRun converter(m_cache.path());
    const QString path = converter.file(u"шаблон.doc"_qs);
    TestFiles::write(path, bytes);
    const ConverterRun::Result r = converter.run({u"lint"_qs, path});
    QCOMPARE(r.lines, lines);
    QCOMPARE(r.exitCode, exitCode);
    if (exitCode == 1)
        QCOMPARE(r.err.trimmed(), u"Файл шаблону не є документом Word: "_qs + path);
    QVERIFY(!r.err.contains(u"аварійно"_qs));
}

QTEST_GUILESS_MAIN(TestCliCheck)
#include "tst_cli_check.moc"
