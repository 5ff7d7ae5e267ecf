// The main window's layout, menus, commands and key rule.
#include "tests/support/GuiFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void capturesWorkDirOnCreation();
    void startState_data();
    void startState();
    void captionsAndHints_data();
    void captionsAndHints();
    void geometry_data();
    void geometry();
    void sizeLimits_data();
    void sizeLimits();
    void rightAnchoredButtonsFollowTheEdge();
    void fonts();
    void cursors();
    void menuBarOrder();
    void showingCreatesWorkFolders();
    void laterCommandsAreWiredAndQuiet_data();
    void laterCommandsAreWiredAndQuiet();
    void helpRunsFromEveryPlace_data();
    void helpRunsFromEveryPlace();
    void otherKeysReachTheControls();
    void escapeCloses_data();
    void escapeCloses();
    void closeCommands_data();
    void closeCommands();
    void entriesForTheExport();
    void exportOptionsRemembered();
};

void TestMainWindow::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestMainWindow::capturesWorkDirOnCreation()
{
    GuiFixture f;
    QCOMPARE(f.window->workDir().path(), QDir::currentPath());
    QTemporaryDir other;
    QDir::setCurrent(other.path());
    // Later changes of the current directory do not move the work folders.
    QCOMPARE(f.window->workDir().path(), f.dir.path());
    QDir::setCurrent(f.dir.path());
}

void TestMainWindow::startState_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("enabled");
    for (const char* n : {"M", "ChAll", "Ln", "Ef"})
        QTest::newRow(n) << QString::fromLatin1(n) << false << true;
    QTest::newRow("Lst") << QStringLiteral("Lst") << true << true;
    for (const char* n : {"B1", "B2", "B6", "B9", "Bc", "B7", "L1", "L2"})
        QTest::newRow(n) << QString::fromLatin1(n) << true << true;
    for (const char* n : {"B3", "B4", "B5"})
        QTest::newRow(n) << QString::fromLatin1(n) << true << false;
}

void TestMainWindow::startState()
{
    QFETCH(QString, name);
    QFETCH(bool, visible);
    QFETCH(bool, enabled);
    GuiFixture f;
    f.window->show();
    auto* w = f.window->findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->isVisible(), visible);
    QCOMPARE(w->isEnabled(), enabled);
    for (const char* a : {"XML1", "N2", "N9", "N14", "N6", "N8"})
        QVERIFY2(f.find<QAction>(a)->isEnabled(), a);
    for (const char* a : {"N10", "N11", "N13"})
        QVERIFY2(!f.find<QAction>(a)->isEnabled(), a);
    QVERIFY(!(f.window->windowState() & Qt::WindowMaximized));
}

void TestMainWindow::captionsAndHints_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    const QString exportFirst =
        QStringLiteral("Експортувати першого обраного та відкрити файл у MS Word");
    QTest::newRow("B1") << QStringLiteral("B1") << QStringLiteral(".XML")
                        << QStringLiteral("Відкрити ХМL- файл з даними щодо дипломів (з ЄДЕБО)...");
    QTest::newRow("B2") << QStringLiteral("B2") << QString() << QStringLiteral("Налаштування...");
    QTest::newRow("B3") << QStringLiteral("B3") << QString() << exportFirst;
    QTest::newRow("B4") << QStringLiteral("B4") << QString()
                        << QStringLiteral("Експортувати всіх обраних у *.doc - файли ...");
    QTest::newRow("B5") << QStringLiteral("B5") << QString() << exportFirst;
    QTest::newRow("B6") << QStringLiteral("B6") << QString()
                        << QStringLiteral("Переглянути довідку до Програми ...");
    QTest::newRow("B9")
        << QStringLiteral("B9") << QStringLiteral("Оновити версію...")
        << QStringLiteral(
               "Перевірити наявність нової версії Програми на веб-сайті  ПП \"ВЕРЕСК-ЛАБ\"");
    QTest::newRow("Bc") << QStringLiteral("Bc") << QStringLiteral("Закрити") << QString();
    QTest::newRow("B7")
        << QStringLiteral("B7") << QStringLiteral("Про розробки...")
        << QStringLiteral(
               "Показати короткий опис та прейскурант на впровадження програмного забезпечення");
    QTest::newRow("L1") << QStringLiteral("L1") << QStringLiteral("ПП \"ВЕРЕСК-ЛАБ\"") << QString();
    QTest::newRow("L2") << QStringLiteral("L2") << QStringLiteral("https://lumarel.example.org ")
                        << QStringLiteral("Відвідати веб-сайт");
    QTest::newRow("ChAll") << QStringLiteral("ChAll") << QStringLiteral("Відмітити всіх")
                           << QString();
    QTest::newRow("Ln") << QStringLiteral("Ln") << QStringLiteral("Прізвище починається з")
                        << QString();
    QTest::newRow("Lst") << QStringLiteral("Lst")
                         << QStringLiteral(
                                "Програма-конвертор для перетворення даних щодо "
                                "студентів-дипломників з XML-файлів з ЄДЕБО у *.doc-файли")
                         << QString();
}

void TestMainWindow::captionsAndHints()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    GuiFixture f;
    QWidget* w = f.window->findChild<QWidget*>(name);
    QVERIFY(w);
    QString shown;
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        shown = b->text();
    else if (auto* l = qobject_cast<QLabel*>(w))
        shown = l->text();
    QCOMPARE(shown, text);
    QCOMPARE(w->toolTip(), hint);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("ЛЮМАРЕЛЬ. Версія 2.5 від 30.01.2018 р."));
    QCOMPARE(f.window->L2Text(), QStringLiteral("https://lumarel.example.org "));
}

void TestMainWindow::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect"); // width/height 0: not fixed by the layout
    QTest::newRow("B1") << QStringLiteral("B1") << QRect(4, 4, 50, 22);
    QTest::newRow("B2") << QStringLiteral("B2") << QRect(55, 4, 50, 22);
    QTest::newRow("B3") << QStringLiteral("B3") << QRect(106, 4, 50, 22);
    QTest::newRow("B4") << QStringLiteral("B4") << QRect(157, 4, 50, 22);
    QTest::newRow("B9") << QStringLiteral("B9") << QRect(376, 4, 127, 22);
    QTest::newRow("B5") << QStringLiteral("B5") << QRect(505, 4, 50, 22);
    QTest::newRow("B6") << QStringLiteral("B6") << QRect(557, 4, 50, 22);
    QTest::newRow("ChAll") << QStringLiteral("ChAll") << QRect(2, 48, 0, 0);
    QTest::newRow("Ln") << QStringLiteral("Ln") << QRect(105, 31, 0, 0);
    QTest::newRow("Ef") << QStringLiteral("Ef") << QRect(105, 46, 124, 0);
    QTest::newRow("Lst") << QStringLiteral("Lst") << QRect(0, 51, 607, 18);
    QTest::newRow("Bc") << QStringLiteral("Bc") << QRect(2, 1, 103, 25);
    QTest::newRow("L1") << QStringLiteral("L1") << QRect(112, 7, 0, 0);
    QTest::newRow("B7") << QStringLiteral("B7") << QRect(232, 3, 127, 22);
    QTest::newRow("L2") << QStringLiteral("L2") << QRect(380, 7, 0, 0);
}

void TestMainWindow::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    GuiFixture f;
    f.window->show();
    QCOMPARE(f.window->width(), TFLUMA::DesignWidth);
    QWidget* w = f.window->findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->pos(), rect.topLeft());
    if (rect.width() > 0)
        QCOMPARE(w->width(), rect.width());
    if (rect.height() > 0)
        QCOMPARE(w->height(), rect.height());
    // Nothing is cut off: the text fits into its control.
    if (auto* l = qobject_cast<QLabel*>(w))
        QVERIFY(l->width() >= l->fontMetrics().horizontalAdvance(l->text()));
    QCOMPARE(f.find<QWidget>("TopBand")->height(), TFLUMA::TopBandHeight);
    QCOMPARE(f.find<QWidget>("BottomBand")->height(), TFLUMA::BottomBandHeight);
    QCOMPARE(f.window->centralWidget()->height(), TFLUMA::DesignClientHeight);
}

void TestMainWindow::sizeLimits_data()
{
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<QSize>("got");
    QTest::newRow("too narrow and low") << QSize(300, 50) << QSize(560, 140);
    QTest::newRow("too wide") << QSize(1200, 600) << QSize(800, 600);
    QTest::newRow("inside") << QSize(700, 900) << QSize(700, 900);
}

void TestMainWindow::sizeLimits()
{
    QFETCH(QSize, asked);
    QFETCH(QSize, got);
    GuiFixture f;
    f.window->show();
    QCOMPARE(f.window->pos(), QPoint(0, 0));
    f.window->resize(asked);
    QCOMPARE(f.window->size(), got);
}

void TestMainWindow::rightAnchoredButtonsFollowTheEdge()
{
    GuiFixture f;
    f.window->show();
    f.window->resize(800, 300);
    const int shift = 800 - TFLUMA::DesignWidth;
    QCOMPARE(f.find<QWidget>("B9")->x(), 376 + shift);
    QCOMPARE(f.find<QWidget>("B5")->x(), 505 + shift);
    QCOMPARE(f.find<QWidget>("B6")->x(), 557 + shift);
    QCOMPARE(f.find<QWidget>("B4")->x(), 157);
    QCOMPARE(f.find<QWidget>("Lst")->width(), 800);
    QCOMPARE(f.find<QWidget>("BottomBand")->y() + TFLUMA::BottomBandHeight,
             f.window->centralWidget()->height());
}

void TestMainWindow::fonts()
{
    GuiFixture f;
    QCOMPARE(f.window->font().family(), QStringLiteral("Arial"));
    QCOMPARE(f.window->font().pixelSize(), 11);
    QCOMPARE(f.find<QWidget>("Ef")->font().pixelSize(), 11);
    const QFont m = f.M()->font();
    QCOMPARE(m.family(), QStringLiteral("Courier New"));
    QCOMPARE(m.pixelSize(), 12);
    // What the font resolves to must be fixed pitch so the columns line up.
    QVERIFY(QFontInfo(m).fixedPitch());
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(graduate(1, QStringLiteral("А")) +
                                                         graduate(2, QStringLiteral("Б"))));
    QCOMPARE(f.M()->visualItemRect(f.M()->item(0)).height(), 15);
    QCOMPARE(f.M()->visualItemRect(f.M()->item(1)).top(), 15);
}

void TestMainWindow::cursors()
{
    GuiFixture f;
    QCOMPARE(f.window->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(f.find<QWidget>("TopBand")->cursor().shape(), Qt::ForbiddenCursor);
    QCOMPARE(f.find<QWidget>("L1")->cursor().shape(), Qt::ForbiddenCursor);
    for (const char* n : {"B1", "B2", "B3", "B4", "B5", "B6", "B9", "B7", "L2"})
        QVERIFY2(f.find<QWidget>(n)->cursor().shape() == Qt::PointingHandCursor, n);
}

void TestMainWindow::menuBarOrder()
{
    GuiFixture f;
    QStringList seen;
    for (QAction* top : f.window->menuBar()->actions()) {
        seen.append(top->text());
        for (QAction* a : top->menu()->actions()) {
            seen.append(a->isSeparator() ? QStringLiteral("-") : QStringLiteral("  ") + a->text());
            // A checkable entry shows its check mark in the icon's place.
            if (!a->isSeparator() && !a->isCheckable())
                QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
        }
    }
    const QStringList expected = {
        QStringLiteral("Файл"),
        QStringLiteral("  Завантажити XML-файл з ЄДЕБО"),
        QStringLiteral("-"),
        QStringLiteral("  Вихід"),
        QStringLiteral("Налаштування"),
        QStringLiteral("  Задати шаблони..."),
        QStringLiteral("-"),
        QStringLiteral("  Показати таблицю тегів"),
        QStringLiteral("-"),
        QStringLiteral("  Також зберігати PDF"),
        QStringLiteral("  Один файл для друку (PDF)"),
        QStringLiteral("Експортувати"),
        QStringLiteral("  Експортувати першого обраного та відкрити файл у MS Word"),
        QStringLiteral("-"),
        QStringLiteral("  Експортувати всіх обраних у *.doc - файли ..."),
        QStringLiteral("-"),
        QStringLiteral("  Перевірити обраних перед друком..."),
        QStringLiteral("-"),
        QStringLiteral("  Переглянути документ..."),
        QStringLiteral("?"),
        QStringLiteral("  Продемонструвати експортування на основі демонстраційного шаблону"),
        QStringLiteral("-"),
        QStringLiteral("  Довідка"),
        QStringLiteral("  Ця програма..."),
    };
    QCOMPARE(seen, expected);
    const QStringList names = {
        QStringLiteral("XML1"), QStringLiteral("N2"),       QStringLiteral("N9"),
        QStringLiteral("N14"),  QStringLiteral("NAlsoPdf"), QStringLiteral("NPrintFile"),
        QStringLiteral("N10"),  QStringLiteral("N13"),      QStringLiteral("N15"),
        QStringLiteral("N16"),  QStringLiteral("N11"),  QStringLiteral("N6"),       QStringLiteral("N8")};
    QStringList actionNames;
    for (QAction* top : f.window->menuBar()->actions())
        for (QAction* a : top->menu()->actions())
            if (!a->isSeparator())
                actionNames.append(a->objectName());
    QCOMPARE(actionNames, names);
}

void TestMainWindow::showingCreatesWorkFolders()
{
    GuiFixture f;
    QVERIFY(!QDir(f.path(QStringLiteral("Results"))).exists());
    f.window->show();
    for (const char* d : {"Templates", "Results", "Examples", "AddInfo"})
        QVERIFY2(QDir(f.path(QString::fromLatin1(d))).exists(), d);
}

// The window commands: each opens its window modally beside the main window;
// closed by its title bar, it leaves the main window as it was, quietly.
void TestMainWindow::laterCommandsAreWiredAndQuiet_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QPoint>("offset");
    QTest::newRow("B2") << QStringLiteral("B2") << QStringLiteral("TFSettings") << QPoint(40, 10);
    QTest::newRow("N9") << QStringLiteral("N9") << QStringLiteral("TFTempl") << QPoint(10, 10);
    QTest::newRow("N14") << QStringLiteral("N14") << QStringLiteral("TFtags") << QPoint(10, 10);
    QTest::newRow("N8") << QStringLiteral("N8") << QStringLiteral("TAboutBox") << QPoint(254, 20);
}

namespace {
// Closes the first modal window shown, from its own event loop, and notes it.
class ModalCloser : public QObject {
public:
    ModalCloser() { qApp->installEventFilter(this); }
    ~ModalCloser() override { qApp->removeEventFilter(this); }
    QStringList shown;
    QPoint at;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* w = qobject_cast<QWidget*>(o);
        if (e->type() == QEvent::Show && w && w->isWindow() && w->isModal() && shown.isEmpty()) {
            shown.append(QString::fromLatin1(w->metaObject()->className()));
            at = w->pos();
            QMetaObject::invokeMethod(
                w, [w] { w->close(); }, Qt::QueuedConnection);
        }
        return false;
    }
};
} // namespace

void TestMainWindow::laterCommandsAreWiredAndQuiet()
{
    QFETCH(QString, name);
    QFETCH(QString, window);
    QFETCH(QPoint, offset);
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(graduate(1, QStringLiteral("А"))));
    f.window->show();
    QSignalSpy help(f.window.get(), &TFLUMA::helpCommandStarted);
    ModalCloser closer;
    QObject* o = f.window->findChild<QObject*>(name);
    QVERIFY(o);
    if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        QVERIFY(b->isEnabled());
        b->click();
    } else if (auto* a = qobject_cast<QAction*>(o)) {
        QVERIFY(a->isEnabled());
        a->trigger();
    }
    QCOMPARE(closer.shown, QStringList{window});
    QCOMPARE(closer.at, f.window->pos() + offset);
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(help.count(), 0);
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.window->EntryCount(), 1);
}

void TestMainWindow::helpRunsFromEveryPlace_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("F1 in the list") << QStringLiteral("key") << QStringLiteral("M") << 0;
    QTest::newRow("F1 in the filter") << QStringLiteral("key") << QStringLiteral("Ef") << 0;
    QTest::newRow("Shift+F1") << QStringLiteral("key") << QStringLiteral("M")
                              << int(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Alt+F1") << QStringLiteral("key") << QStringLiteral("ChAll")
                                 << int(Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("F1 on the window") << QStringLiteral("key") << QString() << 0;
    QTest::newRow("menu N6") << QStringLiteral("action") << QStringLiteral("N6") << 0;
    QTest::newRow("button B6") << QStringLiteral("button") << QStringLiteral("B6") << 0;
}

void TestMainWindow::helpRunsFromEveryPlace()
{
    QFETCH(QString, how);
    QFETCH(QString, target);
    QFETCH(int, modifiers);
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(graduate(1, QStringLiteral("А"))));
    f.window->show();
    QSignalSpy help(f.window.get(), &TFLUMA::helpCommandStarted);
    if (how == QLatin1String("key")) {
        QWidget* w = target.isEmpty() ? static_cast<QWidget*>(f.window.get())
                                      : f.window->findChild<QWidget*>(target);
        QVERIFY(w);
        QTest::keyClick(w, Qt::Key_F1, Qt::KeyboardModifiers(modifiers));
    } else if (how == QLatin1String("action")) {
        f.find<QAction>("N6")->trigger();
    } else {
        f.find<QToolButton>("B6")->click();
    }
    QCOMPARE(help.count(), 1);
    QVERIFY(f.window->isVisible());
}

void TestMainWindow::otherKeysReachTheControls()
{
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(graduate(1, QStringLiteral("Ащ"))));
    QSignalSpy help(f.window.get(), &TFLUMA::helpCommandStarted);
    typeText(f.Ef(), QStringLiteral("ащ"));
    QTest::keyClick(f.Ef(), Qt::Key_F2);
    QCOMPARE(f.Ef()->text(), QStringLiteral("ащ"));
    QCOMPARE(f.window->EntryCount(), 1);
    QCOMPARE(help.count(), 0);
}

void TestMainWindow::escapeCloses_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("window") << QString();
    QTest::newRow("filter") << QStringLiteral("Ef");
    QTest::newRow("list") << QStringLiteral("M");
    QTest::newRow("check box") << QStringLiteral("ChAll");
}

void TestMainWindow::escapeCloses()
{
    QFETCH(QString, target);
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(graduate(1, QStringLiteral("А"))));
    f.window->show();
    QSignalSpy closed(f.window.get(), &TFLUMA::closed);
    QWidget* w = target.isEmpty() ? static_cast<QWidget*>(f.window.get())
                                  : f.window->findChild<QWidget*>(target);
    QVERIFY(w);
    QTest::keyClick(w, Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!f.window->isVisible());
    QVERIFY(f.boxes.isEmpty()); // no confirmation
}

void TestMainWindow::closeCommands_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Bc") << QStringLiteral("Bc");
    QTest::newRow("N2") << QStringLiteral("N2");
    QTest::newRow("close box") << QString();
}

void TestMainWindow::closeCommands()
{
    QFETCH(QString, name);
    GuiFixture f;
    f.window->show();
    QSignalSpy closed(f.window.get(), &TFLUMA::closed);
    if (name.isEmpty())
        f.window->close();
    else if (auto* a = f.window->findChild<QAction*>(name))
        a->trigger();
    else
        f.find<QPushButton>("Bc")->click();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!f.window->isVisible());
}

void TestMainWindow::entriesForTheExport()
{
    GuiFixture f;
    QCOMPARE(f.window->EntryCount(), 0);
    QCOMPARE(f.window->EntryText(0), QString());
    QVERIFY(!f.window->EntryChecked(0));
    f.open(QStringLiteral("a.xml"),
           TestFiles::edeboFile(graduate(5, QStringLiteral("Бойко Ірина")) +
                                graduate(6, QStringLiteral("Рак Ян"))));
    QCOMPARE(f.window->EntryCount(), 2);
    QVERIFY(f.window->EntryText(1).startsWith(QStringLiteral("6 ")));
    // Checked by the user's click on the box.
    QListWidget* m = f.M();
    f.window->show();
    const QRect r = m->visualItemRect(m->item(1));
    QTest::mouseClick(m->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 8, r.center().y()));
    QVERIFY(f.window->EntryChecked(1));
    QVERIFY(!f.window->EntryChecked(0));
    QVERIFY(!f.window->EntryChecked(-1));
    QVERIFY(!f.window->EntryChecked(2));
    QCOMPARE(f.window->Store().RecordCount(), 2);
}

// The two export options: checkable, read from Export.set when the window is
// made, written back at each click.
void TestMainWindow::exportOptionsRemembered()
{
    GuiFixture f;
    QVERIFY(f.find<QAction>("NAlsoPdf")->isCheckable());
    QVERIFY(!f.find<QAction>("NAlsoPdf")->isChecked());
    QVERIFY(!f.find<QAction>("NPrintFile")->isChecked());
    QVERIFY(!QFile::exists(f.path(QStringLiteral("Export.set"))));

    TestFiles::write(f.path(QStringLiteral("Export.set")), "1\r\n0\r\n");
    f.window = std::make_unique<TFLUMA>();
    QVERIFY(f.find<QAction>("NAlsoPdf")->isChecked());
    QVERIFY(!f.find<QAction>("NPrintFile")->isChecked());
    f.find<QAction>("NPrintFile")->trigger();
    QCOMPARE(TestFiles::read(f.path(QStringLiteral("Export.set"))), QByteArray("1\r\n1\r\n"));
    f.find<QAction>("NAlsoPdf")->trigger();
    QCOMPARE(TestFiles::read(f.path(QStringLiteral("Export.set"))), QByteArray("0\r\n1\r\n"));
    QVERIFY(f.boxes.isEmpty());

    // A file that cannot be written: said so, and the entries show what stays.
    QVERIFY(QFile::remove(f.path(QStringLiteral("Export.set"))));
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("Export.set")));
    f.find<QAction>("NAlsoPdf")->trigger();
    QCOMPARE(f.boxes.size(), 1);
    QVERIFY(!f.find<QAction>("NAlsoPdf")->isChecked());
    QVERIFY(!f.find<QAction>("NPrintFile")->isChecked());
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
