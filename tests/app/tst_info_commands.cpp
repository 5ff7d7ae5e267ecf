// Help, price list, web link and the update check as the windows run them.
#include "tests/support/FakeOpener.h"
#include "tests/support/GuiFixture.h"
#include "tests/update/LoopbackServer.h"
#include "tests/update/PeBuilder.h"
#include "windows/ui/ShellOpen.h"
#include "app/UStatyLUMA.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

using Reply = LoopbackServer::Reply;

namespace {

const QString HelpMissing = QStringLiteral("Файл довідки не знайдено! ");
const QString NoConnection = QStringLiteral("Зв`язок з інтернетом відсутній!");
const QString NotNewer =
    QStringLiteral("Більш нова версія Програми на веб-сайті ПП \"ВЕРЕСК-ЛАБ\" відсутня...");
const QString Newer = QStringLiteral("Завантажена нова версія Програми! Зараз її буде встановлено...");
const QString NoVersion =
    QStringLiteral("Завантажений файл не містить відомостей про версію. Оновлення не встановлено.");

QString canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

QByteArray embeddedPrice()
{
    QFile f(QStringLiteral(":/sometype/Price"));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("no embedded price list");
    return f.readAll();
}

QByteArray program(FileVersion v)
{
    return PeBuilder::build({.version = v}).bytes;
}

// A stand-in loader in the work folder that leaves a mark when started.
QString installLoader(const GuiFixture& f)
{
    const QString mark = f.path(QStringLiteral("loader-ran"));
    const QString loader = f.path(QStringLiteral("LUMA_Loader.exe"));
    TestFiles::write(loader, "#!/bin/sh\n: > '" + QFile::encodeName(mark) + "'\n");
    QFile::setPermissions(loader, QFile::permissions(loader) | QFile::ExeOwner | QFile::ExeUser);
    return mark;
}

TFStartLUMA* readyStartWindow(GuiFixture& f, TFStartLUMA& start)
{
    start.SetMainWindow(f.window.get());
    start.show();
    start.findChild<QTimer*>(QStringLiteral("Ts"))->stop();
    return &start;
}

} // namespace

class TestInfoCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void help_data();
    void help();
    void f1InTheMainWindow_data();
    void f1InTheMainWindow();
    void helpFromTheStartWindowBeforeTheMainWindow();
    void priceListWrittenEveryTime();
    void priceListFailureOpensNothing_data();
    void priceListFailureOpensNothing();
    void priceListFromTheStartWindowCreatesAddInfo();
    void webLinkPassesTheText_data();
    void webLinkPassesTheText();
    void addressGivenToTheDesktop_data();
    void addressGivenToTheDesktop();
    void desktopCannotOpen_data();
    void desktopCannotOpen();
    void openerOutcome_data();
    void openerOutcome();
    void openerVerdictComesLater_data();
    void openerVerdictComesLater();
    void realOpenerWithNothingToOpen_data();
    void realOpenerWithNothingToOpen();
    void updateCheck_data();
    void updateCheck();
    void newerVersionEndsTheProgram();
};

void TestInfoCommands::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestInfoCommands::help_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("found");
    QTest::newRow("in the work folder") << QStringLiteral("work") << true;
    QTest::newRow("nowhere") << QStringLiteral("none") << false;
    QTest::newRow("a folder of that name") << QStringLiteral("folder") << false;
    QTest::newRow("only in AddInfo") << QStringLiteral("addinfo") << false;
    // WorkDir was captured when the window was made; a later current
    // folder does not count.
    QTest::newRow("only in a later current folder") << QStringLiteral("later") << false;
}

void TestInfoCommands::help()
{
    QFETCH(QString, where);
    QFETCH(bool, found);
    GuiFixture f;
    QTemporaryDir elsewhere;
    const QString file = f.path(QStringLiteral("Lumarel.pdf"));
    if (where == QLatin1String("work")) {
        TestFiles::write(file, "%PDF-1.4\n");
    } else if (where == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(file));
    } else if (where == QLatin1String("addinfo")) {
        TestFiles::write(f.path(QStringLiteral("AddInfo/Lumarel.pdf")), "%PDF-1.4\n");
    } else if (where == QLatin1String("later")) {
        TestFiles::write(elsewhere.filePath(QStringLiteral("Lumarel.pdf")), "%PDF-1.4\n");
        QDir::setCurrent(elsewhere.path());
    }
    f.window->show();
    QSignalSpy help(f.window.get(), &TFLUMA::helpCommandStarted);
    f.find<QAction>("N6")->trigger();
    QCOMPARE(help.count(), 1);
    if (found) {
        QVERIFY(f.boxes.isEmpty());
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(canonical(f.opened.at(0)), canonical(file));
    } else {
        QVERIFY(f.opened.isEmpty());
        QCOMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::Plain);
        QCOMPARE(f.boxes.at(0).text, HelpMissing);
    }
    QVERIFY(f.window->isVisible());
}

void TestInfoCommands::f1InTheMainWindow_data()
{
    QTest::addColumn<bool>("present");
    QTest::newRow("help absent") << false;
    QTest::newRow("help present") << true;
}

void TestInfoCommands::f1InTheMainWindow()
{
    QFETCH(bool, present);
    GuiFixture f;
    if (present)
        TestFiles::write(f.path(QStringLiteral("Lumarel.pdf")), "%PDF-1.4\n");
    f.window->show();
    QTest::keyClick(f.window.get(), Qt::Key_F1);
    if (present) {
        QVERIFY(f.boxes.isEmpty());
        QCOMPARE(f.opened.size(), 1);
    } else {
        QCOMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes.at(0).text, HelpMissing);
        QVERIFY(f.opened.isEmpty());
    }
    QVERIFY(f.window->isVisible());
}

void TestInfoCommands::helpFromTheStartWindowBeforeTheMainWindow()
{
    GuiFixture f;
    TFStartLUMA start;
    readyStartWindow(f, start);
    start.findChild<QPushButton*>(QStringLiteral("BB1"))->click();
    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).text, HelpMissing);
    QVERIFY(!f.window->isVisible());
    QVERIFY(start.isVisible());
}

void TestInfoCommands::priceListWrittenEveryTime()
{
    GuiFixture f;
    f.window->show();
    const QString file = f.path(QStringLiteral("AddInfo/Price34_2015.pdf"));
    auto* b7 = f.find<QPushButton>("B7");
    b7->click();
    QCOMPARE(TestFiles::read(file), embeddedPrice());
    // A copy the user spoiled is written afresh.
    TestFiles::write(file, "spoiled");
    b7->click();
    QCOMPARE(TestFiles::read(file), embeddedPrice());
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(f.opened.size(), 2);
    for (const QString& opened : std::as_const(f.opened))
        QCOMPARE(canonical(opened), canonical(file));
}

void TestInfoCommands::priceListFailureOpensNothing_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("a folder where the file goes") << QStringLiteral("AddInfo/Price34_2015.pdf/");
    QTest::newRow("a file where AddInfo goes") << QStringLiteral("AddInfo");
}

void TestInfoCommands::priceListFailureOpensNothing()
{
    QFETCH(QString, obstacle);
    GuiFixture f;
    if (obstacle.endsWith(u'/'))
        QVERIFY(QDir().mkpath(f.path(obstacle)));
    else
        TestFiles::write(f.path(obstacle), "mine");
    f.find<QPushButton>("B7")->click();
    QVERIFY(f.opened.isEmpty());
    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::AppError);
    QVERIFY(!f.boxes.at(0).text.isEmpty());
    // What was there stays.
    if (obstacle.endsWith(u'/'))
        QVERIFY(QFileInfo(f.path(obstacle)).isDir());
    else
        QCOMPARE(TestFiles::read(f.path(obstacle)), QByteArray("mine"));
}

void TestInfoCommands::priceListFromTheStartWindowCreatesAddInfo()
{
    GuiFixture f;
    TFStartLUMA start;
    readyStartWindow(f, start);
    QVERIFY(!QFileInfo::exists(f.path(QStringLiteral("AddInfo"))));
    start.findChild<QPushButton*>(QStringLiteral("B3"))->click();
    const QString file = f.path(QStringLiteral("AddInfo/Price34_2015.pdf"));
    QCOMPARE(TestFiles::read(file), embeddedPrice());
    QCOMPARE(f.opened.size(), 1);
    QCOMPARE(canonical(f.opened.at(0)), canonical(file));
    QVERIFY(f.boxes.isEmpty());
    QVERIFY(!f.window->isVisible());
}

void TestInfoCommands::webLinkPassesTheText_data()
{
    QTest::addColumn<QString>("from");
    QTest::newRow("L2") << QStringLiteral("L2");
    QTest::newRow("start window B2") << QStringLiteral("B2");
}

void TestInfoCommands::webLinkPassesTheText()
{
    QFETCH(QString, from);
    GuiFixture f;
    TFStartLUMA start;
    if (from == QLatin1String("L2")) {
        f.window->show();
        QTest::mouseClick(f.find<QLabel>("L2"), Qt::LeftButton);
    } else {
        readyStartWindow(f, start);
        start.findChild<QPushButton*>(from)->click();
    }
    QCOMPARE(f.opened, QStringList{QStringLiteral("https://lumarel.example.org ")});
    QVERIFY(f.boxes.isEmpty());
}

void TestInfoCommands::addressGivenToTheDesktop_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QUrl>("url");
    // The trailing space makes the host name invalid here; only then it goes.
    QTest::newRow("L2 with its space") << QStringLiteral("https://lumarel.example.org ")
                                       << QUrl(QStringLiteral("https://lumarel.example.org"));
    QTest::newRow("plain") << QStringLiteral("https://lumarel.example.org/")
                           << QUrl(QStringLiteral("https://lumarel.example.org/"));
    QTest::newRow("a space inside a valid address is kept")
        << QStringLiteral("https://lumarel.example.org/a b")
        << QUrl(QStringLiteral("https://lumarel.example.org/a%20b"));
}

void TestInfoCommands::addressGivenToTheDesktop()
{
    QFETCH(QString, text);
    QFETCH(QUrl, url);
    const QUrl given = ShellOpen::addressUrl(text);
    QVERIFY(given.isValid());
    QCOMPARE(given, url);
}

void TestInfoCommands::desktopCannotOpen_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("desktopOpens");
    QTest::addColumn<QString>("what"); // a file under the work folder, or an address
    const QString help = QStringLiteral("Lumarel.pdf");
    const QString price = QStringLiteral("AddInfo/Price34_2015.pdf");
    const QString site = QStringLiteral("https://lumarel.example.org");
    QTest::newRow("help, no launcher") << QStringLiteral("N6") << false << help;
    QTest::newRow("help opened") << QStringLiteral("N6") << true << help;
    QTest::newRow("start window help") << QStringLiteral("BB1") << false << help;
    QTest::newRow("price list, no launcher") << QStringLiteral("B7") << false << price;
    QTest::newRow("price list opened") << QStringLiteral("B7") << true << price;
    QTest::newRow("start window price list") << QStringLiteral("B3") << false << price;
    QTest::newRow("web link, no browser") << QStringLiteral("L2") << false << site;
    QTest::newRow("web link opened") << QStringLiteral("L2") << true << site;
    QTest::newRow("start window web link") << QStringLiteral("B2") << false << site;
}

// A desktop that cannot open something must not look like success: the box
// names the full path or the address, so the user can open it by hand.
void TestInfoCommands::desktopCannotOpen()
{
    QFETCH(QString, from);
    QFETCH(bool, desktopOpens);
    QFETCH(QString, what);
    GuiFixture f;
    ShellOpen::clearRecorder();
    QList<QUrl> asked;
    ShellOpen::setDesktop([&](const QUrl& url) {
        asked.append(url);
        return desktopOpens;
    });
    struct Restore {
        ~Restore() { ShellOpen::clearDesktop(); }
    } restore;
    TestFiles::write(f.path(QStringLiteral("Lumarel.pdf")), "%PDF-1.4\n");
    TFStartLUMA start;
    if (from.startsWith(u'B') && from != u"B7") {
        readyStartWindow(f, start);
        start.findChild<QPushButton*>(from)->click();
    } else {
        f.window->show();
        if (from == u"N6")
            f.find<QAction>("N6")->trigger();
        else if (from == u"B7")
            f.find<QPushButton>("B7")->click();
        else
            QTest::mouseClick(f.find<QLabel>("L2"), Qt::LeftButton);
    }
    const bool isFile = !what.startsWith(u"https:");
    const QString full = QDir::toNativeSeparators(f.path(what));
    QCOMPARE(asked.size(), 1);
    if (isFile) {
        QVERIFY(asked.at(0).isLocalFile());
        QCOMPARE(canonical(asked.at(0).toLocalFile()), canonical(f.path(what)));
    } else {
        QCOMPARE(asked.at(0), QUrl(what));
    }
    if (desktopOpens) {
        QVERIFY(f.boxes.isEmpty());
        return;
    }
    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::Plain);
    const QString text = f.boxes.at(0).text;
    QCOMPARE(text, isFile ? ShellOpen::fileNotOpenedText(f.path(what))
                          : ShellOpen::addressNotOpenedText(what + u' '));
    QVERIFY2(text.contains(isFile ? full : what + u'\n'), qPrintable(text));
    QVERIFY(text.startsWith(QStringLiteral("Не вдалося відкрити ")));
}

void TestInfoCommands::openerOutcome_data()
{
    QTest::addColumn<bool>("normalExit");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("outcome");
    using O = ShellOpen::Outcome;
    QTest::newRow("opened") << true << 0 << int(O::Opened);
    QTest::newRow("file missing") << true << 2 << int(O::NotOpened);
    QTest::newRow("no method available") << true << 3 << int(O::NotOpened);
    QTest::newRow("the viewer failed") << true << 4 << int(O::NotOpened);
    QTest::newRow("killed") << false << 9 << int(O::Unknown);
    QTest::newRow("killed after success") << false << 0 << int(O::Unknown);
}

void TestInfoCommands::openerOutcome()
{
    QFETCH(bool, normalExit);
    QFETCH(int, code);
    QFETCH(int, outcome);
    QCOMPARE(int(ShellOpen::outcomeOf(normalExit, code)), outcome);
}

namespace {
// Runs an information command as the user does: N6, B7, or a click on L2.
void runCommand(GuiFixture& f, const QString& from)
{
    f.window->show();
    if (from == u"N6")
        f.find<QAction>("N6")->trigger();
    else if (from == u"B7")
        f.find<QPushButton>("B7")->click();
    else
        QTest::mouseClick(f.find<QLabel>("L2"), Qt::LeftButton);
}

} // namespace

void TestInfoCommands::openerVerdictComesLater_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("status"); // -1: no opener program at all
    QTest::addColumn<bool>("said");
    QTest::newRow("help, nothing to open it") << u"N6"_qs << 3 << true;
    QTest::newRow("help opened") << u"N6"_qs << 0 << false;
    QTest::newRow("help, the viewer failed") << u"N6"_qs << 4 << true;
    QTest::newRow("price list, nothing to open it") << u"B7"_qs << 3 << true;
    QTest::newRow("price list opened") << u"B7"_qs << 0 << false;
    QTest::newRow("web link, no browser") << u"L2"_qs << 3 << true;
    QTest::newRow("web link opened") << u"L2"_qs << 0 << false;
    QTest::newRow("no opener installed") << u"N6"_qs << -1 << true;
}

// The opener runs on its own: the command returns at once, and what the
// opener says at its end decides the message.
void TestInfoCommands::openerVerdictComesLater()
{
    QFETCH(QString, from);
    QFETCH(int, status);
    QFETCH(bool, said);
    GuiFixture f;
    ShellOpen::clearRecorder();
    TestFiles::write(f.path(QStringLiteral("Lumarel.pdf")), "%PDF-1.4\n");
    FakeOpener opener(f.dir.path(), std::max(status, 0));
    TestFiles::write(opener.hold(), "");
    if (status < 0)
        ShellOpen::setOpener(f.path(QStringLiteral("no-such-opener")));
    runCommand(f, from);
    const bool isFile = from != u"L2";
    const QString what = from == u"N6"   ? f.path(QStringLiteral("Lumarel.pdf"))
                         : from == u"B7" ? f.path(QStringLiteral("AddInfo/Price34_2015.pdf"))
                                         : QStringLiteral("https://lumarel.example.org");
    if (status >= 0) {
        // Asked with the full path or the address, and still running.
        QTRY_COMPARE(opener.asked(), what.toUtf8() + '\n');
        QVERIFY(f.boxes.isEmpty());
        QVERIFY(QFile::remove(opener.hold()));
    }
    const QString expected =
        isFile ? ShellOpen::fileNotOpenedText(what) : ShellOpen::addressNotOpenedText(what + u' ');
    if (said) {
        QTRY_COMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::Plain);
        QCOMPARE(f.boxes.at(0).text, expected);
    } else {
        // Long enough for the end to be heard; nothing may be said.
        QTRY_VERIFY(f.window->findChildren<QProcess*>().isEmpty() &&
                    QCoreApplication::instance()->findChildren<QProcess*>().isEmpty());
        QCoreApplication::processEvents();
        QVERIFY(f.boxes.isEmpty());
    }
}

void TestInfoCommands::realOpenerWithNothingToOpen_data()
{
    QTest::addColumn<QString>("from");
    QTest::newRow("help") << u"N6"_qs;
    QTest::newRow("price list") << u"B7"_qs;
    QTest::newRow("web link") << u"L2"_qs;
}

// This machine's xdg-open with no PDF viewer and no browser, as a desktop
// without them is: the user is told, with the path or the address.
void TestInfoCommands::realOpenerWithNothingToOpen()
{
    QFETCH(QString, from);
    // The plain desktop, where xdg-open looks for the programs itself.
    for (const char* name : {"BROWSER", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                             "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
        qunsetenv(name);
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        QSKIP("no xdg-open");
    for (const char* type : {"application/pdf", "x-scheme-handler/https"}) {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                                 QString::fromLatin1(type)});
        QVERIFY(query.waitForFinished(20000));
        if (!query.readAllStandardOutput().trimmed().isEmpty())
            QSKIP("something here opens PDF files or web addresses");
    }
    for (const char* program :
         {"x-www-browser", "www-browser", "firefox", "chromium", "links2", "elinks", "links",
          "lynx", "w3m", "run-mailcap", "mimeopen", "epiphany", "konqueror", "google-chrome"}) {
        if (!QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            QSKIP("a browser or viewer is installed here");
    }
    GuiFixture f;
    ShellOpen::clearRecorder();
    TestFiles::write(f.path(QStringLiteral("Lumarel.pdf")), "%PDF-1.4\n%%EOF\n");
    runCommand(f, from);
    QTRY_COMPARE_WITH_TIMEOUT(f.boxes.size(), 1, 30000);
    const QString text = f.boxes.at(0).text;
    if (from == u"L2") {
        QCOMPARE(text, ShellOpen::addressNotOpenedText(u"https://lumarel.example.org"_qs));
    } else {
        const QString file = from == u"N6" ? u"Lumarel.pdf"_qs : u"AddInfo/Price34_2015.pdf"_qs;
        QCOMPARE(text, ShellOpen::fileNotOpenedText(f.path(file)));
    }
}

void TestInfoCommands::updateCheck_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<bool>("folderInTheWay");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("ends");

    const Reply v300 = LoopbackServer::file(program({3, 0, 0, 0}));
    QTest::newRow("2.6.0.0") << LoopbackServer::file(program({2, 6, 0, 0})) << true << false << Newer
                             << true;
    QTest::newRow("3.0.0.0") << v300 << true << false << Newer << true;
    QTest::newRow("2.5.0.0") << LoopbackServer::file(program({2, 5, 0, 0})) << true << false
                             << NotNewer << false;
    QTest::newRow("2.5.3.7") << LoopbackServer::file(program({2, 5, 3, 7})) << true << false
                             << NotNewer << false;
    QTest::newRow("1.6.0.0 is older") << LoopbackServer::file(program({1, 6, 0, 0})) << true << false
                                      << NotNewer << false;
    QTest::newRow("no version resource")
        << LoopbackServer::file(PeBuilder::build({.hasVersion = false}).bytes) << true << false
        << NoVersion << false;
    QTest::newRow("404") << LoopbackServer::status(404, "Not Found", program({3, 0, 0, 0})) << true
                         << false << NoConnection << false;
    QTest::newRow("302") << LoopbackServer::status(302, "Found", QByteArray(),
                                                   {"Location: /uploads/New.exe"})
                         << true << false << NoConnection << false;
    QTest::newRow("no server") << v300 << false << false << NoConnection << false;
    QTest::newRow("a folder where the download goes") << v300 << true << true << NoConnection << false;
}

void TestInfoCommands::updateCheck()
{
    QFETCH(Reply, reply);
    QFETCH(bool, serverUp);
    QFETCH(bool, folderInTheWay);
    QFETCH(QString, message);
    QFETCH(bool, ends);

    GuiFixture f;
    const QString mark = installLoader(f);
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", reply);
    server.route("/uploads/New.exe", LoopbackServer::file(program({9, 0, 0, 0})));
    const QUrl base = server.base();
    if (!serverUp)
        server.stop();
    if (folderInTheWay)
        QVERIFY(QDir().mkpath(f.path(QStringLiteral("AddInfo/Lumarel.exe"))));
    f.window->setUpdateBaseUrl(base);
    f.window->show();
    QSignalSpy closed(f.window.get(), &TFLUMA::closed);
    auto* b9 = f.find<QPushButton>("B9");

    // What the user sees while the download runs, and when the message shows.
    bool watched = false;
    Qt::CursorShape b9During = Qt::ArrowCursor;
    const QCursor* overrideDuring = nullptr;
    QTimer watch;
    watch.setSingleShot(true);
    connect(&watch, &QTimer::timeout, this, [&] {
        watched = true;
        b9During = b9->cursor().shape();
        overrideDuring = QApplication::overrideCursor();
        if (overrideDuring)
            QCOMPARE(overrideDuring->shape(), Qt::WaitCursor);
    });
    QList<Qt::CursorShape> b9AtMessage;
    QList<bool> overrideAtMessage;
    QList<bool> loaderAtMessage;
    MessageBoxes::setRecorder([&](const MessageBoxes::Shown& s) {
        f.boxes.append(s);
        b9AtMessage.append(b9->cursor().shape());
        overrideAtMessage.append(QApplication::overrideCursor() != nullptr);
        loaderAtMessage.append(QFileInfo::exists(mark));
    });
    watch.start(0);
    b9->click();

    QVERIFY(watched);
    QCOMPARE(b9During, Qt::WaitCursor);
    QVERIFY(overrideDuring);
    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::Plain);
    QCOMPARE(f.boxes.at(0).text, message);
    QCOMPARE(b9AtMessage.at(0), Qt::PointingHandCursor);
    QVERIFY(!overrideAtMessage.at(0));
    QVERIFY(!loaderAtMessage.at(0));
    QCOMPARE(b9->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!QApplication::overrideCursor());
    if (serverUp && !folderInTheWay)
        QCOMPARE(server.requests.size(), 1);

    QCOMPARE(closed.count(), ends ? 1 : 0);
    QCOMPARE(f.window->isVisible(), !ends);
    if (ends)
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(mark), 10000);
    else
        QVERIFY(!QFileInfo::exists(mark));
    if (folderInTheWay)
        QVERIFY(QFileInfo(f.path(QStringLiteral("AddInfo/Lumarel.exe"))).isDir());
}

// The whole program: start window, main window shown modally, a newer
// download; the main window closes, then the start window, and the loader
// runs.
void TestInfoCommands::newerVersionEndsTheProgram()
{
    GuiFixture f;
    const QString mark = installLoader(f);
    LoopbackServer server;
    QVERIFY(server.start());
    server.route("/uploads/Lumarel.exe", LoopbackServer::file(program({2, 6, 0, 0})));
    f.window->setUpdateBaseUrl(server.base());
    TFStartLUMA start;
    readyStartWindow(f, start);
    for (int i = 0; i < 10; ++i)
        start.TsTimer();

    bool stillOpen = false;
    QTimer press;
    press.setSingleShot(true);
    connect(&press, &QTimer::timeout, this, [&] {
        f.find<QPushButton>("B9")->click();
        // Never leave the modal run hanging when the command failed to end it.
        stillOpen = f.window->isVisible();
        if (stillOpen)
            f.window->close();
    });
    press.start(0);
    start.findChild<QPushButton*>(QStringLiteral("Bstart"))->click();

    QVERIFY(!stillOpen);
    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).text, Newer);
    QVERIFY(!f.window->isVisible());
    QVERIFY(!start.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(mark), 10000);
}

QTEST_MAIN(TestInfoCommands)
#include "tst_info_commands.moc"
