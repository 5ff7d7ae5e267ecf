#include "tests/support/ConverterRun.h"
#include "tests/support/TestFiles.h"

#include <QTest>

// The converter's list verb, run as a user runs it.
class TestCliList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exitCodes_data();
    void exitCodes();
};

void TestCliList::exitCodes_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: the attribute sample
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutHas");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("sample")
        << QByteArray() << 0
        << u"310001      Шевченко Тарас Григорович              Факультет \"Філологія"_qs
        << QString();
    QTest::newRow("refused") << QByteArray("<a><b/></a>") << 2 << QString()
                             << u"Структура xml-файлу не відповідає еталону!"_qs;
    // A line break or tab in a name must not split the line or add a column.
    QTest::newRow("control characters in a name")
        << QByteArray(
               "<r><document><documentdata iddocument=\"5\" fio=\"А&#10;Б&#9;В\\Г&#13;&#133;\" "
               "lastname=\"А\" firstname=\"Б\" universityname=\"У\" series=\"С\" "
               "number=\"Н\" idtypesex=\"1\" educationqualificationname=\"К\" "
               "bossworkpost=\"П\" bossworkposten=\"P\" boss=\"Б\" bossen=\"B\" "
               "dategive=\"\" award=\"0\"/></document></r>")
        << 0 << u"5           А\\nБ\\tВ\\\\Г\\r\\u0085\n"_qs << QString();
    QTest::newRow("malformed") << QByteArray("<a><b>") << 1 << QString() << u"xml"_qs;
}

void TestCliList::exitCodes()
{
    QFETCH(QByteArray, file);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutHas);
    QFETCH(QString, stderrHas);
    ConverterRun converter;
    QString path = QStringLiteral(LUMAREL_SAMPLES "/edebo-attribute-form.xml");
    if (!file.isEmpty()) {
        path = converter.file(QStringLiteral("файл.xml"));
        TestFiles::write(path, file);
    }
    const ConverterRun::Result r = converter.run({QStringLiteral("list"), path}, 30000);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.out.contains(stdoutHas), qPrintable(r.out));
    QVERIFY2(r.err.contains(stderrHas), qPrintable(r.err));
    if (exitCode != 0)
        QVERIFY(r.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestCliList)
#include "tst_cli_list.moc"
