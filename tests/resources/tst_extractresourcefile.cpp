#include "resources/ExtractResourceFile.h"
#include "records/LumarelError.h"
#include "resources/LumarelResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(f.errorString()));
    f.write(bytes);
}

QString committed(const char* relative)
{
    return QStringLiteral(LUMAREL_RESOURCES_DIR "/") + QString::fromUtf8(relative);
}

} // namespace

class TestExtractResourceFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& relative) const { return m_dir.filePath(relative); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        InitLumarelResources();
    }

    void writesTheEmbeddedBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QByteArray>("magic");
        const QByteArray ole2("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        const QString doc = committed("demo/template-dip-bak-2015.doc");
        const QString pdf = committed("price/price.pdf");
        QTest::newRow("DemoTempl") << QStringLiteral("DemoTempl") << doc << ole2;
        QTest::newRow("demotempl") << QStringLiteral("demotempl") << doc << ole2;
        QTest::newRow("DEMOTEMPL") << QStringLiteral("DEMOTEMPL") << doc << ole2;
        QTest::newRow("Price") << QStringLiteral("Price") << pdf << QByteArray("%PDF-");
        QTest::newRow("pRICE") << QStringLiteral("pRICE") << pdf << QByteArray("%PDF-");
    }
    void writesTheEmbeddedBytes()
    {
        QFETCH(QString, name);
        QFETCH(QString, source);
        QFETCH(QByteArray, magic);
        const QString folder = path(QStringLiteral("bytes-") + QString::fromLatin1(QTest::currentDataTag()));
        ExtractResourceFile(folder + QLatin1Char('/'), name, QStringLiteral("out.bin"));

        const QByteArray written = readAll(folder + QStringLiteral("/out.bin"));
        const QByteArray expected = readAll(source);
        QVERIFY(!expected.isEmpty());
        QVERIFY2(written == expected, "the written file differs from the committed document");
        // A Word 97-2003 binary file, and a PDF.
        QVERIFY(written.startsWith(magic));
    }

    void replacesALongerExistingFile()
    {
        const QString folder = path(QStringLiteral("replace"));
        QVERIFY(QDir().mkpath(folder));
        const QString target = folder + QStringLiteral("/Price34_2015.pdf");
        writeAll(target, QByteArray(4 * 1024 * 1024, 'x'));

        ExtractResourceFile(folder + QLatin1Char('/'), QStringLiteral("Price"), QStringLiteral("Price34_2015.pdf"));
        QCOMPARE(readAll(target), readAll(committed("price/price.pdf")));
    }

    void writingTwiceGivesTheSameFile()
    {
        const QString folder = path(QStringLiteral("twice/"));
        ExtractResourceFile(folder, QStringLiteral("Price"), QStringLiteral("p.pdf"));
        const QByteArray first = readAll(folder + QStringLiteral("p.pdf"));
        ExtractResourceFile(folder, QStringLiteral("Price"), QStringLiteral("p.pdf"));
        QCOMPARE(readAll(folder + QStringLiteral("p.pdf")), first);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("p.pdf")});
    }

    void createsMissingFolders()
    {
        const QString folder = path(QStringLiteral("a/b/c/Examples/"));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("a"))));
        ExtractResourceFile(folder, QStringLiteral("DemoTempl"), QStringLiteral("template-dip-bak-2015.doc"));
        QVERIFY(QFileInfo(folder + QStringLiteral("template-dip-bak-2015.doc")).isFile());
    }

    void folderSeparator_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("slash") << QStringLiteral("/");
        QTest::newRow("none") << QString();
    }
    void folderSeparator()
    {
        QFETCH(QString, suffix);
        const QString folder = path(QStringLiteral("sep-") + QString::fromLatin1(QTest::currentDataTag()));
        ExtractResourceFile(folder + suffix, QStringLiteral("Price"), QStringLiteral("x.pdf"));
        QVERIFY(QFileInfo(folder + QStringLiteral("/x.pdf")).isFile());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("x.pdf")});
    }

    void unknownNameThrows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("other") << QStringLiteral("Templ");
        QTest::newRow("prefix") << QStringLiteral("Demo");
        QTest::newRow("longer") << QStringLiteral("DemoTempl2");
        QTest::newRow("empty") << QString();
        QTest::newRow("picture") << QStringLiteral("icon.svg");
    }
    void unknownNameThrows()
    {
        QFETCH(QString, name);
        const QString folder = path(QStringLiteral("unknown-") + QString::fromLatin1(QTest::currentDataTag()) + QLatin1Char('/'));
        try {
            ExtractResourceFile(folder, name, QStringLiteral("f.doc"));
            QFAIL("no error for an unknown document");
        } catch (const LumarelError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("\"%1\"").arg(name)), qPrintable(e.text()));
        }
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("f.doc")));
    }

    void unwritableTargetThrows_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("fileName");
        // Tests run as root, so permissions do not stop a write; a regular
        // file where a folder should be does.
        QTest::newRow("folder is a file") << QStringLiteral("blocker/") << QStringLiteral("out.doc");
        QTest::newRow("folder under a file") << QStringLiteral("blocker/sub/") << QStringLiteral("out.doc");
        QTest::newRow("target is a folder") << QStringLiteral("dirtarget/") << QStringLiteral("out.doc");
    }
    void unwritableTargetThrows()
    {
        QFETCH(QString, folder);
        QFETCH(QString, fileName);
        writeAll(path(QStringLiteral("blocker")), QByteArray("not a folder"));
        QVERIFY(QDir().mkpath(path(QStringLiteral("dirtarget/out.doc"))));

        const QString target = path(folder) + fileName;
        try {
            ExtractResourceFile(path(folder), QStringLiteral("DemoTempl"), fileName);
            QFAIL("no error for an unwritable file");
        } catch (const LumarelError& e) {
            QVERIFY2(e.text().contains(QDir::toNativeSeparators(target)), qPrintable(e.text()));
            QVERIFY2(e.text().startsWith(QStringLiteral("Не вдалося записати файл")), qPrintable(e.text()));
        }
        QVERIFY(!QFileInfo(target).isFile());
        QCOMPARE(readAll(path(QStringLiteral("blocker"))), QByteArray("not a folder"));
        QVERIFY(QFileInfo(path(QStringLiteral("dirtarget/out.doc"))).isDir());
    }
};

QTEST_GUILESS_MAIN(TestExtractResourceFile)
#include "tst_extractresourcefile.moc"
