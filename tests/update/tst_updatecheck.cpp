#include "tests/update/LoopbackServer.h"
#include "records/Notifier.h"
#include "tests/update/PeBuilder.h"
#include "tests/support/TestFiles.h"
#include "update/UpdateCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace std::chrono_literals;
using Outcome = UpdateCheck::Outcome;
using Reply = LoopbackServer::Reply;

namespace {

class FakeNotifier : public Notifier {
public:
    struct Shown {
        QString text;
        Icon icon;
        bool loaderHadRun;
    };
    explicit FakeNotifier(QString mark) : m_mark(std::move(mark)) {}
    void showMessage(const QString& text, Icon icon) override
    {
        shown.append({text, icon, QFile::exists(m_mark)});
    }
    QList<Shown> shown;

private:
    QString m_mark;
};

QByteArray program(FileVersion v)
{
    return PeBuilder::build({.version = v}).bytes;
}

// A work folder with a stand-in loader that leaves its argument count and
// working directory in a mark file.
struct Work {
    QTemporaryDir dir;
    WorkDir workDir{dir.path()};
    QString mark = dir.filePath(QStringLiteral("loader-ran"));
    QString download = dir.filePath(QStringLiteral("AddInfo/Lumarel.exe"));

    Work()
    {
        const QString loader = dir.filePath(QStringLiteral("LUMA_Loader.exe"));
        const QByteArray m = QFile::encodeName(mark);
        TestFiles::write(loader, "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$(pwd)\" > '" + m + ".tmp' && mv '"
                                     + m + ".tmp' '" + m + "'\n");
        QFile::setPermissions(loader, QFile::permissions(loader) | QFile::ExeOwner | QFile::ExeUser);
    }
};

QByteArray headerValue(const QByteArray& head, const QByteArray& name)
{
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

// The files of a folder other than the given ones: what a run left behind.
QStringList strayFiles(const QString& folder, const QStringList& expected)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    for (const QString& e : expected)
        names.removeAll(e);
    return names;
}

bool hasHeader(const QByteArray& head, const QByteArray& name)
{
    for (const QByteArray& line : head.split('\n').mid(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return true;
    }
    return false;
}

} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void addressAllowed_data();
    void addressAllowed();
    void isNewer_data();
    void isNewer();
    void messages_data();
    void messages();
    void command_data();
    void command();
    void missingLoaderStillEnds();
    void existingFileIsReplaced();
    void failureLeavesExistingFile_data();
    void failureLeavesExistingFile();
    void unwritableTarget_data();
    void unwritableTarget();
    void addInfoIsCreated();
    void linkAtTarget_data();
    void linkAtTarget();
    void fullDiskKeepsOldFile();
    void requestProperties();
    void credentialsNeverSent_data();
    void credentialsNeverSent();
    void slowButSteadyDownloadSucceeds();
    void oversizedDownloadIsRefused();
};

void TestUpdateCheck::defaults()
{
    Work w;
    const UpdateCheck check(w.workDir);
    QCOMPARE(check.downloadUrl(), QUrl(QStringLiteral("https://lumarel.example.org/uploads/Lumarel.exe")));
    QCOMPARE(QFileInfo(check.downloadFile()).absoluteFilePath(), QFileInfo(w.download).absoluteFilePath());
    QCOMPARE(UpdateCheck::DefaultStallLimit, 60s);
    // Whatever the base carries, only host and port survive.
    const UpdateCheck odd(w.workDir, QUrl(QStringLiteral("https://u:p@lumarel.example.org:8443/x/y?q=1#f")));
    QCOMPARE(odd.downloadUrl(), QUrl(QStringLiteral("https://lumarel.example.org:8443/uploads/Lumarel.exe")));
}

void TestUpdateCheck::addressAllowed_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("https site") << QStringLiteral("https://lumarel.example.org/uploads/Lumarel.exe") << true;
    QTest::newRow("https loopback") << QStringLiteral("https://127.0.0.1:4443/") << true;
    QTest::newRow("http loopback v4") << QStringLiteral("http://127.0.0.1:8080/") << true;
    QTest::newRow("http loopback v6") << QStringLiteral("http://[::1]:8080/") << true;
    QTest::newRow("http localhost") << QStringLiteral("http://localhost/") << true;
    QTest::newRow("http site") << QStringLiteral("http://lumarel.example.org/uploads/Lumarel.exe") << false;
    QTest::newRow("http private address") << QStringLiteral("http://192.168.1.1/") << false;
    QTest::newRow("http host named like loopback") << QStringLiteral("http://127.0.0.1.example.org/") << false;
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/Lumarel.exe") << false;
    QTest::newRow("file") << QStringLiteral("file:///tmp/Lumarel.exe") << false;
    QTest::newRow("no host") << QStringLiteral("https:///uploads") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestUpdateCheck::addressAllowed()
{
    QFETCH(QString, url);
    QFETCH(bool, allowed);
    QCOMPARE(UpdateCheck::addressAllowed(QUrl(url)), allowed);
}

void TestUpdateCheck::isNewer_data()
{
    QTest::addColumn<FileVersion>("version");
    QTest::addColumn<bool>("newer");
    QTest::newRow("2.5.0.0") << FileVersion{2, 5, 0, 0} << false;
    QTest::newRow("2.5.3.7") << FileVersion{2, 5, 3, 7} << false;
    QTest::newRow("2.5.65535.65535") << FileVersion{2, 5, 0xFFFF, 0xFFFF} << false;
    QTest::newRow("2.4.9.9") << FileVersion{2, 4, 9, 9} << false;
    QTest::newRow("2.6.0.0") << FileVersion{2, 6, 0, 0} << true;
    QTest::newRow("2.65535") << FileVersion{2, 0xFFFF, 0, 0} << true;
    QTest::newRow("3.0.0.0") << FileVersion{3, 0, 0, 0} << true;
    QTest::newRow("65535.0") << FileVersion{0xFFFF, 0, 0, 0} << true;
    // Older, though its minor number is above 5.
    QTest::newRow("1.6.0.0") << FileVersion{1, 6, 0, 0} << false;
    QTest::newRow("1.65535") << FileVersion{1, 0xFFFF, 0, 0} << false;
    QTest::newRow("0.0.0.0") << FileVersion{0, 0, 0, 0} << false;
}

void TestUpdateCheck::isNewer()
{
    QFETCH(FileVersion, version);
    QFETCH(bool, newer);
    QCOMPARE(UpdateCheck::isNewer(version), newer);
}

void TestUpdateCheck::messages_data()
{
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("text");
    QTest::newRow("no connection") << Outcome::NoConnection << QStringLiteral("Зв`язок з інтернетом відсутній!");
    QTest::newRow("not newer") << Outcome::NotNewer
                               << QStringLiteral("Більш нова версія Програми на веб-сайті ПП \"ВЕРЕСК-ЛАБ\" відсутня...");
    QTest::newRow("no version information")
        << Outcome::NoVersionInfo
        << QStringLiteral("Завантажений файл не містить відомостей про версію. Оновлення не встановлено.");
    QTest::newRow("newer") << Outcome::Newer
                           << QStringLiteral("Завантажена нова версія Програми! Зараз її буде встановлено...");
}

void TestUpdateCheck::messages()
{
    QFETCH(Outcome, outcome);
    QFETCH(QString, text);
    QCOMPARE(UpdateCheck::message(outcome), text);
}

void TestUpdateCheck::command_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<Outcome>("expected");
    // What AddInfo/Lumarel.exe must hold afterwards; null: no file at all.
    QTest::addColumn<QByteArray>("left");

    const QByteArray v250 = program({2, 5, 0, 0});
    const QByteArray v2537 = program({2, 5, 3, 7});
    const QByteArray v260 = program({2, 6, 0, 0});
    const QByteArray v300 = program({3, 0, 0, 0});
    const QByteArray v160 = program({1, 6, 0, 0});
    const QByteArray v249 = program({2, 4, 9, 9});
    const QByteArray bare = PeBuilder::build({.hasVersion = false}).bytes;
    const QByteArray text = QByteArrayLiteral("<html><body>Сторінку не знайдено</body></html>");
    const QByteArray none;

    QTest::newRow("2.5.0.0") << LoopbackServer::file(v250) << true << Outcome::NotNewer << v250;
    QTest::newRow("2.5.3.7") << LoopbackServer::file(v2537) << true << Outcome::NotNewer << v2537;
    QTest::newRow("2.6.0.0") << LoopbackServer::file(v260) << true << Outcome::Newer << v260;
    QTest::newRow("3.0.0.0") << LoopbackServer::file(v300) << true << Outcome::Newer << v300;
    QTest::newRow("1.6.0.0 is older") << LoopbackServer::file(v160) << true << Outcome::NotNewer << v160;
    QTest::newRow("2.4.9.9") << LoopbackServer::file(v249) << true << Outcome::NotNewer << v249;
    QTest::newRow("no version resource") << LoopbackServer::file(bare) << true << Outcome::NoVersionInfo << bare;
    QTest::newRow("a web page") << LoopbackServer::file(text) << true << Outcome::NoVersionInfo << text;
    QTest::newRow("empty 200") << LoopbackServer::file(QByteArray()) << true << Outcome::NoVersionInfo
                               << QByteArray("");
    QTest::newRow("204") << LoopbackServer::status(204, "No Content") << true << Outcome::NoVersionInfo
                         << QByteArray("");
    QTest::newRow("truncated program") << LoopbackServer::file(v300.left(v300.size() - 1)) << true
                                       << Outcome::NoVersionInfo << v300.left(v300.size() - 1);
    // An error page that happens to be a newer program is still an error.
    QTest::newRow("404") << LoopbackServer::status(404, "Not Found", v300) << true << Outcome::NoConnection << none;
    QTest::newRow("500") << LoopbackServer::status(500, "Internal Server Error", v300) << true
                         << Outcome::NoConnection << none;
    QTest::newRow("503") << LoopbackServer::status(503, "Service Unavailable") << true << Outcome::NoConnection
                         << none;
    QTest::newRow("100-range status") << LoopbackServer::status(199, "Odd", v300) << true << Outcome::NoConnection
                                      << none;
    QTest::newRow("300") << LoopbackServer::status(300, "Multiple Choices", v300) << true
                         << Outcome::NoConnection << none;
    // A followed redirect would fetch the newer program at /uploads/New.exe.
    for (int code : {301, 302, 303, 307, 308}) {
        QTest::addRow("%d relative", code)
            << LoopbackServer::status(code, "Moved", QByteArray(), {"Location: /uploads/New.exe"}) << true
            << Outcome::NoConnection << none;
    }
    QTest::newRow("302 absolute")
        << LoopbackServer::status(302, "Found", QByteArray(), {"Location: http://127.0.0.1:1/uploads/New.exe"})
        << true << Outcome::NoConnection << none;
    QTest::newRow("401") << LoopbackServer::status(401, "Unauthorized", v300, {"WWW-Authenticate: Basic realm=\"x\""})
                         << true << Outcome::NoConnection << none;
    QTest::newRow("407") << LoopbackServer::status(407, "Proxy Authentication Required", v300,
                                                   {"Proxy-Authenticate: Basic realm=\"x\""})
                         << true << Outcome::NoConnection << none;

    Reply stall;
    stall.answer = false;
    QTest::newRow("stall before the answer") << stall << true << Outcome::NoConnection << none;
    Reply midway = LoopbackServer::file(v300);
    midway.sendBytes = v300.size() / 2;
    midway.closeAfter = false;
    QTest::newRow("stall halfway through") << midway << true << Outcome::NoConnection << none;
    Reply cut = midway;
    cut.closeAfter = true;
    QTest::newRow("connection cut halfway") << cut << true << Outcome::NoConnection << none;
    QTest::newRow("no server") << LoopbackServer::file(v300) << false << Outcome::NoConnection << none;
}

void TestUpdateCheck::command()
{
    QFETCH(Reply, reply);
    QFETCH(bool, serverUp);
    QFETCH(Outcome, expected);
    QFETCH(QByteArray, left);

    Work w;
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", reply);
    server.route("/uploads/New.exe", LoopbackServer::file(program({9, 0, 0, 0})));
    if (!serverUp)
        server.stop();

    UpdateCheck check(w.workDir, server.base(), 300ms);
    const Outcome outcome = check.run();
    QCOMPARE(outcome, expected);
    if (serverUp)
        QCOMPARE(server.requests.size(), 1);

    FakeNotifier notifier(w.mark);
    const bool end = ConcludeUpdate(outcome, w.workDir, notifier);
    QCOMPARE(notifier.shown.size(), 1);
    QCOMPARE(notifier.shown.at(0).text, UpdateCheck::message(expected));
    QCOMPARE(notifier.shown.at(0).icon, Notifier::Icon::Information);
    QCOMPARE(end, expected == Outcome::Newer);

    if (left.isNull()) {
        QVERIFY(!QFileInfo::exists(w.download));
    } else {
        QVERIFY(QFileInfo(w.download).isFile());
        QCOMPARE(TestFiles::read(w.download), left);
    }

    if (expected == Outcome::Newer) {
        // The loader starts only once the user has closed the message.
        QVERIFY(!notifier.shown.at(0).loaderHadRun);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(w.mark), 10000);
        QCOMPARE(TestFiles::read(w.mark),
                 "0|" + QFile::encodeName(QFileInfo(w.dir.path()).canonicalFilePath()));
    } else {
        QTest::qWait(200);
        QVERIFY(!QFileInfo::exists(w.mark));
    }
}

void TestUpdateCheck::missingLoaderStillEnds()
{
    Work w;
    QVERIFY(QFile::remove(w.workDir.filePath(QStringLiteral("LUMA_Loader.exe"))));
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", LoopbackServer::file(program({2, 6, 0, 0})));
    UpdateCheck check(w.workDir, server.base(), 300ms);
    const Outcome outcome = check.run();
    QCOMPARE(outcome, Outcome::Newer);
    FakeNotifier notifier(w.mark);
    QVERIFY(ConcludeUpdate(outcome, w.workDir, notifier));
    QCOMPARE(notifier.shown.size(), 1);
}

void TestUpdateCheck::existingFileIsReplaced()
{
    Work w;
    TestFiles::write(w.download, QByteArray(20000, 'x'));
    const QByteArray fresh = program({2, 6, 0, 0});
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", LoopbackServer::file(fresh));
    UpdateCheck check(w.workDir, server.base(), 300ms);
    QCOMPARE(check.run(), Outcome::Newer);
    // Replaced, not overwritten in place: nothing of the longer old file stays.
    QCOMPARE(TestFiles::read(w.download), fresh);
}

void TestUpdateCheck::failureLeavesExistingFile_data()
{
    QTest::addColumn<Reply>("reply");
    const QByteArray v300 = program({3, 0, 0, 0});
    QTest::newRow("404") << LoopbackServer::status(404, "Not Found", v300);
    QTest::newRow("302") << LoopbackServer::status(302, "Found", v300, {"Location: /uploads/New.exe"});
    Reply midway = LoopbackServer::file(v300);
    midway.sendBytes = 100;
    midway.closeAfter = false;
    QTest::newRow("stall halfway through") << midway;
}

void TestUpdateCheck::failureLeavesExistingFile()
{
    QFETCH(Reply, reply);
    Work w;
    const QByteArray old = program({2, 5, 0, 0});
    TestFiles::write(w.download, old);
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", reply);
    UpdateCheck check(w.workDir, server.base(), 300ms);
    QCOMPARE(check.run(), Outcome::NoConnection);
    QCOMPARE(TestFiles::read(w.download), old);
}

void TestUpdateCheck::unwritableTarget_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("Lumarel.exe is a folder") << QStringLiteral("folder");
    QTest::newRow("AddInfo is a file") << QStringLiteral("addinfo file");
    QTest::newRow("read-only Lumarel.exe") << QStringLiteral("read-only");
}

void TestUpdateCheck::unwritableTarget()
{
    QFETCH(QString, obstacle);
    Work w;
    const QByteArray old = QByteArrayLiteral("old program");
    if (obstacle == QStringLiteral("folder")) {
        QVERIFY(QDir().mkpath(w.download));
    } else if (obstacle == QStringLiteral("addinfo file")) {
        TestFiles::write(w.workDir.addInfoFolder(), old);
    } else {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0)
            QSKIP("root writes read-only files; the folder row covers the failure");
#endif
        TestFiles::write(w.download, old);
        QVERIFY(QFile::setPermissions(w.download, QFile::ReadOwner | QFile::ReadUser));
    }

    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", LoopbackServer::file(program({3, 0, 0, 0})));
    UpdateCheck check(w.workDir, server.base(), 300ms);
    const Outcome outcome = check.run();
    QCOMPARE(outcome, Outcome::NoConnection);
    QCOMPARE(server.requests.size(), 1);
    FakeNotifier notifier(w.mark);
    QVERIFY(!ConcludeUpdate(outcome, w.workDir, notifier));
    QCOMPARE(notifier.shown.at(0).text, QStringLiteral("Зв`язок з інтернетом відсутній!"));

    if (obstacle == QStringLiteral("folder"))
        QVERIFY(QFileInfo(w.download).isDir());
    else if (obstacle == QStringLiteral("addinfo file"))
        QCOMPARE(TestFiles::read(w.workDir.addInfoFolder()), old);
    else
        QCOMPARE(TestFiles::read(w.download), old);
}

void TestUpdateCheck::linkAtTarget_data()
{
    QTest::addColumn<QString>("pointsTo"); // "file", "nothing" or "folder"
    QTest::addColumn<bool>("downloadFails");
    QTest::newRow("link to a file, download fine") << QStringLiteral("file") << false;
    QTest::newRow("link to a file, download fails") << QStringLiteral("file") << true;
    QTest::newRow("link to nothing, download fine") << QStringLiteral("nothing") << false;
    QTest::newRow("link to a folder, download fine") << QStringLiteral("folder") << false;
}

void TestUpdateCheck::linkAtTarget()
{
#ifndef Q_OS_UNIX
    QSKIP("symbolic links");
#endif
    QFETCH(QString, pointsTo);
    QFETCH(bool, downloadFails);
    Work w;
    // Something the user has outside AddInfo that a link could make us overwrite.
    const QString outside = w.dir.filePath(QStringLiteral("precious/.bashrc"));
    const QByteArray precious = QByteArrayLiteral("the user's own file");
    if (pointsTo == u"file")
        TestFiles::write(outside, precious);
    else if (pointsTo == u"folder")
        QVERIFY(QDir().mkpath(outside));
    QVERIFY(QDir().mkpath(w.workDir.addInfoFolder()));
    QVERIFY(QFile::link(outside, w.download));

    const QByteArray fresh = program({2, 5, 1, 0});
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", downloadFails
                                             ? LoopbackServer::status(404, "Not Found", fresh)
                                             : LoopbackServer::file(fresh));
    UpdateCheck check(w.workDir, server.base(), 300ms);
    QCOMPARE(check.run(), downloadFails ? Outcome::NoConnection : Outcome::NotNewer);

    // The link's target is never written.
    if (pointsTo == u"file")
        QCOMPARE(TestFiles::read(outside), precious);
    else if (pointsTo == u"folder")
        QVERIFY(QFileInfo(outside).isDir());
    else
        QVERIFY(!QFileInfo::exists(outside));
    if (downloadFails) {
        QVERIFY(QFileInfo(w.download).isSymLink());
    } else {
        // The link itself gave way to the downloaded file.
        QVERIFY(!QFileInfo(w.download).isSymLink());
        QVERIFY(QFileInfo(w.download).isFile());
        QCOMPARE(TestFiles::read(w.download), fresh);
    }
    QCOMPARE(strayFiles(w.workDir.addInfoFolder(), {QStringLiteral("Lumarel.exe")}), QStringList());
}

void TestUpdateCheck::fullDiskKeepsOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("file-size limit");
#else
    Work w;
    const QByteArray old = program({2, 5, 0, 0});
    TestFiles::write(w.download, old);
    const QByteArray fresh = program({3, 0, 0, 0}) + QByteArray(256 * 1024, 'z');
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", LoopbackServer::file(fresh));
    UpdateCheck check(w.workDir, server.base(), 300ms);

    // A disk that fills up half-way: a file-size limit on the process.
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lower = saved;
    lower.rlim_cur = 64 * 1024;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &lower) == 0);
    const Outcome outcome = check.run();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(outcome, Outcome::NoConnection);
    QCOMPARE(TestFiles::read(w.download), old);
    QCOMPARE(strayFiles(w.workDir.addInfoFolder(), {QStringLiteral("Lumarel.exe")}), QStringList());
#endif
}

void TestUpdateCheck::addInfoIsCreated()
{
    Work w;
    QVERIFY(!QFileInfo::exists(w.workDir.addInfoFolder()));
    const QByteArray v = program({2, 5, 0, 0});
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", LoopbackServer::file(v));
    UpdateCheck check(w.workDir, server.base(), 300ms);
    QCOMPARE(check.run(), Outcome::NotNewer);
    QCOMPARE(TestFiles::read(w.download), v);
}

void TestUpdateCheck::requestProperties()
{
    Work w;
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", LoopbackServer::file(program({2, 5, 0, 0})));
    UpdateCheck check(w.workDir, server.base(), 300ms);
    // Two runs of one object: each is a fresh GET, nothing cached.
    QCOMPARE(check.run(), Outcome::NotNewer);
    QCOMPARE(check.run(), Outcome::NotNewer);
    QCOMPARE(server.requests.size(), 2);

    for (const QByteArray& head : std::as_const(server.requests)) {
        QCOMPARE(head.left(head.indexOf("\r\n")), QByteArrayLiteral("GET /uploads/Lumarel.exe HTTP/1.1"));
        QCOMPARE(headerValue(head, "Accept"), QByteArrayLiteral("text/html, */*"));
        QCOMPARE(headerValue(head, "User-Agent"), QByteArrayLiteral("Mozilla/3.0 (compatible; Indy Library)"));
        QCOMPARE(headerValue(head, "Host"), "127.0.0.1:" + QByteArray::number(server.port()));
        QVERIFY(!hasHeader(head, "Proxy-Authorization"));
        QVERIFY(!hasHeader(head, "Authorization"));
        QVERIFY(!hasHeader(head, "Upgrade"));
        QVERIFY(!hasHeader(head, "HTTP2-Settings"));
        QVERIFY(!hasHeader(head, "Cookie"));
    }
}

void TestUpdateCheck::credentialsNeverSent_data()
{
    QTest::addColumn<QString>("userInfo");
    QTest::newRow("plain address") << QString();
    QTest::newRow("credentials in the address") << QStringLiteral("user:secret");
}

void TestUpdateCheck::credentialsNeverSent()
{
    QFETCH(QString, userInfo);
    Work w;
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe",
                 LoopbackServer::status(401, "Unauthorized", program({3, 0, 0, 0}),
                                        {"WWW-Authenticate: Basic realm=\"Lumarel\""}));
    QUrl base = server.base();
    base.setUserInfo(userInfo);
    UpdateCheck check(w.workDir, base, 300ms);
    QCOMPARE(check.run(), Outcome::NoConnection);
    // No second try with an answer to the challenge.
    QCOMPARE(server.requests.size(), 1);
    QVERIFY(!hasHeader(server.requests.at(0), "Authorization"));
    QVERIFY(!QFileInfo::exists(w.download));
}

void TestUpdateCheck::slowButSteadyDownloadSucceeds()
{
    // Twenty pieces 100 ms apart take two seconds, twice the limit, yet
    // never stop for long: the limit is on silence, not on the whole.
    Work w;
    const QByteArray v = program({2, 6, 0, 0});
    Reply slow = LoopbackServer::file(v);
    slow.chunks = 20;
    slow.intervalMs = 100;
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", slow);
    UpdateCheck check(w.workDir, server.base(), 1000ms);
    QCOMPARE(check.run(), Outcome::Newer);
    QCOMPARE(server.chunksSent, 20);
    QCOMPARE(TestFiles::read(w.download), v);
}

void TestUpdateCheck::oversizedDownloadIsRefused()
{
    // A server announcing more than any program file is left at once, not
    // after it has filled the memory or gone quiet.
    Work w;
    Reply huge = LoopbackServer::file(QByteArray(200 * 1024, 'z'));
    huge.declaredLength = UpdateCheck::MaxDownloadSize + 1;
    huge.chunks = 200;
    huge.intervalMs = 20;
    huge.closeAfter = false;
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", huge);
    UpdateCheck check(w.workDir, server.base(), 2000ms);
    QCOMPARE(check.run(), Outcome::NoConnection);
    QVERIFY2(server.chunksSent < 200, "the whole announced body was waited for");
    QVERIFY(!QFileInfo::exists(w.download));
}

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
