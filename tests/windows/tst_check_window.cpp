// The check before printing in the main window and its findings window,
// without an office (the templates are not assigned, so none is read).
#include "tests/support/ExportFixture.h"
#include "windows/UCheck.h"

#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>

class TestCheckWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void menuEntry();
    void layoutAndKeys_data();
    void layoutAndKeys();
    void checkedGraduates_data();
    void checkedGraduates();
    void missingTemplateNamed_data();
    void missingTemplateNamed();
};

void TestCheckWindow::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestCheckWindow::menuEntry()
{
    ExportFixture f;
    QMenu* menu = f.window->findChild<QMenu*>(QStringLiteral("MenuExport"));
    QVERIFY(menu);
    const QList<QAction*> actions = menu->actions();
    QVERIFY(actions.size() >= 5); // the preview's entry follows
    QVERIFY(actions.at(3)->isSeparator());
    QCOMPARE(actions.at(4)->objectName(), QStringLiteral("N15"));
    QCOMPARE(actions.at(4)->text(), QStringLiteral("Перевірити обраних перед друком..."));
    QVERIFY(!actions.at(4)->isEnabled());
    f.open(QStringLiteral("a.xml"),
           TestFiles::edeboFile(graduateOf(1, QStringLiteral("Бойко Іван"))));
    QVERIFY(actions.at(4)->isEnabled());
    QCOMPARE(actions.at(4)->isEnabled(), actions.at(0)->isEnabled());
}

void TestCheckWindow::layoutAndKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("helps");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << true << 0;
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << false << 1;
    QTest::newRow("Shift+F1") << int(Qt::Key_F1) << int(Qt::ShiftModifier) << false << 1;
}

void TestCheckWindow::layoutAndKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, closes);
    QFETCH(int, helps);
    int help = 0;
    TFCheck w(
        {{QStringLiteral("Бойко І."), QStringLiteral("Порожнє значення для тегу #boss#")},
         {QStringLiteral("Коваль А."), QStringLiteral("Однакове ім'я документа з записом 7")}},
        [&help] { ++help; });
    QCOMPARE(w.windowTitle(), QStringLiteral("Люмарель"));
    auto* vl = w.findChild<QTableWidget*>(QStringLiteral("VL"));
    QVERIFY(vl);
    QCOMPARE(vl->columnCount(), 2);
    QCOMPARE(tableRows(&w), (QStringList{u"Бойко І.|Порожнє значення для тегу #boss#"_qs,
                                         u"Коваль А.|Однакове ім'я документа з записом 7"_qs}));
    QCOMPARE(vl->editTriggers(), QAbstractItemView::NoEditTriggers);
    auto* bc = w.findChild<QPushButton*>(QStringLiteral("Bc"));
    QCOMPARE(bc->text(), QStringLiteral("Закрити"));

    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    vl->setFocus();
    QTest::keyClick(vl, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(w.isVisible(), !closes);
    QCOMPARE(help, helps);
}

void TestCheckWindow::checkedGraduates_data()
{
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QStringList>("rows"); // empty: a box instead
    QTest::addColumn<QString>("box");
    const QString none = u"|Шаблон для документа даного типу не задано!"_qs;
    QTest::newRow("nobody") << QList<int>{} << QStringList() << u"Жодного студента не обрано!"_qs;
    QTest::newRow("two of three, list order, a form shared with one not checked")
        << QList<int>{2, 0}
        << QStringList{u"Бойко Іван"_qs + none,
                       u"Бойко Іван|Серія і номер «КВ 12345678» повторюються у записах 1, 2"_qs,
                       u"Шевчук Марія"_qs + none}
        << QString();
    QTest::newRow("shared form number")
        << QList<int>{0, 1}
        << QStringList{u"Бойко Іван"_qs + none,
                       u"Бойко Іван|Серія і номер «КВ 12345678» повторюються у записах 1, 2"_qs,
                       u"Бойко Іван|Однакове ім'я документа з записом 2"_qs,
                       u"Бойко Іван"_qs + none,
                       u"Бойко Іван|Серія і номер «КВ 12345678» повторюються у записах 1, 2"_qs,
                       u"Бойко Іван|Однакове ім'я документа з записом 1"_qs}
        << QString();
}

void TestCheckWindow::checkedGraduates()
{
    QFETCH(QList<int>, checked);
    QFETCH(QStringList, rows);
    QFETCH(QString, box);
    ExportFixture f;
    // The first two share a form (the default series and number), the third has its own.
    f.open(QStringLiteral("a.xml"),
           TestFiles::edeboFile(graduateOf(1, QStringLiteral("Бойко Іван")) +
                                graduateOf(2, QStringLiteral("Бойко Іван")) +
                                TestFiles::attributeRecord({{u"iddocument"_qs, u"3"_qs},
                                                            {u"fio"_qs, u"Шевчук Марія"_qs},
                                                            {u"number"_qs, u"777"_qs}})));
    f.check(checked);
    QStringList shown;
    bool sawWindow = false;
    if (!rows.isEmpty())
        whenModal(
            "TFCheck", [](QWidget*) { return true; },
            [&](QWidget* w) {
                sawWindow = true;
                shown = tableRows(w);
                w->findChild<QPushButton*>(QStringLiteral("Bc"))->click();
            },
            20000);
    f.window->findChild<QAction*>(QStringLiteral("N15"))->trigger();
    QCOMPARE(sawWindow, !rows.isEmpty());
    QCOMPARE(shown, rows);
    if (box.isEmpty()) {
        QVERIFY(f.boxes.isEmpty());
    } else {
        QCOMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes.at(0).text, box);
    }
    QVERIFY(!QDir(f.results()).exists() || f.resultFiles().isEmpty());
}

void TestCheckWindow::missingTemplateNamed_data()
{
    QTest::addColumn<QString>("where"); // under the work folder
    QTest::newRow("in Templates") << u"Templates/бакалавр.doc"_qs;
    QTest::newRow("a folder where the file was") << u"Templates/стара тека.doc/"_qs;
}

// The findings window names the template and the cause, where the export
// says only that it is missing or unusable.
void TestCheckWindow::missingTemplateNamed()
{
    QFETCH(QString, where);
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(graduateOf(1, u"Бойко Іван"_qs)));
    QString path = f.path(where);
    if (where.endsWith(u'/')) {
        QVERIFY(QDir().mkpath(path));
        path.chop(1);
    }
    f.assign({{3, path}});
    f.check({0});
    QStringList shown;
    QString tip;
    whenModal(
        "TFCheck", [](QWidget*) { return true; },
        [&](QWidget* w) {
            shown = tableRows(w);
            tip = w->findChild<QTableWidget*>(u"VL"_qs)->item(0, 1)->toolTip();
            w->findChild<QPushButton*>(QStringLiteral("Bc"))->click();
        },
        20000);
    f.window->findChild<QAction*>(QStringLiteral("N15"))->trigger();
    const QString finding =
        u"Шаблон «%1» відсутній: файл не знайдено"_qs.arg(QDir::toNativeSeparators(path));
    QCOMPARE(shown, QStringList{u"Бойко Іван|"_qs + finding});
    QCOMPARE(tip, finding);
}

QTEST_MAIN(TestCheckWindow)
#include "tst_check_window.moc"
