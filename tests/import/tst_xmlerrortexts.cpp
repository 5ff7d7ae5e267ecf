// What a user reads when a file is no well-formed XML: the parser's reason in
// Ukrainian and the one place where it stopped.
#include "import/ImportXmlFile.h"
#include "import/XmlErrorTexts.h"
#include "records/LumarelError.h"

#include <QTest>

#include <libxml/xmlerror.h>

class TestXmlErrorTexts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void brokenFiles_data();
    void brokenFiles();
    void reasons_data();
    void reasons();
};

namespace {
QString importError(const QByteArray& bytes)
{
    RecordStore store;
    QStringList lines;
    try {
        ImportXmlBytes(bytes, QStringLiteral("/tmp/broken.xml"), store, lines);
    } catch (const LumarelError& e) {
        return e.text();
    }
    return QStringLiteral("NO ERROR");
}
} // namespace

void TestXmlErrorTexts::brokenFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("place"); // inside the brackets of the frame
    QTest::addColumn<QString>("reason");

    QTest::newRow("cut off inside a record")
        << QByteArray("<?xml version=\"1.0\"?>\n<documents>\n  <document>\n   <documentdata "
                      "iddocument=\"1\"/>\n")
        << u"рядок 5, стовпець 1"_qs << u"файл обривається, а тег <document> не закрито"_qs;
    QTest::newRow("mismatched closing tag")
        << QByteArray("<documents>\n<document></documnt>\n</documents>\n")
        << u"рядок 2, стовпець 21"_qs
        << u"закривальний тег </documnt> не відповідає відкритому тегу <document>"_qs;
    QTest::newRow("control character in a value")
        << QByteArray("<documents>\n<document a=\"\x01\"/>\n</documents>\n")
        << u"рядок 2, стовпець 14"_qs << u"недопустимий символ"_qs;
    QTest::newRow("Windows-1251 bytes in a UTF-8 file")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<documents>\n<document "
                      "a=\"\xcf\xf0\xb3\"/>\n</documents>\n")
        << u"рядок 3, стовпець 14"_qs
        << u"байти, які не є текстом у кодуванні файлу (без encoding у заголовку файл має бути в "
           "UTF-8)"_qs;
    QTest::newRow("garbage after the root")
        << QByteArray("<documents>\n<document/>\n</documents>\n<x/>\n") << u"рядок 4, стовпець 1"_qs
        << u"після закривального кореневого тегу є ще текст або теги"_qs;
    QTest::newRow("only white space") << QByteArray("   \n\n") << u"рядок 3, стовпець 1"_qs
                                      << u"у файлі немає жодного тегу: він порожній або це не "
                                         "xml-файл"_qs;
    QTest::newRow("plain text")
        << QByteArray("Прізвище;Ім'я\n") << u"рядок 1, стовпець 1"_qs
        << u"у файлі немає жодного тегу: він порожній або це не xml-файл"_qs;
    // The first fault is the cause: the later ones only follow from it.
    QTest::newRow("unescaped < in a value")
        << QByteArray("<documents>\n<document a=\"x<y\"/>\n</documents>\n")
        << u"рядок 2, стовпець 15"_qs << u"символ «<» у значенні атрибута (має бути &lt;)"_qs;
    QTest::newRow("bare ampersand")
        << QByteArray("<documents>\n<document>a & b</document>\n</documents>\n")
        << u"рядок 2, стовпець 14"_qs
        << u"очікувалася назва тегу, атрибута чи сутності; можливо, "
           "символ «&» не записано як &amp;"_qs;
    QTest::newRow("value without quotes")
        << QByteArray("<documents>\n<document a=1/>\n</documents>\n") << u"рядок 2, стовпець 13"_qs
        << u"значення атрибута не взято в лапки"_qs;
    QTest::newRow("attribute twice")
        << QByteArray("<documents>\n<document a=\"1\" a=\"2\"/>\n</documents>\n")
        << u"рядок 2, стовпець 22"_qs << u"атрибут «a» повторюється в одному тегу"_qs;
    QTest::newRow("unknown encoding")
        << QByteArray("<?xml version=\"1.0\" encoding=\"foo\"?>\n<documents/>\n")
        << u"рядок 1, стовпець 35"_qs << u"кодування «foo» не підтримується"_qs;
    QTest::newRow("declaration after a blank line")
        << QByteArray("\n<?xml version=\"1.0\"?>\n<documents/>\n") << u"рядок 2, стовпець 6"_qs
        << u"заголовок <?xml …?> стоїть не на самому початку файлу"_qs;
    QTest::newRow("comment not closed")
        << QByteArray("<documents>\n<!-- c\n") << u"рядок 3, стовпець 1"_qs
        << u"коментар не закрито («-->»)"_qs;
}

void TestXmlErrorTexts::brokenFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, place);
    QFETCH(QString, reason);
    const QString text = importError(bytes);
    QCOMPARE(text,
             u"Файл \"broken.xml\" не є правильним xml-файлом (%1): %2"_qs.arg(place, reason));
    // One line number only, and none of the parser's English.
    QCOMPARE(text.count(u"рядок"), 1);
    QVERIFY2(!text.contains(u" line "), qPrintable(text));
}

void TestXmlErrorTexts::reasons_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("place");
    QTest::newRow("named entity") << int(XML_ERR_UNDECLARED_ENTITY) << u"nbsp"_qs << 20
                                  << u"сутність &nbsp; не оголошено"_qs
                                  << u"рядок 7, стовпець 20"_qs;
    QTest::newRow("no column") << int(XML_ERR_DOCUMENT_END) << QString() << 0
                               << u"після закривального кореневого тегу є ще текст або теги"_qs
                               << u"рядок 7"_qs;
    QTest::newRow("invalid encoding")
        << int(XML_ERR_INVALID_ENCODING) << QString() << 3
        << u"байти, які не є текстом у кодуванні файлу"_qs << u"рядок 7, стовпець 3"_qs;
    // A code outside the table keeps the parser's own words.
    QTest::newRow("not in the table") << int(XML_ERR_PI_NOT_FINISHED) << QString() << 1
                                      << u"PI x never end ..."_qs << u"рядок 7, стовпець 1"_qs;
    QTest::newRow("nothing said") << 99999 << QString() << 1 << u"невідома помилка"_qs
                                  << u"рядок 7, стовпець 1"_qs;
}

void TestXmlErrorTexts::reasons()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QFETCH(int, column);
    QFETCH(QString, reason);
    QFETCH(QString, place);
    const XmlFault fault{code, 7,         column,
                         name, QString(), code == 99999 ? u"  "_qs : u"PI x never end ...\n"_qs};
    QCOMPARE(XmlFaultReason(fault), reason);
    QCOMPARE(XmlFaultPlace(fault), place);
}

QTEST_GUILESS_MAIN(TestXmlErrorTexts)
#include "tst_xmlerrortexts.moc"
