#include "settings/LineBuffer.h"
#include "records/LumarelError.h"
#include "settings/SettingsFiles.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace SettingsFiles;

class TestSettingsFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void workDirJoin();
    void ensureWorkFolders();
    void loadTemplateTable_data();
    void loadTemplateTable();
    void absentTable();
    void saveTemplateTable();
    void saveCyrillicByteForByte();
    void saveRefusesUnstorable();
    void unreadableTable();
    void rememberedFolder_data();
    void rememberedFolder();
    void rememberedFolderAbsent();
    void lineBuffer_data();
    void lineBuffer();
    void exportOptionsRoundTrip_data();
    void exportOptionsRoundTrip();
    void exportOptionsRead_data();
    void exportOptionsRead();
    void exportOptionsUnwritable();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    WorkDir m_work;
};

static QByteArray cp1251(const QString& s)
{
    QStringEncoder e("windows-1251");
    return e.encode(s);
}

void TestSettingsFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_work = WorkDir(m_dir->path());
}

void TestSettingsFiles::workDirJoin()
{
    QCOMPARE(WorkDir(u"/home/реєстратор"_qs).filePath(u"Templ.set"_qs),
             u"/home/реєстратор/Templ.set"_qs);
    QCOMPARE(WorkDir(u"/"_qs).filePath(u"Templ.set"_qs), u"/Templ.set"_qs);
    QCOMPARE(WorkDir(u"/w"_qs).resultsFolder(), u"/w/Results"_qs);
}

void TestSettingsFiles::ensureWorkFolders()
{
    TestFiles::write(m_work.filePath(u"Results/old.doc"_qs), "keep");
    EnsureWorkFolders(m_work);
    for (const char* f : {"Templates", "Results", "Examples", "AddInfo"})
        QVERIFY(QFileInfo(m_work.filePath(QString::fromLatin1(f))).isDir());
    QCOMPARE(TestFiles::read(m_work.filePath(u"Results/old.doc"_qs)), QByteArray("keep"));
    // A file in the way of a folder is left alone, silently.
    QDir(m_work.examplesFolder()).removeRecursively();
    TestFiles::write(m_work.examplesFolder(), "not a folder");
    EnsureWorkFolders(m_work);
    QCOMPARE(TestFiles::read(m_work.examplesFolder()), QByteArray("not a folder"));
}

void TestSettingsFiles::loadTemplateTable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("slots");
    const QString a = u"/шаблони/бакалавр.doc"_qs;
    QTest::newRow("eight CR LF") << QByteArray(16, '\0').replace('\0', "\r\n").left(16)
                                 << QStringList(8, QString());
    QTest::newRow("three lines") << cp1251(u"a\r\nb\r\n"_qs + a)
                                 << QStringList{u"a"_qs, u"b"_qs, a, {}, {}, {}, {}, {}};
    QTest::newRow("ten lines") << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n")
                               << QStringList{u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs,
                                              u"5"_qs, u"6"_qs, u"7"_qs, u"8"_qs};
    QTest::newRow("LF only") << QByteArray("1\n2\n3\n")
                             << QStringList{u"1"_qs, u"2"_qs, u"3"_qs, {}, {}, {}, {}, {}};
    QTest::newRow("lone CR") << QByteArray("1\r2\r\n\n4")
                             << QStringList{u"1"_qs, u"2"_qs, {}, u"4"_qs, {}, {}, {}, {}};
    QTest::newRow("leading spaces kept")
        << cp1251(u"\r\n\r\n  "_qs + a + u" \r\n"_qs)
        << QStringList{{}, {}, u"  "_qs + a + u" "_qs, {}, {}, {}, {}, {}};
    QTest::newRow("empty file") << QByteArray() << QStringList(8, QString());
}

void TestSettingsFiles::loadTemplateTable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, slots);
    if (QTest::currentDataTag() == QByteArray("eight CR LF"))
        bytes = QByteArray("\r\n").repeated(8);
    TestFiles::write(m_work.filePath(TemplTableFile), bytes);
    const auto table = LoadTemplateTable(m_work);
    QVERIFY(table);
    QCOMPARE(*table, slots);
}

void TestSettingsFiles::absentTable()
{
    QVERIFY(!LoadTemplateTable(m_work));
}

void TestSettingsFiles::saveTemplateTable()
{
    SaveTemplateTable(m_work, QStringList(8, QString()));
    QCOMPARE(TestFiles::read(m_work.filePath(TemplTableFile)), QByteArray("\r\n").repeated(8));
    QStringList slots(8, QString());
    slots[2] = u"/t/bak.doc"_qs;
    SaveTemplateTable(m_work, slots);
    QCOMPARE(TestFiles::read(m_work.filePath(TemplTableFile)),
             QByteArray("\r\n\r\n/t/bak.doc\r\n\r\n\r\n\r\n\r\n\r\n"));
    // Ten lines in, eight out.
    TestFiles::write(m_work.filePath(TemplTableFile), "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n");
    SaveTemplateTable(m_work, *LoadTemplateTable(m_work));
    QCOMPARE(TestFiles::read(m_work.filePath(TemplTableFile)),
             QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n"));
}

void TestSettingsFiles::saveCyrillicByteForByte()
{
    // A file written by an earlier installation reads and writes back unchanged.
    const QByteArray stored =
        cp1251(u"/home/Олена/Шаблони/мол_спец.doc\r\n\r\n/home/Олена/Шаблони/Бакалавр ІІ.doc\r\n"
               u"\r\n\r\n\r\n\r\n\r\n"_qs);
    QCOMPARE(stored.count('\r'), 8);
    TestFiles::write(m_work.filePath(TemplTableFile), stored);
    const auto table = LoadTemplateTable(m_work);
    QCOMPARE(table->at(2), u"/home/Олена/Шаблони/Бакалавр ІІ.doc"_qs);
    SaveTemplateTable(m_work, *table);
    QCOMPARE(TestFiles::read(m_work.filePath(TemplTableFile)), stored);
}

void TestSettingsFiles::saveRefusesUnstorable()
{
    QStringList slots(8, QString());
    slots[0] = u"/old.doc"_qs;
    SaveTemplateTable(m_work, slots);
    const QByteArray before = TestFiles::read(m_work.filePath(TemplTableFile));
    slots[1] = u"/home/Мʼясоїд/шаблон.doc"_qs; // the modifier apostrophe has no single byte
    QVERIFY(!IsStorable(slots[1]));
    QVERIFY(IsStorable(u"/home/Мясоїд/шаблон ґ №.doc"_qs));
    QVERIFY_THROWS_EXCEPTION(LumarelError, SaveTemplateTable(m_work, slots));
    QCOMPARE(TestFiles::read(m_work.filePath(TemplTableFile)), before);
}

void TestSettingsFiles::unreadableTable()
{
    QDir().mkpath(m_work.filePath(TemplTableFile)); // a folder where the file should be
    QVERIFY_THROWS_EXCEPTION(LumarelError, LoadTemplateTable(m_work));
    QVERIFY_THROWS_EXCEPTION(LumarelError, SaveTemplateTable(m_work, QStringList(8, QString())));
}

void TestSettingsFiles::rememberedFolder_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("folder") << u"/home/Олена/ЄДЕБО/2015.xml"_qs << cp1251(u"/home/Олена/ЄДЕБО/"_qs);
    QTest::newRow("root") << u"/2015.xml"_qs << QByteArray("/");
    QTest::newRow("trailing spaces kept") << u"/a b /x.xml"_qs << QByteArray("/a b /");
}

void TestSettingsFiles::rememberedFolder()
{
    QFETCH(QString, chosen);
    QFETCH(QByteArray, stored);
    RememberFolder(m_work, CurDirXmlFile, chosen);
    QCOMPARE(TestFiles::read(m_work.filePath(CurDirXmlFile)), stored);
    QCOMPARE(ReadRememberedFolder(m_work, CurDirXmlFile).toUtf8(),
             QString(QStringDecoder("windows-1251").decode(stored)).toUtf8());
    QVERIFY(!QFileInfo::exists(m_work.filePath(CurDirTemplFile)));
}

void TestSettingsFiles::rememberedFolderAbsent()
{
    QCOMPARE(ReadRememberedFolder(m_work, CurDirTemplFile), m_work.path());
}

void TestSettingsFiles::lineBuffer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalised");
    QTest::addColumn<QStringList>("lines"); // lines 1..4
    QTest::newRow("crlf") << u"a\r\nb"_qs << u"a\r\nb"_qs << QStringList{u"a"_qs, u"b"_qs, {}, {}};
    QTest::newRow("lf") << u"a\nb\n"_qs << u"a\r\nb\r\n"_qs
                        << QStringList{u"a"_qs, u"b"_qs, {}, {}};
    QTest::newRow("cr") << u"a\rb"_qs << u"a\r\nb"_qs << QStringList{u"a"_qs, u"b"_qs, {}, {}};
    QTest::newRow("lf cr is two") << u"a\n\rb"_qs << u"a\r\n\r\nb"_qs
                                  << QStringList{u"a"_qs, {}, u"b"_qs, {}};
    QTest::newRow("empty") << QString() << QString() << QStringList{{}, {}, {}, {}};
}

void TestSettingsFiles::lineBuffer()
{
    QFETCH(QString, text);
    QFETCH(QString, normalised);
    QFETCH(QStringList, lines);
    LineBuffer b;
    b.setText(text);
    QCOMPARE(b.text(), normalised);
    for (int k = 1; k <= 4; ++k)
        QCOMPARE(b.line(k), lines.at(k - 1));
    QCOMPARE(b.line(0), QString());
}

void TestSettingsFiles::exportOptionsRoundTrip_data()
{
    QTest::addColumn<bool>("alsoPdf");
    QTest::addColumn<bool>("printFile");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("both off") << false << false << QByteArray("0\r\n0\r\n");
    QTest::newRow("pdf") << true << false << QByteArray("1\r\n0\r\n");
    QTest::newRow("print file") << false << true << QByteArray("0\r\n1\r\n");
    QTest::newRow("both") << true << true << QByteArray("1\r\n1\r\n");
}

void TestSettingsFiles::exportOptionsRoundTrip()
{
    QFETCH(bool, alsoPdf);
    QFETCH(bool, printFile);
    QFETCH(QByteArray, bytes);
    // Whatever was there before is replaced whole.
    TestFiles::write(m_work.filePath(ExportFile), "1\r\n1\r\n1\r\nextra\r\n");
    SaveExportOptions(m_work, {alsoPdf, printFile});
    QCOMPARE(TestFiles::read(m_work.filePath(ExportFile)), bytes);
    QCOMPARE(LoadExportOptions(m_work), (ExportOptions{alsoPdf, printFile}));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{ExportFile});
}

void TestSettingsFiles::exportOptionsRead_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "-": no file
    QTest::addColumn<bool>("alsoPdf");
    QTest::addColumn<bool>("printFile");
    QTest::newRow("missing") << QByteArray("-") << false << false;
    QTest::newRow("empty") << QByteArray() << false << false;
    QTest::newRow("one line") << QByteArray("1") << true << false;
    QTest::newRow("LF ends") << QByteArray("0\n1\n") << false << true;
    QTest::newRow("spaces") << QByteArray(" 1 \r\n 1\r\n") << true << true;
    QTest::newRow("not a flag") << QByteArray("yes\r\n2\r\n") << false << false;
    QTest::newRow("binary") << QByteArray("\xff\x00\x01\r\n\x01", 6) << false << false;
}

void TestSettingsFiles::exportOptionsRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, alsoPdf);
    QFETCH(bool, printFile);
    if (bytes != "-")
        TestFiles::write(m_work.filePath(ExportFile), bytes);
    QCOMPARE(LoadExportOptions(m_work), (ExportOptions{alsoPdf, printFile}));
}

void TestSettingsFiles::exportOptionsUnwritable()
{
    // Unreadable means off; a save that cannot happen says so and keeps what was there.
    QVERIFY(QDir(m_dir->path()).mkdir(ExportFile));
    QCOMPARE(LoadExportOptions(m_work), ExportOptions{});
    QVERIFY_THROWS_EXCEPTION(LumarelError, SaveExportOptions(m_work, {true, true}));
    QVERIFY(QFileInfo(m_work.filePath(ExportFile)).isDir());
}

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
