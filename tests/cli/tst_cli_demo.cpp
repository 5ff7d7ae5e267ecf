// lumarel-convert demo, run as a user runs it, on the real office.
#include "tests/support/ConverterRun.h"
#include "tests/support/OfficeReading.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcesses.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestCliDemo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void demo_data();
    void demo();

private:
    QTemporaryDir m_cache;
};

namespace {

QByteArray record(const char* number, const char* fio, const char* date = "30.06.2015")
{
    return TestFiles::attributeRecord({{u"iddocument"_qs, QString::fromUtf8(number)},
                                       {u"fio"_qs, QString::fromUtf8(fio)},
                                       {u"lastname"_qs, QString::fromUtf8(fio).section(u' ', 0, 0)},
                                       {u"dategive"_qs, QString::fromUtf8(date)}});
}

} // namespace

void TestCliDemo::initTestCase()
{
    QVERIFY(m_cache.isValid());
    qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
}

void TestCliDemo::cleanup()
{
    QVERIFY(TestProcesses::mentioning(m_cache.path()).isEmpty());
}

void TestCliDemo::demo_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QByteArray>("existingTemplate"); // empty: none yet
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("row");     // printed row up to the path
    QTest::addColumn<QString>("textHas"); // in the produced document
    QTest::addColumn<QString>("stderrHas");
    const QString ok = u"\tУспішно згенерований!\t"_qs;
    QTest::newRow("built-in template written first")
        << u"2"_qs << QByteArray() << 0 << u"Франко Іван Якович"_qs + ok << u"Франко"_qs
        << QString();
    QTest::newRow("existing template kept")
        << u"1"_qs << TestFiles::flatTemplate("СВІЙ=#Прізвище#") << 0
        << u"Шевченко Тарас Григорович"_qs + ok << u"СВІЙ=Шевченко"_qs << QString();
    QTest::newRow("template without surname")
        << u"1"_qs << TestFiles::flatTemplate("#Ім`я#") << 3
        << u"Шевченко Тарас Григорович\tШаблон для документа даного типу не відповідає вимогам "
           u"до його структури або відсутній!"_qs
        << QString() << QString();
    QTest::newRow("unknown number")
        << u"77"_qs << QByteArray() << 3 << QString() << QString() << u"no record numbered 77"_qs;
    QTest::newRow("not a number") << u"x"_qs << QByteArray() << 64 << QString() << QString()
                                  << u"not a record number"_qs;
    QTest::newRow("bad date") << u"3"_qs << QByteArray() << 1 << QString() << QString()
                              << u"'2015 0:00:00' is not a valid integer value"_qs;
}

void TestCliDemo::demo()
{
    QFETCH(QString, number);
    QFETCH(QByteArray, existingTemplate);
    QFETCH(int, exitCode);
    QFETCH(QString, row);
    QFETCH(QString, textHas);
    QFETCH(QString, stderrHas);
    ConverterRun converter(m_cache.path());
    const QString demoTemplate = converter.file(u"Examples/template-dip-bak-2015.doc"_qs);
    if (!existingTemplate.isEmpty())
        TestFiles::write(demoTemplate, existingTemplate);
    const QString xml = converter.file(u"demo.xml"_qs);
    TestFiles::write(xml, TestFiles::edeboFile(record("1", "Шевченко Тарас Григорович") +
                                               record("2", "Франко Іван Якович") +
                                               record("3", "Косач Лариса", "30/06/2015 0:00:00")));

    converter.unset(u"DISPLAY"_qs);
    const ConverterRun::Result r = converter.run({u"demo"_qs, xml, number});
    const QString out = r.out.trimmed();
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(stderrHas), qPrintable(r.err));
    if (row.isEmpty())
        QVERIFY2(out.isEmpty(), qPrintable(out));
    else
        QVERIFY2(out.startsWith(row), qPrintable(out));
    if (exitCode != 64)
        QVERIFY(QFile::exists(demoTemplate));
    if (!existingTemplate.isEmpty())
        QCOMPARE(TestFiles::read(demoTemplate), existingTemplate);
    if (!textHas.isEmpty()) {
        const QString saved = out.mid(row.size());
        QVERIFY(saved.startsWith(converter.file(u"Examples/"_qs)));
        QVERIFY(saved.endsWith(u"_Диплом_ДЕМО.doc"_qs));
        const QString text = readBack(saved);
        QVERIFY2(text.contains(textHas), qPrintable(text));
        QVERIFY2(!text.contains(u'#'), qPrintable(text));
    }
}

QTEST_GUILESS_MAIN(TestCliDemo)
#include "tst_cli_demo.moc"
