#include "records/StudentListLine.h"
#include "records/TextRules.h"

#include <QTest>

class TestTextRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decodeQuotes_data();
    void decodeQuotes();
    void cutToWidth_data();
    void cutToWidth();
    void parseInt32_data();
    void parseInt32();
    void listLine_data();
    void listLine();
    void listLineNumber_data();
    void listLineNumber();
    void trimControls();
};

void TestTextRules::decodeQuotes_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("none") << u"Факультет"_qs << u"Факультет"_qs;
    QTest::newRow("pair") << u"ВНЗ &quot;Дніпро&quot;"_qs << u"ВНЗ \"Дніпро\""_qs;
    QTest::newRow("case matters") << u"&QUOT;x&Quot;"_qs << u"&QUOT;x&Quot;"_qs;
    QTest::newRow("partial") << u"&quot&quot;;"_qs << u"&quot\";"_qs;
    QTest::newRow("other entity kept") << u"&amp;quot;"_qs << u"&amp;quot;"_qs;
}

void TestTextRules::decodeQuotes()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(TextRules::DecodeQuotes(in), out);
}

void TestTextRules::cutToWidth_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("out");
    QTest::newRow("shorter") << u"abc"_qs << 5 << u"abc"_qs;
    QTest::newRow("exact") << u"abcde"_qs << 5 << u"abcde"_qs;
    QTest::newRow("cyrillic") << u"Їжакевич"_qs << 3 << u"Їжа"_qs;
    QTest::newRow("apostrophe kept") << u"Мʼясоїд"_qs << 2 << u"Мʼ"_qs;
    // A character outside the basic plane is one character, never split.
    QTest::newRow("surrogate pair") << u"a\U0001D11Eb"_qs << 2 << u"a\U0001D11E"_qs;
    QTest::newRow("surrogate at cut") << u"\U0001D11E\U0001D11E"_qs << 1 << u"\U0001D11E"_qs;
    QTest::newRow("one char") << u"1xyz"_qs << 1 << u"1"_qs;
}

void TestTextRules::cutToWidth()
{
    QFETCH(QString, in);
    QFETCH(int, width);
    QFETCH(QString, out);
    QCOMPARE(TextRules::CutToWidth(in, width), out);
}

void TestTextRules::parseInt32_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << u"57"_qs << true << 57;
    QTest::newRow("spaces around") << u"  57 "_qs << true << 57;
    QTest::newRow("minus") << u"-12"_qs << true << -12;
    QTest::newRow("plus") << u"+12"_qs << true << 12;
    QTest::newRow("sign and spaces") << u" -7 "_qs << true << -7;
    QTest::newRow("max") << u"2147483647"_qs << true << 2147483647;
    QTest::newRow("min") << u"-2147483648"_qs << true << int(-2147483647 - 1);
    QTest::newRow("above max") << u"2147483648"_qs << false << 0;
    QTest::newRow("below min") << u"-2147483649"_qs << false << 0;
    QTest::newRow("huge") << u"99999999999999999999999"_qs << false << 0;
    QTest::newRow("empty") << u""_qs << false << 0;
    QTest::newRow("spaces") << u"   "_qs << false << 0;
    QTest::newRow("sign alone") << u"-"_qs << false << 0;
    QTest::newRow("space inside") << u"1 2"_qs << false << 0;
    QTest::newRow("space after sign") << u"- 2"_qs << false << 0;
    QTest::newRow("letters") << u"12a"_qs << false << 0;
    QTest::newRow("hex") << u"0x1F"_qs << false << 0;
    QTest::newRow("arabic-indic digits") << u"١٢"_qs << false << 0;
}

void TestTextRules::parseInt32()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    qint32 v = 0;
    QCOMPARE(TextRules::ParseInt32(text, &v), ok);
    if (ok)
        QCOMPARE(v, value);
}

void TestTextRules::listLine_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("faculty");
    QTest::addColumn<QString>("line");
    const QString name20 = u"Коваленко Андрій Ів."_qs;
    QCOMPARE(name20.size(), 20);
    QTest::newRow("columns 13 and 52")
        << u"57"_qs << name20 << u"ФЕМ"_qs
        << u"57"_qs + QString(10, u' ') + name20 + QString(19, u' ') + u"ФЕМ"_qs;
    QTest::newRow("no faculty, no trailing spaces")
        << u"57"_qs << name20 << QString() << u"57"_qs + QString(10, u' ') + name20;
    const QString name38 = QString(38, u'Ж');
    QTest::newRow("name reaches column 50")
        << u"1"_qs << name38 << u"Ф"_qs << u"1"_qs + QString(11, u' ') + name38 + u"Ф"_qs;
    QTest::newRow("long number no padding")
        << u"12345678901"_qs << u"Ім"_qs << QString() << u"12345678901Ім"_qs;
    QTest::newRow("ten-digit number padded")
        << u"1234567890"_qs << u"Ім"_qs << QString() << u"1234567890  Ім"_qs;
    QTest::newRow("negative") << u"-5"_qs << u"Ім"_qs << QString() << u"-5          Ім"_qs;
    QTest::newRow("faculty quotes decoded")
        << u"1"_qs << u"А"_qs << u"Ф &quot;Х&quot;"_qs
        << u"1"_qs + QString(11, u' ') + u"А"_qs + QString(38, u' ') + u"Ф \"Х\""_qs;
}

void TestTextRules::listLine()
{
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QString, faculty);
    QFETCH(QString, line);
    QCOMPARE(FormatListLine(number, name, faculty), line);
}

void TestTextRules::listLineNumber_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("number");
    QTest::newRow("entry") << FormatListLine(u"57"_qs, u"Ім Б."_qs, u"Ф"_qs) << true << 57;
    QTest::newRow("negative") << FormatListLine(u"-3"_qs, u"Ім"_qs, QString()) << true << -3;
    QTest::newRow("no space") << u"12345678901Ім"_qs << false << 0;
    QTest::newRow("empty") << QString() << false << 0;
}

void TestTextRules::listLineNumber()
{
    QFETCH(QString, line);
    QFETCH(bool, ok);
    QFETCH(int, number);
    qint32 n = 0;
    QCOMPARE(ListLineNumber(line, &n), ok);
    if (ok)
        QCOMPARE(n, number);
}

void TestTextRules::trimControls()
{
    QCOMPARE(TextRules::TrimControls(u" \t\r\n /x/шаблон.doc \x01"_qs), u"/x/шаблон.doc"_qs);
    QCOMPARE(TextRules::TrimControls(u"   "_qs), QString());
    // A no-break space is text, not a control character.
    QCOMPARE(TextRules::TrimControls(u"\u00A0x"_qs), u"\u00A0x"_qs);
}

QTEST_APPLESS_MAIN(TestTextRules)
#include "tst_textrules.moc"
