// The settings chooser: which window it opens, and when.
#include "windows/Uset.h"
#include "tests/windows/WindowFixture.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

namespace {
enum class Answer { Enter, SecondThenEnter, ClickContinue, TitleBar, EscapeThenTitleBar };
}
Q_DECLARE_METATYPE(Answer)

class TestSettingsChooser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layout();
    void f1RunsHelp();
    void chooses_data();
    void chooses();
};

void TestSettingsChooser::layout()
{
    TFSettings chooser([] {});
    chooser.show();
    QCOMPARE(chooser.windowTitle(), QStringLiteral("Люмарель"));
    QCOMPARE(chooser.size(), QSize(195, 95));
    QCOMPARE(chooser.minimumSize(), chooser.maximumSize());
    QCOMPARE(chooser.font().pixelSize(), 11);
    auto* rg = chooser.findChild<QGroupBox*>(QStringLiteral("RG"));
    QVERIFY(rg);
    QCOMPARE(rg->height(), 61);
    QVERIFY(rg->title().isEmpty());
    const QList<QRadioButton*> items = rg->findChildren<QRadioButton*>();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0)->text(), QStringLiteral("Задати шаблони..."));
    QCOMPARE(items.at(1)->text(), QStringLiteral("Показати таблицю тегів"));
    QVERIFY(items.at(0)->isChecked());
    QCOMPARE(chooser.ItemIndex(), 0);
    for (QWidget* w : {static_cast<QWidget*>(items.at(0)), static_cast<QWidget*>(items.at(1))})
        QVERIFY(w->fontMetrics().horizontalAdvance(static_cast<QRadioButton*>(w)->text()) + 20
                <= w->width());
    auto* bok = chooser.findChild<QPushButton*>(QStringLiteral("Bok"));
    QCOMPARE(bok->text(), QStringLiteral("Продовжити"));
    QVERIFY(bok->isDefault());
    QVERIFY(bok->geometry().bottom() < 95);
}

void TestSettingsChooser::f1RunsHelp()
{
    int runs = 0;
    TFSettings chooser([&runs] { ++runs; });
    chooser.show();
    QTest::keyClick(chooser.findChild<QRadioButton*>(), Qt::Key_F1);
    QCOMPARE(runs, 1);
    QVERIFY(chooser.isVisible());
}

void TestSettingsChooser::chooses_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("opened");
    QTest::newRow("Enter at once") << Answer::Enter << QStringLiteral("templates");
    QTest::newRow("second item, Enter") << Answer::SecondThenEnter << QStringLiteral("tags");
    QTest::newRow("Продовжити") << Answer::ClickContinue << QStringLiteral("templates");
    QTest::newRow("title bar") << Answer::TitleBar << QString();
    QTest::newRow("Escape does nothing") << Answer::EscapeThenTitleBar << QString();
}

void TestSettingsChooser::chooses()
{
    QFETCH(Answer, answer);
    QFETCH(QString, opened);
    const auto mainWindow = makeMainWindow();
    QPoint at;
    bool stillOpenAfterEscape = false;
    WhenShown answerer(TFSettings::staticMetaObject, [&](QDialog* d) {
        at = d->pos();
        QWidget* focus = d->findChild<QRadioButton*>();
        switch (answer) {
        case Answer::Enter:
            QTest::keyClick(focus, Qt::Key_Return);
            break;
        case Answer::SecondThenEnter:
            d->findChildren<QRadioButton*>().at(1)->click();
            QTest::keyClick(focus, Qt::Key_Enter);
            break;
        case Answer::ClickContinue:
            d->findChild<QPushButton*>(QStringLiteral("Bok"))->click();
            break;
        case Answer::EscapeThenTitleBar:
            QTest::keyClick(focus, Qt::Key_Escape);
            stillOpenAfterEscape = d->isVisible();
            d->close();
            break;
        case Answer::TitleBar:
            d->close();
            break;
        }
    });
    QStringList ran;
    bool chooserGone = false;
    auto action = [&](const QString& name) {
        return [&, name] {
            ran.append(name);
            const TFSettings* chooser = mainWindow->findChild<TFSettings*>();
            chooserGone = chooser && !chooser->isVisible();
        };
    };
    RunSettingsChooser(mainWindow.get(), [] {}, action(QStringLiteral("templates")),
                       action(QStringLiteral("tags")));
    QVERIFY(answerer.fired());
    QCOMPARE(at, mainWindow->pos() + QPoint(40, 10));
    QCOMPARE(ran, opened.isEmpty() ? QStringList() : QStringList{opened});
    if (!opened.isEmpty())
        QVERIFY(chooserGone);
    if (answer == Answer::EscapeThenTitleBar)
        QVERIFY(stillOpenAfterEscape);
    QVERIFY(!mainWindow->findChild<TFSettings*>());
}

QTEST_MAIN(TestSettingsChooser)
#include "tst_settings_chooser.moc"
