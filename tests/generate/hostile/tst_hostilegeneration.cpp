#include "records/LumarelError.h"
#include "tests/generate/hostile/HelperOffice.h"
#include "tests/support/OfficeWork.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QUrl>

using HelperUno::unoProperty;

namespace {

// A folder no one may write, root included (who ignores the mode bits),
// for as long as the object lives.
class Unwritable {
public:
    explicit Unwritable(const QString& path) : m_path(path), m_root(::geteuid() == 0)
    {
        if (m_root)
            QProcess::execute(u"chattr"_qs, {u"+i"_qs, m_path});
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~Unwritable()
    {
        if (m_root)
            QProcess::execute(u"chattr"_qs, {u"-i"_qs, m_path});
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool holds() const
    {
        QFile probe(m_path + u"/probe"_qs);
        const bool written = probe.open(QIODevice::WriteOnly);
        if (written)
            probe.remove();
        return !written;
    }

private:
    QString m_path;
    bool m_root;
};

} // namespace

// Hostile templates and output folders on the real office: a clear error or
// no document, never a hang or a dialog; no office left, the template never
// written, no file overwritten.
class TestHostileGeneration : public QObject, private OfficeWork {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void templateNotAFile_data();
    void templateNotAFile();
    void resultsUnusable_data();
    void resultsUnusable();
    void brokenTemplate_data();
    void brokenTemplate();
    void protectedTemplate_data();
    void protectedTemplate();
    void tagsOutsideBody();
    void existingOutputKept();
    void profileNotWritable_data();
    void profileNotWritable();

private:
    QString writeTemplate(const QString& name, const QString& body,
                          const QString& styles = QString(), const QString& settings = QString());
    QString realDoc(const QString& name);
    QStringList folderState(const QString& folder) const;
};

void TestHostileGeneration::initTestCase()
{
    if (!LibreOfficeSession::IsInstalled())
        QSKIP("LibreOffice is not installed");
    isolate();
}

void TestHostileGeneration::init()
{
    renew(TestFiles::elementRecord());
}

void TestHostileGeneration::cleanup()
{
    QCOMPARE(ourOffices(), QList<qint64>());
}

QString TestHostileGeneration::writeTemplate(const QString& name, const QString& body,
                                             const QString& styles, const QString& settings)
{
    return putTemplate(name, TestFiles::flatDocument(settings + styles, body));
}

// A Word 97-2003 template made by the program itself from a flat one.
QString TestHostileGeneration::realDoc(const QString& name)
{
    const QString flat =
        writeTemplate(u"джерело.fodt"_qs, u"<text:p>#Прізвище# #Ім`я#</text:p>\n"_qs.repeated(200));
    const QString saved =
        GenerateDocument(context(), 1, flat, true, OutputKind::Regular).value_or(QString());
    QFile::remove(flat);
    const QString path = m_work->filePath(u"Templates/"_qs + name);
    QFile::rename(saved, path);
    return path;
}

// Names, sizes and contents of everything in a folder.
QStringList TestHostileGeneration::folderState(const QString& folder) const
{
    QStringList state;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                            QDir::System | QDir::NoDotAndDotDot))
        state << info.fileName() + u':' +
                     (info.isFile() ? QString::fromLatin1(TestFiles::read(info.filePath()).toHex())
                                    : u"dir"_qs);
    return state;
}

void TestHostileGeneration::templateNotAFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << u"folder"_qs;
    QTest::newRow("link to a folder") << u"link"_qs;
    QTest::newRow("dangling link") << u"dangling"_qs;
    QTest::newRow("empty path") << u"empty"_qs;
}

// Nothing to open: no document, and no office is started for it.
void TestHostileGeneration::templateNotAFile()
{
    QFETCH(QString, kind);
    const QString path = m_work->filePath(u"Templates/шаблон.doc"_qs);
    if (kind == u"folder")
        QVERIFY(QDir().mkpath(path));
    else if (kind == u"link")
        QVERIFY(QFile::link(m_work->filePath(u"Templates"_qs), path));
    else if (kind == u"dangling")
        QVERIFY(QFile::link(m_work->filePath(u"немає.doc"_qs), path));
    GenerationContext c = context();
    int started = 0;
    c.makeSession = [&started]() -> std::unique_ptr<DocumentSession> {
        ++started;
        return std::make_unique<LibreOfficeSession>();
    };
    QCOMPARE(GenerateDocument(c, 1, kind == u"empty" ? QString() : path, true, OutputKind::Regular),
             std::nullopt);
    QCOMPARE(started, 0);
    QVERIFY(QDir(m_work->filePath(u"Results"_qs)).isEmpty());
}

void TestHostileGeneration::resultsUnusable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message"); // the error's start; the folder's path follows
    QTest::newRow("a file") << u"file"_qs << u"Папка "_qs;
    QTest::newRow("a link to a file") << u"link to file"_qs << u"Папка "_qs;
    QTest::newRow("a dangling link") << u"dangling"_qs << u"Папка "_qs;
    QTest::newRow("missing") << u"missing"_qs << u"Папка "_qs;
}

// Results cannot take the document: a clear error, nothing written anywhere.
void TestHostileGeneration::resultsUnusable()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const QString templatePath = writeTemplate(u"t.fodt"_qs, u"<text:p>#Прізвище#</text:p>"_qs);
    const QByteArray templateBytes = TestFiles::read(templatePath);
    const QString results = m_work->filePath(u"Results"_qs);
    QVERIFY(QDir(results).removeRecursively());
    const QString other = m_work->filePath(u"інший файл"_qs);
    if (kind == u"file") {
        TestFiles::write(results, "не папка");
    } else if (kind == u"link to file") {
        TestFiles::write(other, "не папка");
        QVERIFY(QFile::link(other, results));
    } else if (kind == u"dangling") {
        QVERIFY(QFile::link(m_work->filePath(u"немає"_qs), results));
    }
    const QStringList before = folderState(m_work->path());
    try {
        GenerateDocument(context(), 1, templatePath, true, OutputKind::Regular);
        QFAIL("no error");
    } catch (const LumarelError& e) {
        QVERIFY2(e.text().startsWith(message + results), qPrintable(e.text()));
        QVERIFY2(e.text().endsWith(u" не існує"_qs), qPrintable(e.text()));
    }
    QCOMPARE(folderState(m_work->path()), before);
    QCOMPARE(TestFiles::read(templatePath), templateBytes);
}

void TestHostileGeneration::brokenTemplate_data()
{
    QTest::addColumn<QString>("kind");
    // "open": the open error; "error": any error; "none": no document
    QTest::addColumn<QString>("outcome");
    // Taken for plain text; the one search finds no tag in it.
    QTest::newRow("random bytes") << u"random"_qs << u"none"_qs;
    // Opens as an empty document: no "#Прізвище#", so nothing is saved.
    QTest::newRow("zero bytes") << u"empty"_qs << u"none"_qs;
    QTest::newRow("compound file header only") << u"header"_qs << u"open"_qs;
    QTest::newRow("real .doc cut to half") << u"half"_qs << u"open"_qs;
    QTest::newRow("real .doc cut to 4 KB") << u"4k"_qs << u"open"_qs;
    QTest::newRow("ZIP of garbage") << u"zip"_qs << u"open"_qs;
}

void TestHostileGeneration::brokenTemplate()
{
    QFETCH(QString, kind);
    QFETCH(QString, outcome);
    const QString path = m_work->filePath(u"Templates/зіпсований.doc"_qs);
    QByteArray bytes;
    if (kind == u"random") {
        QRandomGenerator random(9);
        bytes.resize(64 * 1024);
        for (char& c : bytes)
            c = static_cast<char>(random.bounded(256));
    } else if (kind == u"header") {
        bytes = QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(504, '\0');
    } else if (kind == u"half" || kind == u"4k") {
        const QString real = realDoc(u"справжній.doc"_qs);
        bytes = TestFiles::read(real);
        QFile::remove(real);
        QVERIFY(bytes.size() > 8192);
        bytes.truncate(kind == u"half" ? bytes.size() / 2 : 4096);
    } else if (kind == u"zip") {
        bytes = QByteArray("PK\x03\x04", 4) + QByteArray(2000, 'x');
    }
    TestFiles::write(path, bytes);
    const QStringList results = folderState(m_work->filePath(u"Results"_qs));
    QString produced;
    QString error;
    try {
        produced =
            GenerateDocument(context(), 1, path, true, OutputKind::Regular).value_or(QString());
    } catch (const LumarelError& e) {
        error = e.text();
    }
    QCOMPARE(produced, QString());
    if (outcome == u"open")
        QCOMPARE(error, u"Не вдалося відкрити шаблон "_qs + path);
    else if (outcome == u"error")
        QVERIFY(!error.isEmpty());
    else
        QCOMPARE(error, QString());
    QCOMPARE(TestFiles::read(path), bytes);
    QCOMPARE(folderState(m_work->filePath(u"Results"_qs)), results);
}

void TestHostileGeneration::protectedTemplate_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("opens");
    // No interaction handler: the hidden load refuses instead of asking.
    QTest::newRow("password .doc") << u"doc"_qs << false;
    QTest::newRow("password .odt") << u"odt"_qs << false;
    // Opened for editing all the same: only the copy is ever changed.
    QTest::newRow("read-only recommended") << u"readonly"_qs << true;
}

void TestHostileGeneration::protectedTemplate()
{
    QFETCH(QString, kind);
    QFETCH(bool, opens);
    QString path;
    if (kind == u"readonly") {
        path = writeTemplate(
            u"лише читання.fodt"_qs, u"<text:p>#Прізвище#</text:p>"_qs, QString(),
            u"<office:settings><config:config-item-set config:name=\"ooo:configuration-settings\">"
            u"<config:config-item config:name=\"LoadReadonly\" config:type=\"boolean\">true"
            u"</config:config-item></config:config-item-set></office:settings>\n"_qs);
    } else {
        const QString flat = m_work->filePath(u"plain.fodt"_qs);
        TestFiles::write(
            flat, TestFiles::read(writeTemplate(u"x.fodt"_qs, u"<text:p>#Прізвище#</text:p>"_qs)));
        QFile::remove(m_work->filePath(u"Templates/x.fodt"_qs));
        path = m_work->filePath(u"Templates/пароль."_qs + kind);
        HelperOffice helper(m_cache.filePath(u"helper-profile"_qs));
        helper.start();
        helper.convert(flat, path, kind == u"doc" ? "MS Word 97" : "writer8",
                       {unoProperty("Password", css::uno::Any(rtl::OUString("secret")))});
        helper.stop();
        QVERIFY(QFileInfo::exists(path));
    }
    const QByteArray bytes = TestFiles::read(path);
    QString produced;
    QString error;
    try {
        produced =
            GenerateDocument(context(), 1, path, true, OutputKind::Regular).value_or(QString());
    } catch (const LumarelError& e) {
        error = e.text();
    }
    if (opens) {
        QCOMPARE(error, QString());
        QVERIFY(QFileInfo(produced).isFile());
    } else {
        QCOMPARE(error, u"Не вдалося відкрити шаблон "_qs + path);
        QVERIFY(QDir(m_work->filePath(u"Results"_qs)).isEmpty());
    }
    QCOMPARE(TestFiles::read(path), bytes);
}

// Tags are replaced wherever the office's search reaches: body, tables,
// headers, footers and text frames alike.
void TestHostileGeneration::tagsOutsideBody()
{
    const QString styles =
        u"<office:automatic-styles><style:page-layout style:name=\"pm1\">"
        u"<style:page-layout-properties fo:page-width=\"21cm\" fo:page-height=\"29.7cm\"/>"
        u"</style:page-layout></office:automatic-styles>\n"
        u"<office:master-styles><style:master-page style:name=\"Standard\" "
        u"style:page-layout-name=\"pm1\">"
        u"<style:header><text:p>верх #ВНЗ#</text:p></style:header>"
        u"<style:footer><text:p>низ #ВНЗ#</text:p></style:footer>"
        u"</style:master-page></office:master-styles>\n"_qs;
    const QString body =
        u"<text:p>#Прізвище#</text:p>\n"
        u"<text:p><draw:frame draw:name=\"F\" text:anchor-type=\"paragraph\" svg:width=\"8cm\" "
        u"svg:height=\"2cm\"><draw:text-box><text:p>рамка #ВНЗ#</text:p></draw:text-box>"
        u"</draw:frame>тіло</text:p>\n"_qs;
    const QString templatePath = writeTemplate(u"t.fodt"_qs, body, styles);
    const QByteArray templateBytes = TestFiles::read(templatePath);
    const QString saved =
        GenerateDocument(context(), 1, templatePath, true, OutputKind::Regular).value_or(QString());
    QVERIFY(QFileInfo(saved).isFile());
    QCOMPARE(TestFiles::read(templatePath), templateBytes);

    const QString html = m_work->filePath(u"saved.html"_qs);
    HelperOffice helper(m_cache.filePath(u"helper-profile"_qs));
    helper.start();
    helper.convert(saved, html, "HTML (StarWriter)");
    helper.stop();
    const QString text = QString::fromUtf8(TestFiles::read(html));
    for (const QString& expected :
         {u"Косач"_qs, u"верх Львівський університет"_qs, u"низ Львівський університет"_qs,
          u"рамка Львівський університет"_qs})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_qs + text));
    QVERIFY2(!text.contains(u"#ВНЗ#"_qs), qPrintable(text));
}

// Every name the document could take is in use already: a new one is found,
// and the existing files keep their bytes.
void TestHostileGeneration::existingOutputKept()
{
    const QString templatePath = writeTemplate(u"t.fodt"_qs, u"<text:p>#Прізвище#</text:p>"_qs);
    const QString results = m_work->filePath(u"Results"_qs);
    const QString first =
        BuildOutputPath(results, m_store.Record(1).DisplayName, OutputKind::Regular);
    TestFiles::write(first, "мій файл");
    const QString second =
        BuildOutputPath(results, m_store.Record(1).DisplayName, OutputKind::Regular);
    // A link to nothing takes its name too: the office would write through it.
    QVERIFY(QFile::link(m_work->filePath(u"ціль"_qs), second));
    const QString saved =
        GenerateDocument(context(), 1, templatePath, true, OutputKind::Regular).value_or(QString());
    QVERIFY(saved != first && saved != second);
    QVERIFY(saved.endsWith(u"_Диплом(2).doc"_qs));
    QCOMPARE(TestFiles::read(first), QByteArray("мій файл"));
    QVERIFY(!QFileInfo::exists(m_work->filePath(u"ціль"_qs)));
    QVERIFY(QFileInfo(saved).isFile());
}

void TestHostileGeneration::profileNotWritable_data()
{
    QTest::addColumn<QString>("blocked"); // under the cache folder
    QTest::addColumn<QString>("message"); // %1: the folder's path
    const QString profile =
        u"Профіль LibreOffice не можна змінити: Папка %1 недоступна для запису"_qs;
    QTest::newRow("the profile") << u"lumarel/office-profile-0"_qs << profile;
    QTest::newRow("its user folder") << u"lumarel/office-profile-0/user"_qs << profile;
    // Else every profile would look taken.
    QTest::newRow("the folder of the profiles")
        << u"lumarel"_qs << u"Папка %1 недоступна для запису"_qs;
}

// A profile the office could not write: the error names the folder, rather
// than the office dying at its start for no reason given.
void TestHostileGeneration::profileNotWritable()
{
    QFETCH(QString, blocked);
    QFETCH(QString, message);
    {
        LibreOfficeSession first;
        first.start(true);
        first.quit();
    }
    const QString path = m_cache.filePath(blocked);
    QVERIFY(QFileInfo(path).isDir());
    const Unwritable guard(path);
    if (!guard.holds())
        QSKIP("this file system lets the folder be written");
    const QString templatePath = writeTemplate(u"t.fodt"_qs, u"<text:p>#Прізвище#</text:p>"_qs);
    QString error;
    try {
        GenerateDocument(context(), 1, templatePath, true, OutputKind::Regular);
    } catch (const LumarelError& e) {
        error = e.text();
    }
    QCOMPARE(error, message.arg(path));
}

QTEST_GUILESS_MAIN(TestHostileGeneration)
#include "tst_hostilegeneration.moc"
