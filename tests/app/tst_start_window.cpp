// The start window: countdown, links, and the hand-over to the main window.
#include "tests/support/GuiFixture.h"
#include "app/UStatyLUMA.h"

#include <QSignalSpy>
#include <QTimer>

class TestStartWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void looks();
    void texts_data();
    void texts();
    void timerStartsWhenShown();
    void countdown();
    void bstartTextIsTeal_data();
    void bstartTextIsTeal();
    void linksWorkDuringTheCountdown();
    void helpLinkRunsTheMainWindowsHelp();
    void f1DoesNothingHere();
    void startShowsTheMainWindowModallyAndEnds();
    void closingBeforeStartNeverShowsTheMainWindow();
};

void TestStartWindow::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestStartWindow::looks()
{
    TFStartLUMA start;
    QCOMPARE(start.size(), QSize(215, 157));
    QCOMPARE(start.minimumSize(), QSize(215, 157));
    QCOMPARE(start.maximumSize(), QSize(215, 157));
    QVERIFY(start.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(start.windowTitle(), QStringLiteral("Люмарель"));
    QCOMPARE(start.palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(start.Countdown(), quint8(9));
    auto* shape = start.findChild<QFrame*>(QStringLiteral("Shape1"));
    QVERIFY(shape);
    QCOMPARE(shape->geometry(), start.rect());
    QCOMPARE(start.findChild<QWidget*>(QStringLiteral("Im"))->geometry(), QRect(2, 2, 211, 153));
    QCOMPARE(start.findChild<QWidget*>(QStringLiteral("Image1"))->geometry(), QRect(7, 5, 32, 32));
    auto* l1 = start.findChild<QLabel*>(QStringLiteral("L1"));
    QVERIFY(l1->font().bold());
    QCOMPARE(l1->font().pixelSize(), 11);
    QCOMPARE(start.findChild<QLabel*>(QStringLiteral("Label1"))->font().pixelSize(), 9);
    QCOMPARE(start.findChild<QLabel*>(QStringLiteral("Label1"))->palette().color(QPalette::WindowText),
             QColor(183, 0, 0));
    auto* bstart = start.findChild<QPushButton*>(QStringLiteral("Bstart"));
    QVERIFY(bstart->isFlat());
    QVERIFY(!bstart->isEnabled());
    QCOMPARE(bstart->palette().color(QPalette::Active, QPalette::ButtonText), QColor(0, 128, 128));
}

void TestStartWindow::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QRect>("rect"); // width 0: sized to the text
    QTest::newRow("L1") << QStringLiteral("L1") << QStringLiteral("ЛЮМАРЕЛЬ  2.5") << QString()
                        << QRect(53, 4, 0, 0);
    QTest::newRow("Label4") << QStringLiteral("Label4") << QStringLiteral("м. Київ - 2018") << QString()
                            << QRect(68, 19, 0, 0);
    QTest::newRow("Label1") << QStringLiteral("Label1")
                            << QStringLiteral("Запустіть Програму з правами Адміністратора") << QString()
                            << QRect(8, 36, 200, 12);
    QTest::newRow("B3")
        << QStringLiteral("B3") << QStringLiteral("ПП \"ВЕРЕСК-ЛАБ\"")
        << QStringLiteral("Показати короткий опис та прейскурант на впровадження програмного забезпечення")
        << QRect(7, 52, 200, 20);
    QTest::newRow("B2") << QStringLiteral("B2") << QStringLiteral("https://lumarel.example.org/")
                        << QStringLiteral("Відвідати веб-сайт") << QRect(8, 77, 200, 20);
    QTest::newRow("BB1") << QStringLiteral("BB1") << QStringLiteral("Переглянути довідку")
                         << QStringLiteral("Переглянути довідку до програми...") << QRect(8, 102, 200, 20);
    QTest::newRow("Bstart") << QStringLiteral("Bstart") << QStringLiteral("9") << QString()
                            << QRect(8, 127, 200, 20);
}

void TestStartWindow::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    QFETCH(QRect, rect);
    TFStartLUMA start;
    QWidget* w = start.findChild<QWidget*>(name);
    QVERIFY(w);
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        QCOMPARE(b->text(), text);
        QVERIFY(b->fontMetrics().horizontalAdvance(text) <= b->width());
    } else {
        auto* l = qobject_cast<QLabel*>(w);
        QCOMPARE(l->text(), text);
        QVERIFY(l->fontMetrics().horizontalAdvance(text) <= l->width());
    }
    QCOMPARE(w->toolTip(), hint);
    QCOMPARE(w->pos(), rect.topLeft());
    if (rect.width() > 0)
        QCOMPARE(w->size(), rect.size());
    QVERIFY(w->geometry().right() < 213); // inside the frame
    if (!hint.isEmpty()) {
        QCOMPARE(w->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(w->font().underline());
        QVERIFY(w->isEnabled());
    }
}

void TestStartWindow::timerStartsWhenShown()
{
    TFStartLUMA start;
    auto* ts = start.findChild<QTimer*>(QStringLiteral("Ts"));
    QVERIFY(ts);
    QCOMPARE(ts->interval(), 1000);
    QVERIFY(!ts->isActive());
    start.show();
    QVERIFY(ts->isActive());
    ts->stop(); // the test drives the ticks itself
}

void TestStartWindow::countdown()
{
    TFStartLUMA start;
    start.show();
    auto* ts = start.findChild<QTimer*>(QStringLiteral("Ts"));
    ts->stop();
    auto* bstart = start.findChild<QPushButton*>(QStringLiteral("Bstart"));
    QCOMPARE(bstart->text(), QStringLiteral("9"));
    for (int expected = 8; expected >= 0; --expected) {
        ts->start(); // running while counting
        start.TsTimer();
        QCOMPARE(bstart->text(), QString::number(expected));
        QCOMPARE(start.Countdown(), quint8(expected));
        QVERIFY(!bstart->isEnabled());
        QVERIFY(bstart->isFlat());
        QVERIFY(ts->isActive());
    }
    start.TsTimer();
    QCOMPARE(bstart->text(), QStringLiteral("Почати роботу"));
    QVERIFY(bstart->isEnabled());
    QVERIFY(!bstart->isFlat());
    QVERIFY(!ts->isActive());
    QVERIFY(bstart->fontMetrics().horizontalAdvance(bstart->text()) < bstart->width());
    // A late tick changes nothing.
    start.TsTimer();
    QCOMPARE(bstart->text(), QStringLiteral("Почати роботу"));
    QCOMPARE(start.Countdown(), quint8(0));
}

void TestStartWindow::bstartTextIsTeal_data()
{
    QTest::addColumn<int>("ticks");
    QTest::newRow("counting down, disabled") << 0;
    QTest::newRow("last digit, disabled") << 9;
    QTest::newRow("ready, enabled") << 10;
}

// What is drawn, not the palette: the style picks the colour by state.
void TestStartWindow::bstartTextIsTeal()
{
    QFETCH(int, ticks);
    TFStartLUMA start;
    start.show();
    start.findChild<QTimer*>(QStringLiteral("Ts"))->stop();
    for (int k = 0; k < ticks; ++k)
        start.TsTimer();
    auto* bstart = start.findChild<QPushButton*>(QStringLiteral("Bstart"));
    QCOMPARE(bstart->isEnabled(), ticks >= 10);
    const QImage image = bstart->grab().toImage();
    int teal = 0;
    int grey = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 60 && c.green() > 90 && c.green() < 160 && qAbs(c.green() - c.blue()) < 25)
                ++teal;
            else if (c.red() < 200 && qAbs(c.red() - c.green()) < 8 && qAbs(c.green() - c.blue()) < 8)
                ++grey;
        }
    }
    QVERIFY2(teal >= 6, qPrintable(QStringLiteral("%1 teal pixels").arg(teal)));
    // On the flat button the only drawing is the text: none of it pale grey.
    if (bstart->isFlat())
        QVERIFY2(grey < teal, qPrintable(QStringLiteral("%1 grey, %2 teal").arg(grey).arg(teal)));
}

void TestStartWindow::linksWorkDuringTheCountdown()
{
    GuiFixture f;
    TestFiles::write(f.path(QStringLiteral("Lumarel.pdf")), "%PDF-1.4\n");
    TFStartLUMA start;
    start.SetMainWindow(f.window.get());
    start.show();
    start.findChild<QTimer*>(QStringLiteral("Ts"))->stop();
    for (const char* n : {"B3", "B2", "BB1"}) {
        auto* b = start.findChild<QPushButton*>(QString::fromLatin1(n));
        QVERIFY2(b->isEnabled(), n);
        b->click();
    }
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(f.opened.size(), 3);
    QVERIFY(!f.window->isVisible());
    QVERIFY(start.isVisible());
}

void TestStartWindow::helpLinkRunsTheMainWindowsHelp()
{
    GuiFixture f;
    TFStartLUMA start;
    start.SetMainWindow(f.window.get());
    QSignalSpy help(f.window.get(), &TFLUMA::helpCommandStarted);
    start.findChild<QPushButton*>(QStringLiteral("BB1"))->click();
    QCOMPARE(help.count(), 1);
}

void TestStartWindow::f1DoesNothingHere()
{
    GuiFixture f;
    TFStartLUMA start;
    start.SetMainWindow(f.window.get());
    start.show();
    start.findChild<QTimer*>(QStringLiteral("Ts"))->stop();
    QSignalSpy help(f.window.get(), &TFLUMA::helpCommandStarted);
    QTest::keyClick(&start, Qt::Key_F1);
    QTest::keyClick(start.findChild<QWidget*>(QStringLiteral("BB1")), Qt::Key_F1);
    QCOMPARE(help.count(), 0);
}

void TestStartWindow::startShowsTheMainWindowModallyAndEnds()
{
    GuiFixture f;
    TFStartLUMA start;
    start.SetMainWindow(f.window.get());
    start.show();
    start.findChild<QTimer*>(QStringLiteral("Ts"))->stop();
    for (int i = 0; i < 10; ++i)
        start.TsTimer();

    bool mainShown = false, modal = false, startHidden = false, folders = false;
    // Runs inside the main window's modal loop; always closes it so the loop ends.
    QMetaObject::invokeMethod(
        f.window.get(),
        [&] {
            mainShown = f.window->isVisible();
            modal = f.window->windowModality() == Qt::ApplicationModal;
            startHidden = !start.isVisible();
            folders = QDir(f.path(QStringLiteral("Templates"))).exists() &&
                      QDir(f.path(QStringLiteral("AddInfo"))).exists();
            f.window->close();
        },
        Qt::QueuedConnection);
    QSignalSpy startClosed(&start, &QObject::destroyed);
    start.findChild<QPushButton*>(QStringLiteral("Bstart"))->click();
    QVERIFY(mainShown);
    QVERIFY(modal);
    QVERIFY(startHidden);
    QVERIFY(folders);
    QVERIFY(!f.window->isVisible());
    QVERIFY(!start.isVisible());
    QVERIFY(f.boxes.isEmpty());
}

void TestStartWindow::closingBeforeStartNeverShowsTheMainWindow()
{
    GuiFixture f;
    TFStartLUMA start;
    start.SetMainWindow(f.window.get());
    start.show();
    start.close();
    QVERIFY(!f.window->isVisible());
    QVERIFY(!QDir(f.path(QStringLiteral("Results"))).exists());
}

QTEST_MAIN(TestStartWindow)
#include "tst_start_window.moc"
