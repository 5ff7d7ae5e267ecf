#include <QProcess>
#include <QTemporaryDir>
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
    QTemporaryDir dir;
    QString path = QStringLiteral(LUMAREL_SAMPLES "/edebo-attribute-form.xml");
    if (!file.isEmpty()) {
        path = dir.filePath(QStringLiteral("файл.xml"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    QProcess p;
    p.start(QStringLiteral(LUMAREL_CONVERT), {QStringLiteral("list"), path});
    QVERIFY(p.waitForFinished(30000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), exitCode);
    QVERIFY2(out.contains(stdoutHas), qPrintable(out));
    QVERIFY2(err.contains(stderrHas), qPrintable(err));
    if (exitCode != 0)
        QVERIFY(out.isEmpty());
}

QTEST_GUILESS_MAIN(TestCliList)
#include "tst_cli_list.moc"
