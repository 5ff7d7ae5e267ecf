#include "resources/LumarelResources.h"
#include "resources/Pictures.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

// Every picture the windows name must exist and draw at the size its place
// in the window is laid out for.
class TestPictures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { InitLumarelResources(); }

    void svgDraws_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        const QSize button(24, 24);
        QTest::newRow("Icon") << Pictures::Icon << QSize(32, 32);
        QTest::newRow("Splash") << Pictures::Splash << QSize(211, 153);
        QTest::newRow("OpenXml") << Pictures::OpenXml << button;
        QTest::newRow("Settings") << Pictures::Settings << button;
        QTest::newRow("ExportOne") << Pictures::ExportOne << button;
        QTest::newRow("ExportAll") << Pictures::ExportAll << button;
        QTest::newRow("Demo") << Pictures::Demo << button;
        QTest::newRow("Help") << Pictures::Help << button;
        QTest::newRow("Close") << Pictures::Close << button;
        // The detach buttons are 23 x 19: a smaller drawing.
        QTest::newRow("Detach") << Pictures::Detach << QSize(16, 16);
        QTest::newRow("MenuExit") << Pictures::MenuExit << button;
        QTest::newRow("MenuTemplates") << Pictures::MenuTemplates << button;
        QTest::newRow("MenuTags") << Pictures::MenuTags << button;
        QTest::newRow("MenuAbout") << Pictures::MenuAbout << button;
        QTest::newRow("MenuPreview") << Pictures::MenuPreview << button;
    }
    void svgDraws()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QSvgRenderer svg(path);
        QVERIFY(svg.isValid());
        QCOMPARE(svg.defaultSize(), size);

        // Not blank: something is drawn that differs from the corner colour.
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            svg.render(&p);
        }
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 0 && image.pixel(x, y) != image.pixel(0, 0);
        QVERIFY2(inked > image.width() * image.height() / 50, qPrintable(QString::number(inked)));
    }

    void iconPngsHaveTheirSize_data()
    {
        QTest::addColumn<int>("size");
        for (int s : Pictures::IconPngSizes)
            QTest::newRow(QByteArray::number(s).constData()) << s;
    }
    void iconPngsHaveTheirSize()
    {
        QFETCH(int, size);
        QImage png(Pictures::IconPng(size));
        QVERIFY2(!png.isNull(), qPrintable(Pictures::IconPng(size)));
        QCOMPARE(png.size(), QSize(size, size));
    }

    // The start window's labels lie over the splash; it must stay light.
    void splashIsLight()
    {
        QSvgRenderer svg(Pictures::Splash);
        QImage image(211, 153, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            svg.render(&p);
        }
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                QVERIFY2(qGray(image.pixel(x, y)) > 150, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
