// The about window: its places and texts, and that only "Ok" closes it.
#include "windows/About.h"
#include "tests/windows/WindowFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

class TestAboutBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void labels_data();
    void labels();
    void frame();
    void keys_data();
    void keys();
    void placedAndModal();
};

void TestAboutBox::labels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<QString>("text");
    QTest::newRow("L1") << QStringLiteral("L1") << QPoint(112, 7) << QStringLiteral("ЛЮМАРЕЛЬ");
    QTest::newRow("Label1") << QStringLiteral("Label1") << QPoint(90, 23)
                            << QStringLiteral("м. Київ, ПП \"ВЕРЕСК-ЛАБ\"");
    QTest::newRow("Label5") << QStringLiteral("Label5") << QPoint(136, 39) << QStringLiteral("Версія 2.2");
    QTest::newRow("Label4") << QStringLiteral("Label4") << QPoint(149, 55) << QStringLiteral("2017");
    QTest::newRow("Label2") << QStringLiteral("Label2") << QPoint(40, 71)
                            << QStringLiteral("info@lumarel.example.org  https://lumarel.example.org/");
    QTest::newRow("Label3") << QStringLiteral("Label3") << QPoint(82, 87)
                            << QStringLiteral("ПП \"ВЕРЕСК-ЛАБ\"");
}

void TestAboutBox::labels()
{
    QFETCH(QString, name);
    QFETCH(QPoint, place);
    QFETCH(QString, text);
    TAboutBox box;
    box.show();
    auto* label = box.findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->pos(), place);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->font().bold(), name == QStringLiteral("L1"));
    // Inside the inner frame, nothing cut off.
    QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->width());
    QVERIFY(label->geometry().right() < 2 + 319 - 1);
}

void TestAboutBox::frame()
{
    TAboutBox box;
    box.show();
    QCOMPARE(box.size(), QSize(323, 133));
    QVERIFY(box.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(box.windowTitle(), QStringLiteral("Ця програма..."));
    const QImage image = box.grab().toImage();
    const QColor teal(0, 100, 100);
    QCOMPARE(image.pixelColor(0, 60), teal);
    QCOMPARE(image.pixelColor(322, 60), teal);
    QCOMPARE(image.pixelColor(2, 60), teal);
    QCOMPARE(image.pixelColor(320, 60), teal);
    QCOMPARE(image.pixelColor(160, 130), teal);
    QCOMPARE(image.pixelColor(1, 60), QColor(Qt::white));
    QCOMPARE(image.pixelColor(300, 110), QColor(Qt::white));
    auto* image1 = box.findChild<QLabel*>(QStringLiteral("Image1"));
    QCOMPARE(image1->geometry(), QRect(8, 7, 32, 32));
    QVERIFY(!image1->pixmap().isNull());
    auto* ok = box.findChild<QPushButton*>(QStringLiteral("OKButton"));
    QCOMPARE(ok->geometry(), QRect(8, 97, 32, 25));
    QCOMPARE(ok->text(), QStringLiteral("Ok"));
    QVERIFY(ok->isDefault());
}

void TestAboutBox::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false;
    QTest::newRow("F1") << int(Qt::Key_F1) << false;
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
}

void TestAboutBox::keys()
{
    QFETCH(int, key);
    QFETCH(bool, closes);
    TAboutBox box;
    box.show();
    QTest::keyClick(box.findChild<QPushButton*>(), Qt::Key(key));
    QCOMPARE(box.isVisible(), !closes);
    if (closes)
        QCOMPARE(box.result(), int(QDialog::Accepted));
}

void TestAboutBox::placedAndModal()
{
    const auto mainWindow = makeMainWindow();
    QPoint at;
    bool modal = false;
    WhenShown closer(TAboutBox::staticMetaObject, [&](QDialog* d) {
        at = d->pos();
        modal = d->isModal();
        d->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    ShowAboutBox(mainWindow.get());
    QVERIFY(closer.fired());
    QCOMPARE(at, mainWindow->pos() + QPoint(254, 20));
    QVERIFY(modal);
    QVERIFY(!mainWindow->findChild<TAboutBox*>());
}

QTEST_MAIN(TestAboutBox)
#include "tst_about_box.moc"
