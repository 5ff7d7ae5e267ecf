// Settings files in hostile places: a Templ.set that is a folder or a link
// to nowhere, a working folder that is a file, a save that fails half-way.
// Each gives a LumarelError with a Ukrainian text or the absent state, and
// a failed save never leaves a half-written Templ.set behind.
#include "records/LumarelError.h"
#include "settings/SettingsFiles.h"
#include "tests/support/TestFiles.h"
#include "settings/WorkDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QByteArray OldTable = "C:\\Шаблони\\old.doc\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";

QStringList longPaths()
{
    QStringList paths;
    for (int k = 1; k <= 8; ++k)
        paths.append(QStringLiteral("/home/реєстратор/Шаблони/дуже-довга-назва-%1.doc").arg(k));
    return paths;
}

// Files beyond the limit cannot grow: a full disk for this process alone,
// which works for root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = m_old;
        lower.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace

class TestHostileSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void templSetUnusable_data();
    void templSetUnusable();
    void danglingLinkIsAbsent();
    void saveFails_data();
    void saveFails();
    void workDirIsAFile();
    void rememberedFolderUnusable();

private:
    QString templPath() const { return m_work.filePath(SettingsFiles::TemplTableFile); }
    // Only Templ.set and what the test made itself: no temporary leftovers.
    void expectNoLeftovers(const QStringList& allowed);

    std::unique_ptr<QTemporaryDir> m_dir;
    WorkDir m_work;
};

void TestHostileSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_work = WorkDir(m_dir->path());
}

void TestHostileSettings::expectNoLeftovers(const QStringList& allowed)
{
    const QStringList names =
        QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& n : names)
        QVERIFY2(allowed.contains(n), qPrintable(n));
}

void TestHostileSettings::templSetUnusable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("link to a folder") << QStringLiteral("link to folder");
}

void TestHostileSettings::templSetUnusable()
{
    QFETCH(QString, kind);
    if (kind == u"folder") {
        QVERIFY(QDir().mkpath(templPath()));
    } else {
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("elsewhere"))));
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("elsewhere")), templPath()));
    }
    // Reading: the file system's reason, in a Ukrainian sentence.
    try {
        SettingsFiles::LoadTemplateTable(m_work);
        QFAIL("a folder was read as Templ.set");
    } catch (const LumarelError& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Не вдалося прочитати файл")),
                 qPrintable(e.text()));
        QVERIFY(e.text().contains(QStringLiteral("Templ.set")));
    }
    // Writing: refused, the folder stays a folder.
    try {
        SettingsFiles::SaveTemplateTable(m_work, longPaths());
        QFAIL("Templ.set was written over a folder");
    } catch (const LumarelError& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Не вдалося записати файл")),
                 qPrintable(e.text()));
    }
    QVERIFY(QFileInfo(templPath()).isDir());
    expectNoLeftovers({SettingsFiles::TemplTableFile, QStringLiteral("elsewhere")});
}

void TestHostileSettings::danglingLinkIsAbsent()
{
    // A link to nothing reads as no file at all, as the absent state; the
    // next save gives a real file.
    QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("nowhere")), templPath()));
    QCOMPARE(SettingsFiles::LoadTemplateTable(m_work), std::nullopt);
    QVERIFY(!QDir(m_dir->path()).exists(QStringLiteral("nowhere")));
    try {
        SettingsFiles::SaveTemplateTable(m_work, longPaths());
    } catch (const LumarelError& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Не вдалося записати файл")),
                 qPrintable(e.text()));
        return;
    }
    QCOMPARE(SettingsFiles::LoadTemplateTable(m_work), std::optional(longPaths()));
}

void TestHostileSettings::saveFails_data()
{
    QTest::addColumn<int>("limit"); // bytes a file may grow to
    QTest::newRow("disk full at once") << 0;
    QTest::newRow("disk full after one line") << 40;
    QTest::newRow("disk full before the last line") << 300;
}

void TestHostileSettings::saveFails()
{
    QFETCH(int, limit);
    TestFiles::write(templPath(), OldTable);
    {
        const FileSizeLimit full{rlim_t(limit)};
        QVERIFY(full.ok());
        try {
            SettingsFiles::SaveTemplateTable(m_work, longPaths());
            QFAIL("the save went through a full disk");
        } catch (const LumarelError& e) {
            QVERIFY2(e.text().startsWith(QStringLiteral("Не вдалося записати файл")),
                     qPrintable(e.text()));
            QVERIFY(e.text().contains(QStringLiteral("Templ.set")));
        }
    }
    QCOMPARE(TestFiles::read(templPath()), OldTable);
    expectNoLeftovers({SettingsFiles::TemplTableFile});
    // With room again, the save goes through whole.
    SettingsFiles::SaveTemplateTable(m_work, longPaths());
    QCOMPARE(SettingsFiles::LoadTemplateTable(m_work), std::optional(longPaths()));
}

void TestHostileSettings::workDirIsAFile()
{
    // The parent of Templ.set is a file: nothing can be made under it.
    const QString file = m_dir->filePath(QStringLiteral("work"));
    TestFiles::write(file, OldTable);
    const WorkDir work(file);
    QCOMPARE(SettingsFiles::LoadTemplateTable(work), std::nullopt);
    try {
        SettingsFiles::SaveTemplateTable(work, longPaths());
        QFAIL("Templ.set was written under a file");
    } catch (const LumarelError& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Не вдалося записати файл")),
                 qPrintable(e.text()));
    }
    try {
        SettingsFiles::RememberFolder(work, SettingsFiles::CurDirXmlFile,
                                      QStringLiteral("/home/реєстратор/edebo.xml"));
        QFAIL("CurDirXML.set was written under a file");
    } catch (const LumarelError& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Не вдалося записати файл")),
                 qPrintable(e.text()));
    }
    QCOMPARE(TestFiles::read(file), OldTable);
    expectNoLeftovers({QStringLiteral("work")});
}

void TestHostileSettings::rememberedFolderUnusable()
{
    const QString path = m_work.filePath(SettingsFiles::CurDirXmlFile);
    QVERIFY(QDir().mkpath(path));
    try {
        SettingsFiles::ReadRememberedFolder(m_work, SettingsFiles::CurDirXmlFile);
        QFAIL("a folder was read as CurDirXML.set");
    } catch (const LumarelError& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Не вдалося прочитати файл")),
                 qPrintable(e.text()));
    }
    try {
        SettingsFiles::RememberFolder(m_work, SettingsFiles::CurDirXmlFile,
                                      QStringLiteral("/home/реєстратор/edebo.xml"));
        QFAIL("CurDirXML.set was written over a folder");
    } catch (const LumarelError& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Не вдалося записати файл")),
                 qPrintable(e.text()));
    }
    QVERIFY(QFileInfo(path).isDir());
}

QTEST_GUILESS_MAIN(TestHostileSettings)
#include "tst_hostilesettings.moc"
