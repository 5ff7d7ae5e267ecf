#include "generate/DocumentGeneration.h"
#include "generate/OutputPlacement.h"
#include "generate/office/ScratchFolder.h"
#include "tests/support/TextDocumentSession.h"
#include "records/LumarelError.h"
#include "settings/SettingsFiles.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcesses.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <latch>
#include <thread>

namespace {

// What the sessions saw, kept beyond their lifetime.
struct Seen {
    int made = 0;
    int quits = 0;
    int destroyed = 0;
    QList<bool> hidden;
    bool startedBeforeOpen = true;
};

class WatchedSession : public TextDocumentSession {
public:
    explicit WatchedSession(Seen* seen) : m_seen(seen) {}
    ~WatchedSession() override { ++m_seen->destroyed; }
    void quit() noexcept override
    {
        TextDocumentSession::quit();
        ++m_seen->quits;
    }
    void start(bool keepHidden) override
    {
        m_seen->hidden.append(keepHidden);
        TextDocumentSession::start(keepHidden);
    }
    // The template goes into the office this call started, not another one.
    void open(const QString& templatePath) override
    {
        m_seen->startedBeforeOpen &= started();
        TextDocumentSession::open(templatePath);
    }

private:
    Seen* m_seen;
};

// Another run takes the name the document is about to get while the office
// is storing it; then the store succeeds or fails.
class OvertakenSession : public TextDocumentSession {
public:
    OvertakenSession(QString taken, bool fail) : m_taken(std::move(taken)), m_fail(fail) {}
    void saveAs(const QString& path) override
    {
        TestFiles::write(m_taken, "чужий");
        if (m_fail)
            throw LumarelError(u"Не вдалося зберегти документ "_qs + path);
        TextDocumentSession::saveAs(path);
    }

private:
    QString m_taken;
    bool m_fail;
};

} // namespace

// Template lookup, output naming and the generation steps, on an in-memory
// document standing in for the office.
class TestDocumentGeneration : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void outputName_data();
    void outputName();
    void outputNameCounts();
    void findTemplatePath_data();
    void findTemplatePath();
    void generate_data();
    void generate();
    void borrowedSession();
    void wordMissing();
    void claimsNeverCollide_data();
    void claimsNeverCollide();
    void nameTakenWhileStoring_data();
    void nameTakenWhileStoring();
    void scratchLeftovers_data();
    void scratchLeftovers();
    void storeParent_data();
    void storeParent();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordStore m_store;
    Seen m_seen;

    // A factory that remembers what it made; the sessions count their quits.
    GenerationContext context();
    int addRecord(const QString& displayName, const QString& levelCode,
                  const QString& award = u"0"_qs, const QString& issueDate = u"30.06.2015"_qs);
};

void TestDocumentGeneration::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    SettingsFiles::EnsureWorkFolders(WorkDir(m_dir->path()));
    m_store = RecordStore();
    m_store.BeginImport();
    m_seen = Seen();
}

GenerationContext TestDocumentGeneration::context()
{
    GenerationContext c{m_store, WorkDir(m_dir->path()), nullptr, {}};
    c.makeSession = [this] {
        ++m_seen.made;
        return std::make_unique<WatchedSession>(&m_seen);
    };
    return c;
}

int TestDocumentGeneration::addRecord(const QString& displayName, const QString& levelCode,
                                      const QString& award, const QString& issueDate)
{
    const int index = m_store.AppendRecord();
    StudentRecord& r = m_store.MutableRecord(index);
    r.DisplayName = displayName;
    r.LastName = u"Шевченко"_qs;
    r.LevelCode = levelCode;
    r.AwardTypeName = award;
    r.IssueDate = issueDate;
    r.GraduateDate = u"25.06.2015"_qs;
    return index;
}

void TestDocumentGeneration::outputName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("regular") << u"Прізвище І.Б."_qs << 1 << u"Прізвище_І.Б._Диплом.doc"_qs;
    QTest::newRow("demonstration")
        << u"Прізвище І.Б."_qs << 2 << u"Прізвище_І.Б._Диплом_ДЕМО.doc"_qs;
    QTest::newRow("path characters")
        << u"Іванов \"Ж\"/../x"_qs << 1 << u"Іванов__Ж__.._x_Диплом.doc"_qs;
    QTest::newRow("windows characters")
        << u"a\\b:c*d?e<f>g|h"_qs << 1 << u"a_b_c_d_e_f_g_h_Диплом.doc"_qs;
    QTest::newRow("control characters")
        << u"Ко\tва\nль\u0085"_qs << 1 << u"Ко_ва_ль__Диплом.doc"_qs;
    QTest::newRow("empty") << QString() << 1 << u"_Диплом.doc"_qs;
    // A leading dot would hide the file; only the first one matters.
    QTest::newRow("dots only") << u".."_qs << 2 << u"_._Диплом_ДЕМО.doc"_qs;
    QTest::newRow("leading dot") << u".hidden"_qs << 1 << u"_hidden_Диплом.doc"_qs;
    QTest::newRow("dot after a space") << u" .x"_qs << 1 << u"_.x_Диплом.doc"_qs;
    QTest::newRow("inner dots kept") << u"Коваль І.А."_qs << 1 << u"Коваль_І.А._Диплом.doc"_qs;
    // Invisible format characters could disguise a name ("cod.exe" shown reversed).
    QTest::newRow("right-to-left override")
        << u"Іван\u202Eexe.cod"_qs << 1 << u"Іван_exe.cod_Диплом.doc"_qs;
    QTest::newRow("zero-width space and joiner")
        << u"Ко\u200Bва\u200Dль\uFEFF"_qs << 1 << u"Ко_ва_ль__Диплом.doc"_qs;
    QTest::newRow("soft hyphen and bidi isolate")
        << u"А\u00ADБ\u2066В"_qs << 1 << u"А_Б_В_Диплом.doc"_qs;
    QTest::newRow("format character beyond 16 bits")
        << u"Я\U000E0041Я"_qs << 1 << u"Я_Я_Диплом.doc"_qs;
    // Tools that show a name break its line at these.
    QTest::newRow("line and paragraph separators")
        << u"Ко\u2028ва\u2029ль"_qs << 1 << u"Ко_ва_ль_Диплом.doc"_qs;
    QTest::newRow("leading line separator, then dot")
        << u"\u2028.x"_qs << 1 << u"_.x_Диплом.doc"_qs;
    QTest::newRow("leading format character, then dot")
        << u"\u200B.x"_qs << 1 << u"_.x_Диплом.doc"_qs;
    // The apostrophe letter and emoji are ordinary characters.
    QTest::newRow("apostrophe and emoji kept")
        << u"Мʼясоїд 😀"_qs << 1 << u"Мʼясоїд_😀_Диплом.doc"_qs;
}

void TestDocumentGeneration::outputName()
{
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(QString, fileName);
    const QString folder = m_dir->filePath(u"Results"_qs);
    const QString path = BuildOutputPath(folder, name, static_cast<OutputKind>(kind));
    QCOMPARE(path, folder + u'/' + fileName);
    QCOMPARE(QFileInfo(path).absolutePath(), folder);
}

void TestDocumentGeneration::outputNameCounts()
{
    const QString folder = m_dir->filePath(u"Results"_qs);
    const QString name = u"Прізвище І.Б."_qs;
    QStringList got;
    for (int k = 0; k < 4; ++k) {
        got << QFileInfo(BuildOutputPath(folder, name, OutputKind::Regular)).fileName();
        TestFiles::write(folder + u'/' + got.last(), "x");
    }
    QCOMPARE(got,
             QStringList({u"Прізвище_І.Б._Диплом.doc"_qs, u"Прізвище_І.Б._Диплом(1).doc"_qs,
                          u"Прізвище_І.Б._Диплом(2).doc"_qs, u"Прізвище_І.Б._Диплом(3).doc"_qs}));
    // A dangling link still takes the name: saving there would write elsewhere.
    QVERIFY(QFile::link(m_dir->filePath(u"nowhere"_qs), folder + u"/x_Диплом.doc"_qs));
    QCOMPARE(QFileInfo(BuildOutputPath(folder, u"x"_qs, OutputKind::Regular)).fileName(),
             u"x_Диплом(1).doc"_qs);
    // A long name still leaves a file name the system accepts.
    const QString longPath =
        BuildOutputPath(folder, QString(100, u'Ж') + u"😀"_qs.repeated(60), OutputKind::Regular);
    QVERIFY(QFileInfo(longPath).fileName().toUtf8().size() <= 240);
    QVERIFY(QFileInfo(longPath).fileName().endsWith(u"_Диплом.doc"_qs));
}

void TestDocumentGeneration::findTemplatePath_data()
{
    QTest::addColumn<bool>("writeTable");
    QTest::addColumn<QString>("levelCode");
    QTest::addColumn<QString>("award");
    QTest::addColumn<QString>("path");
    QTest::newRow("no Templ.set") << false << u"6.020303"_qs << u"0"_qs << QString();
    QTest::newRow("bachelor") << true << u"6.020303"_qs << u"0"_qs << u"/t/бакалавр.doc"_qs;
    QTest::newRow("bachelor, empty award") << true << u"6"_qs << QString() << u"/t/бакалавр.doc"_qs;
    QTest::newRow("bachelor honours, trimmed")
        << true << u" 6.1"_qs << u"1"_qs << u"/t/з відзнакою.doc"_qs;
    QTest::newRow("blank line") << true << u"5"_qs << u"1"_qs << QString();
    QTest::newRow("master") << true << u"8"_qs << u"0"_qs << u"/t/магістр.doc"_qs;
    QTest::newRow("no kind: digit 9") << true << u"9.1"_qs << u"0"_qs << QString();
    QTest::newRow("no kind: letter") << true << u"x"_qs << u"0"_qs << QString();
    QTest::newRow("no kind: empty") << true << QString() << u"0"_qs << QString();
}

void TestDocumentGeneration::findTemplatePath()
{
    QFETCH(bool, writeTable);
    QFETCH(QString, levelCode);
    QFETCH(QString, award);
    QFETCH(QString, path);
    const WorkDir workDir(m_dir->path());
    if (writeTable)
        SettingsFiles::SaveTemplateTable(workDir,
                                         {u"/t/мол.doc"_qs, u" \t "_qs, u"/t/бакалавр.doc"_qs,
                                          u"  /t/з відзнакою.doc \t"_qs, QString(), QString(),
                                          u"/t/магістр.doc"_qs, QString()});
    const int index = addRecord(u"А"_qs, levelCode, award);
    QCOMPARE(FindTemplatePath(workDir, m_store, index), path);
}

void TestDocumentGeneration::generate_data()
{
    QTest::addColumn<QString>("templateText"); // empty: no template file
    QTest::addColumn<QString>("issueDate");
    QTest::addColumn<bool>("keepHidden");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("savedAs"); // empty: nothing saved
    QTest::addColumn<QString>("error");
    QTest::newRow("regular") << u"#Прізвище# #РікДп#"_qs << u"30.06.2015"_qs << false << 1
                             << u"Results/Шевченко_Т.Г._Диплом.doc"_qs << QString();
    QTest::newRow("demonstration, hidden")
        << u"#Прізвище# #РікДп#"_qs << u"30.06.2015"_qs << true << 2
        << u"Examples/Шевченко_Т.Г._Диплом_ДЕМО.doc"_qs << QString();
    QTest::newRow("no template") << QString() << u"30.06.2015"_qs << false << 1 << QString()
                                 << QString();
    QTest::newRow("no surname tag")
        << u"#Ім`я# #РікДп#"_qs << u"30.06.2015"_qs << false << 1 << QString() << QString();
    QTest::newRow("bad date") << u"#Прізвище# #РікДп#"_qs << u"30-06-2015"_qs << true << 1
                              << QString() << u"'' is not a valid integer value"_qs;
}

void TestDocumentGeneration::generate()
{
    QFETCH(QString, templateText);
    QFETCH(QString, issueDate);
    QFETCH(bool, keepHidden);
    QFETCH(int, kind);
    QFETCH(QString, savedAs);
    QFETCH(QString, error);
    const int index = addRecord(u"Шевченко Т.Г."_qs, u"6"_qs, u"0"_qs, issueDate);
    const QString templatePath = m_dir->filePath(u"Templates/шаблон.txt"_qs);
    if (!templateText.isEmpty())
        TestFiles::write(templatePath, templateText.toUtf8());

    QString result;
    QString raised;
    try {
        result = GenerateDocument(context(), index, templatePath, keepHidden,
                                  static_cast<OutputKind>(kind))
                     .value_or(QString());
    } catch (const LumarelError& e) {
        raised = e.text();
    }
    QCOMPARE(raised, error);
    QCOMPARE(result, savedAs.isEmpty() ? QString() : m_dir->filePath(savedAs));
    // No office the call made outlives it.
    QCOMPARE(m_seen.destroyed, m_seen.made);
    // No template file: no office at all; otherwise it has been quit once.
    QCOMPARE(m_seen.made, templateText.isEmpty() ? 0 : 1);
    QCOMPARE(m_seen.quits, m_seen.made);
    QVERIFY(m_seen.startedBeforeOpen);
    if (!savedAs.isEmpty()) {
        QCOMPARE(TestFiles::read(result), QByteArray("Шевченко 15"));
        QCOMPARE(m_seen.hidden, QList<bool>{keepHidden});
    }
    const QStringList saved = QDir(m_dir->filePath(u"Results"_qs)).entryList(QDir::Files) +
                              QDir(m_dir->filePath(u"Examples"_qs)).entryList(QDir::Files);
    QCOMPARE(saved.size(), savedAs.isEmpty() ? 0 : 1);
    if (!templateText.isEmpty())
        QCOMPARE(TestFiles::read(templatePath), templateText.toUtf8());
}

void TestDocumentGeneration::borrowedSession()
{
    const int good = addRecord(u"Шевченко Т.Г."_qs, u"6"_qs);
    const int bad = addRecord(u"Косач Л.П."_qs, u"8"_qs, u"0"_qs, u"1/2"_qs);
    const QString templatePath = m_dir->filePath(u"Templates/t.txt"_qs);
    TestFiles::write(templatePath, "#Прізвище# #МісДп#");
    Seen lentSeen;
    WatchedSession lent(&lentSeen);
    lent.start(true);
    GenerationContext c = context();
    c.session = &lent;
    QVERIFY(GenerateDocument(c, good, templatePath, true, OutputKind::Regular).has_value());
    QVERIFY(GenerateDocument(c, good, templatePath, true, OutputKind::Regular).has_value());
    QCOMPARE(lentSeen.quits, 0);
    QVERIFY(!lent.documentOpen());
    QVERIFY_THROWS_EXCEPTION(LumarelError,
                             GenerateDocument(c, bad, templatePath, true, OutputKind::Regular));
    QCOMPARE(lentSeen.quits, 1);
    QCOMPARE(m_seen.made, 0);
    QCOMPARE(QDir(m_dir->filePath(u"Results"_qs)).entryList(QDir::Files).size(), 2);
}

void TestDocumentGeneration::wordMissing()
{
    // A folder without the office program: its callers then show this text.
    QVERIFY(!CheckWordInstalled(m_dir->path()));
    QCOMPARE(WordMissingText, u"MS Word не встановлено!"_qs);
}

void TestDocumentGeneration::claimsNeverCollide_data()
{
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("perRun");
    QTest::addColumn<int>("takenBefore"); // files of the user under the first names
    QTest::addColumn<bool>("danglingLink"); // and a link to nothing under the next
    QTest::newRow("two runs, one name") << 2 << 150 << 0 << false;
    QTest::newRow("four runs") << 4 << 150 << 0 << false;
    QTest::newRow("names of the user in the way") << 3 << 100 << 2 << true;
}

// Runs placing documents of the same name into one folder at once: every
// document gets a name of its own, none replaces another or a file of the
// user, and the numbers leave no gap. Enough of them that a check-then-move
// loses a race.
void TestDocumentGeneration::claimsNeverCollide()
{
    QFETCH(int, runs);
    QFETCH(int, perRun);
    QFETCH(int, takenBefore);
    QFETCH(bool, danglingLink);
    const QString folder = m_dir->filePath(u"Results"_qs);
    const QString name = u"Прізвище І.Б."_qs;
    QStringList userFiles;
    for (int k = 0; k < takenBefore; ++k) {
        userFiles << BuildOutputPath(folder, name, OutputKind::Regular);
        TestFiles::write(userFiles.last(), "користувача " + QByteArray::number(k));
    }
    if (danglingLink)
        QVERIFY(QFile::link(m_dir->filePath(u"nowhere"_qs),
                            BuildOutputPath(folder, name, OutputKind::Regular)));

    std::vector<std::unique_ptr<ScratchFolder>> scratch;
    for (int r = 0; r < runs; ++r)
        scratch.push_back(std::make_unique<ScratchFolder>(m_dir->path()));
    std::vector<QStringList> placed(static_cast<size_t>(runs));
    std::vector<QString> failures(static_cast<size_t>(runs));
    std::latch go(runs);
    std::vector<std::thread> threads;
    for (int r = 0; r < runs; ++r) {
        threads.emplace_back([&, r] {
            go.arrive_and_wait();
            try {
                for (int k = 0; k < perRun; ++k) {
                    const QString finished = scratch[r]->filePath(QString::number(k) + u".doc"_qs);
                    TestFiles::write(finished, QStringLiteral("%1/%2").arg(r).arg(k).toUtf8());
                    placed[r] << PlaceOutputFiles(finished, QString(), folder, name,
                                                  OutputKind::Regular)
                                     .document;
                }
            } catch (const LumarelError& e) {
                failures[r] = e.text();
            }
        });
    }
    for (std::thread& t : threads)
        t.join();

    QSet<QString> all;
    for (int r = 0; r < runs; ++r) {
        QCOMPARE(failures[r], QString());
        QCOMPARE(placed[r].size(), perRun);
        for (int k = 0; k < perRun; ++k) {
            QCOMPARE(TestFiles::read(placed[r].at(k)), QStringLiteral("%1/%2").arg(r).arg(k).toUtf8());
            all.insert(QFileInfo(placed[r].at(k)).fileName());
        }
        QVERIFY(QDir(scratch[r]->path()).isEmpty());
    }
    QCOMPARE(all.size(), runs * perRun);
    for (int k = 0; k < takenBefore; ++k)
        QCOMPARE(TestFiles::read(userFiles.at(k)), "користувача " + QByteArray::number(k));
    const int used = takenBefore + (danglingLink ? 1 : 0);
    QSet<QString> expected;
    for (int k = used; k < used + runs * perRun; ++k)
        expected.insert(k == 0 ? u"Прізвище_І.Б._Диплом.doc"_qs
                               : u"Прізвище_І.Б._Диплом(%1).doc"_qs.arg(k));
    QCOMPARE(all, expected);
}

void TestDocumentGeneration::nameTakenWhileStoring_data()
{
    QTest::addColumn<bool>("storeFails");
    QTest::newRow("the store succeeds") << false;
    QTest::newRow("the store fails") << true;
}

// The name the document would have had is taken by another run while the
// office stores: the other file is never replaced nor removed.
void TestDocumentGeneration::nameTakenWhileStoring()
{
    QFETCH(bool, storeFails);
    const int index = addRecord(u"Шевченко Т.Г."_qs, u"6"_qs);
    const QString templatePath = m_dir->filePath(u"Templates/t.txt"_qs);
    TestFiles::write(templatePath, "#Прізвище#");
    const QString folder = m_dir->filePath(u"Results"_qs);
    const QString taken = folder + u"/Шевченко_Т.Г._Диплом.doc"_qs;
    GenerationContext c = context();
    c.makeSession = [&] { return std::make_unique<OvertakenSession>(taken, storeFails); };
    QString result, raised;
    try {
        result = GenerateDocument(c, index, templatePath, true, OutputKind::Regular).value_or(QString());
    } catch (const LumarelError& e) {
        raised = e.text();
    }
    QCOMPARE(TestFiles::read(taken), QByteArray("чужий"));
    if (storeFails) {
        QVERIFY(raised.startsWith(u"Не вдалося зберегти документ "_qs));
        QVERIFY2(!raised.contains(u"/Results/"_qs), qPrintable(raised));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QFileInfo(taken).fileName()});
    } else {
        QCOMPARE(raised, QString());
        QCOMPARE(result, folder + u"/Шевченко_Т.Г._Диплом(1).doc"_qs);
        QCOMPARE(TestFiles::read(result), QByteArray("Шевченко"));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    }
    // No scratch of this run is left behind.
    QCOMPARE(TestProcesses::ourScratchFolders(), QStringList());
}

void TestDocumentGeneration::scratchLeftovers_data()
{
    QTest::addColumn<QString>("owner"); // "ended", "running" or "none"
    QTest::addColumn<bool>("removed");
    QTest::newRow("of a run that has ended") << u"ended"_qs << true;
    QTest::newRow("of a run still going") << u"running"_qs << false;
    QTest::newRow("not a scratch folder") << u"none"_qs << false;
}

// A killed run's scratch goes when the next run makes its own; another
// run's, or anything else, stays.
void TestDocumentGeneration::scratchLeftovers()
{
    QFETCH(QString, owner);
    QFETCH(bool, removed);
    // Above any process number the system gives out.
    const qint64 pid = owner == u"ended" ? 999999999 : QCoreApplication::applicationPid();
    const QString leftover = owner == u"none"
                                 ? m_dir->filePath(u"lumarel-scratch-x-1"_qs)
                                 : m_dir->filePath(u"lumarel-scratch-%1-AbC123"_qs.arg(pid));
    TestFiles::write(leftover + u"/1.doc"_qs, "напів");
    {
        const ScratchFolder scratch(m_dir->path());
        QVERIFY(QFileInfo(scratch.path()).isDir());
        QCOMPARE(QFileInfo::exists(leftover + u"/1.doc"_qs), !removed);
    }
    QCOMPARE(QFileInfo::exists(leftover), !removed);
    QCOMPARE(QDir(m_dir->path()).entryList({u"lumarel-scratch-*"_qs}, QDir::Dirs).size(), removed ? 0 : 1);
}

void TestDocumentGeneration::storeParent_data()
{
    QTest::addColumn<QString>("tmpdir");   // "disk" or empty: unset
    QTest::addColumn<QString>("runtime");  // "memory", "disk" or empty: unset
    QTest::addColumn<QString>("expected"); // "disk", "memory" or "shm"
    QTest::newRow("a temporary folder chosen is kept") << u"disk"_qs << u"memory"_qs << u"disk"_qs;
    QTest::newRow("the runtime folder in memory") << QString() << u"memory"_qs << u"memory"_qs;
    QTest::newRow("a runtime folder on disk is passed over")
        << QString() << u"disk"_qs << u"shm"_qs;
    QTest::newRow("no runtime folder") << QString() << QString() << u"shm"_qs;
}

// Finished documents wait in memory where the system has it to spare, but
// never against a temporary folder the user chose.
void TestDocumentGeneration::storeParent()
{
    QFETCH(QString, tmpdir);
    QFETCH(QString, runtime);
    QFETCH(QString, expected);
    struct Restore {
        QByteArray tmp = qgetenv("TMPDIR"), runtime = qgetenv("XDG_RUNTIME_DIR");
        ~Restore()
        {
            tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp);
            runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
        }
    } restore;
    qunsetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    if (ScratchFolder::StoreParent() != u"/dev/shm"_qs)
        QSKIP("the temporary folder is in memory already, or /dev/shm has no room");
    QTemporaryDir memory(u"/dev/shm/lumarel-test-XXXXXX"_qs);
    QVERIFY(memory.isValid());
    const QString disk = m_dir->path();
    const auto path = [&](const QString& kind) {
        return kind == u"disk"_qs ? disk : kind == u"memory"_qs ? memory.path() : u"/dev/shm"_qs;
    };
    if (!tmpdir.isEmpty())
        qputenv("TMPDIR", path(tmpdir).toUtf8());
    if (!runtime.isEmpty())
        qputenv("XDG_RUNTIME_DIR", path(runtime).toUtf8());
    QCOMPARE(ScratchFolder::StoreParent(), path(expected));
}

QTEST_GUILESS_MAIN(TestDocumentGeneration)
#include "tst_documentgeneration.moc"
