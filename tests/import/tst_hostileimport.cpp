// Hostile and broken XML files: each gives the import's refusal or a
// LumarelError with a Ukrainian text, never a crash or a hang, and the
// records of the previous file stay as they were.
#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"
#include "tests/support/TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

namespace {

const QByteArray OneRecord = "<Document><LastName>Косач</LastName><FirstName>Лариса</FirstName>"
                             "<DocumentNumber>42</DocumentNumber></Document>";

#if defined(__SANITIZE_ADDRESS__)
constexpr long MemoryFactor = 2; // red zones and the quarantine of freed blocks
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr long MemoryFactor = 2;
#else
constexpr long MemoryFactor = 1;
#endif
#else
constexpr long MemoryFactor = 1;
#endif

// Peak resident memory of this process so far, in megabytes.
long peakMegabytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

// A file of head, then filler repeated up to about size bytes, then tail,
// written piece by piece so the test itself stays small.
void writeBig(const QString& path, const QByteArray& head, const QByteArray& filler,
              const QByteArray& tail, qint64 size)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(head);
    QByteArray chunk;
    while (chunk.size() < (1 << 20))
        chunk += filler;
    qint64 written = head.size();
    while (written + chunk.size() + tail.size() <= size) {
        f.write(chunk);
        written += chunk.size();
    }
    f.write(tail);
}

bool isUkrainian(const QString& text)
{
    static const QRegularExpression cyrillic(QStringLiteral("\\p{Cyrillic}"));
    return text.contains(cyrillic);
}

} // namespace

class TestHostileImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    // First: it checks peak memory, which the big files below raise for good.
    void entityExpansionBounded_data();
    void entityExpansionBounded();
    void bigFile_data();
    void bigFile();
    void brokenFile_data();
    void brokenFile();
    void vanishedFile();
    void folderInsteadOfFile();
    void valueLength_data();
    void valueLength();
    void utf16WithoutDeclaration_data();
    void utf16WithoutDeclaration();

private:
    // Imports path; returns the refusal, or the error text prefixed "!".
    QString outcome(const QString& path);
    void expectPreviousKept();

    QTemporaryDir m_dir;
    RecordStore m_store;
    QStringList m_lines;
};

void TestHostileImport::init()
{
    m_store = RecordStore();
    m_store.BeginImport();
    m_store.MutableRecord(m_store.AppendRecord()).LastName = QStringLiteral("Попередній");
    m_lines = QStringList{QStringLiteral("1           Попередній")};
}

QString TestHostileImport::outcome(const QString& path)
{
    try {
        return ImportXmlFile(path, m_store, m_lines).value_or(QString());
    } catch (const LumarelError& e) {
        return u'!' + e.text();
    }
}

void TestHostileImport::expectPreviousKept()
{
    QCOMPARE(m_store.RecordCount(), 1);
    QCOMPARE(m_store.Record(1).LastName, QStringLiteral("Попередній"));
    QCOMPARE(m_lines.size(), 1);
}

void TestHostileImport::entityExpansionBounded_data()
{
    QTest::addColumn<QByteArray>("subset");
    QTest::addColumn<QByteArray>("use");
    QByteArray laughs = "<!ENTITY l0 \"lollollollollollollollollollol\">";
    for (int i = 1; i <= 9; ++i)
        laughs += "<!ENTITY l" + QByteArray::number(i) + " \"" +
                  ("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    // 3 * 10^9 characters if expanded.
    QTest::newRow("billion laughs") << laughs << QByteArray("&l9;");
    // A billion laughs in every one of 1000 records.
    QTest::newRow("billion laughs, 1000 times")
        << laughs
        << QByteArray("&l9;</LastName></Document><Document><LastName>&l9;").repeated(1000);
    // 5 * 10^9 characters from a file of 300 KB: one entity used often.
    QTest::newRow("quadratic") << QByteArray("<!ENTITY a \"" + QByteArray(100000, 'a') + "\">")
                               << QByteArray("&a;").repeated(50000);
    // Wide and shallow: each level doubles, 40 levels.
    QByteArray doubling = "<!ENTITY d0 \"dd\">";
    for (int i = 1; i <= 40; ++i)
        doubling += "<!ENTITY d" + QByteArray::number(i) + " \"&d" + QByteArray::number(i - 1) +
                    ";&d" + QByteArray::number(i - 1) + ";\">";
    QTest::newRow("doubling") << doubling << QByteArray("&d40;");
}

void TestHostileImport::entityExpansionBounded()
{
    QFETCH(QByteArray, subset);
    QFETCH(QByteArray, use);
    const QString path = m_dir.filePath(QStringLiteral("entities.xml"));
    TestFiles::write(path, "<?xml version=\"1.0\"?>\n<!DOCTYPE Documents [" + subset +
                               "]>\n<Documents><Document><DocumentNumber>1</DocumentNumber>"
                               "<LastName>" +
                               use + "</LastName></Document></Documents>");
    const long before = peakMegabytes();
    QElapsedTimer clock;
    clock.start();
    const QString result = outcome(path);
    // Not a speed figure: an expansion that ran would take minutes and gigabytes.
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(peakMegabytes() - before < 64 * MemoryFactor,
             qPrintable(QString::number(peakMegabytes() - before)));
    QVERIFY2(result.startsWith(u'!') && isUkrainian(result), qPrintable(result));
    QVERIFY2(result.contains(QStringLiteral("entities.xml")), qPrintable(result));
    QVERIFY2(result.contains(QStringLiteral("сутності")), qPrintable(result));
    expectPreviousKept();
}

void TestHostileImport::bigFile_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("filler");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<QString>("expected"); // the refusal, or "!" for an error

    // A million records: past the limit, whatever they hold.
    QTest::newRow("many records") << QByteArray("<Documents>") << OneRecord
                                  << QByteArray("</Documents>") << TooManyRecordsText;
    QTest::newRow("many other elements")
        << QByteArray("<Documents>" + OneRecord) << QByteArray("<x a=\"1\"/>")
        << QByteArray("</Documents>") << TooManyRecordsText;
    // One value of 50 MB: beyond what the parser takes in one text.
    QTest::newRow("one huge value")
        << QByteArray("<Documents><Document><DocumentNumber>1</DocumentNumber><LastName>")
        << QByteArray("Косач ") << QByteArray("</LastName></Document></Documents>")
        << QStringLiteral("!");
    QTest::newRow("one huge comment")
        << QByteArray("<Documents>" + OneRecord + "<!--") << QByteArray("comment ")
        << QByteArray("--></Documents>") << QStringLiteral("!");
    QTest::newRow("unclosed") << QByteArray("<Documents>") << OneRecord << QByteArray()
                              << QStringLiteral("!");
}

void TestHostileImport::bigFile()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, filler);
    QFETCH(QByteArray, tail);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath(QStringLiteral("big.xml"));
    writeBig(path, head, filler, tail, 50ll << 20);
    QVERIFY(QFileInfo(path).size() > (49ll << 20));

    const QString result = outcome(path);
    QFile::remove(path);
    if (expected == u"!") {
        QVERIFY2(result.startsWith(u'!') && isUkrainian(result), qPrintable(result));
        QVERIFY2(result.contains(QStringLiteral("big.xml")), qPrintable(result));
    } else {
        QCOMPARE(result, expected);
    }
    expectPreviousKept();
    // A refusal for size needs no tree: the file itself and a little more.
    // The malformed cases may build the tree up to the fault, about ten
    // times the file; nothing grows beyond that.
    QVERIFY2(peakMegabytes() < 768 * MemoryFactor, qPrintable(QString::number(peakMegabytes())));
}

void TestHostileImport::brokenFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected"); // the refusal, or "!" for an error

    QByteArray deep = "<Documents><Document><DocumentNumber>1</DocumentNumber><LastName>";
    deep += QByteArray("<a>").repeated(10000) + QByteArray("</a>").repeated(10000);
    deep += "</LastName></Document></Documents>";
    QTest::newRow("10000 levels in a value") << deep << QStringLiteral("!");
    QTest::newRow("10000 levels under the root")
        << QByteArray("<Documents>" + OneRecord + QByteArray("<a>").repeated(10000) +
                      QByteArray("</a>").repeated(10000) + "</Documents>")
        << QStringLiteral("!");
    QTest::newRow("10000 unclosed levels")
        << QByteArray("<Documents>" + QByteArray("<Document>").repeated(10000))
        << QStringLiteral("!");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("!");
    QTest::newRow("white space only") << QByteArray(" \r\n\t ") << QStringLiteral("!");
    QTest::newRow("pdf") << QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n")
                         << QStringLiteral("!");
    QTest::newRow("zip") << QByteArray("PK\x03\x04\x14\x00\x06\x00\x08\x00\x00\x00!\x00", 14)
                         << QStringLiteral("!");
    QTest::newRow("nul bytes") << QByteArray(4096, '\0') << QStringLiteral("!");
    QTest::newRow("plain text") << QByteArray("Прізвище;Ім'я\nКосач;Лариса\n")
                                << QStringLiteral("!");
    QTest::newRow("only a declaration")
        << QByteArray("<?xml version=\"1.0\"?>") << QStringLiteral("!");
    QTest::newRow("xml of another kind")
        << QByteArray("<html><body><p>Документ</p></body></html>") << WrongStructureText;
}

void TestHostileImport::brokenFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath(QStringLiteral("broken.xml"));
    TestFiles::write(path, bytes);
    const QString result = outcome(path);
    if (expected == u"!") {
        QVERIFY2(result.startsWith(u'!') && isUkrainian(result), qPrintable(result));
        QVERIFY2(result.contains(QStringLiteral("broken.xml")), qPrintable(result));
    } else {
        QCOMPARE(result, expected);
    }
    expectPreviousKept();
}

void TestHostileImport::vanishedFile()
{
    // Chosen in the dialog, gone before the import reads it.
    const QString path = m_dir.filePath(QStringLiteral("gone.xml"));
    TestFiles::write(path, TestFiles::edeboFile(TestFiles::elementRecord()));
    QVERIFY(QFile::remove(path));
    const QString result = outcome(path);
    QVERIFY2(result.startsWith(QStringLiteral("!Не вдалося відкрити файл")), qPrintable(result));
    QVERIFY(result.contains(QStringLiteral("gone.xml")));
    expectPreviousKept();
}

void TestHostileImport::folderInsteadOfFile()
{
    const QString path = m_dir.filePath(QStringLiteral("folder.xml"));
    QVERIFY(QDir().mkpath(path));
    const QString result = outcome(path);
    QVERIFY2(result.startsWith(QStringLiteral("!Не вдалося відкрити файл")), qPrintable(result));
    expectPreviousKept();
}

void TestHostileImport::valueLength_data()
{
    QTest::addColumn<bool>("attributeForm");
    QTest::addColumn<QString>("name"); // of the attribute or element
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected"); // empty: read; else what the error names

    const QString bound = QString(MaxValueLength, u'Щ');
    QTest::newRow("attribute at the bound") << true << u"lastname"_qs << bound << QString();
    QTest::newRow("attribute one past the bound")
        << true << u"lastname"_qs << bound + u'Щ'
        << u"значення атрибута \"lastname\" надто довге: 4001 символів, найбільше можна 4000"_qs;
    QTest::newRow("a megabyte in an unbounded attribute")
        << true << u"universityname"_qs << QString(1 << 20, u'a')
        << u"значення атрибута \"universityname\" надто довге: 1048576 символів"_qs;
    QTest::newRow("an optional attribute") << true << u"specdirprofnameen"_qs << bound + u'x'
                                           << u"значення атрибута \"specdirprofnameen\""_qs;
    // Characters, not UTF-16 units: 4000 emoji are 8000 units.
    QTest::newRow("characters beyond 16 bits at the bound")
        << true << u"lastname"_qs << u"😀"_qs.repeated(MaxValueLength) << QString();
    // "&quot;" as the parser gives it is one character of the value.
    QTest::newRow("quotes counted once decoded")
        << true << u"fio"_qs << u"&quot;"_qs.repeated(MaxValueLength) << QString();
    QTest::newRow("element one past the bound")
        << false << u"SpecialityName"_qs << bound + u'Щ'
        << u"значення елемента \"SpecialityName\" надто довге: 4001 символів"_qs;
    QTest::newRow("element read twice")
        << false << u"DocumentNumber"_qs << u"0"_qs.repeated(MaxValueLength + 1)
        << u"значення елемента \"DocumentNumber\""_qs;
}

// A value no real export reaches would hold the office for minutes: the file
// is refused, naming the record and the value, and nothing is lost.
void TestHostileImport::valueLength()
{
    QFETCH(bool, attributeForm);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const auto record = [&](const QList<QPair<QString, QString>>& overrides) {
        return attributeForm ? TestFiles::attributeRecord(overrides)
                             : TestFiles::elementRecord(overrides);
    };
    const QString path = m_dir.filePath(QStringLiteral("long.xml"));
    TestFiles::write(path, TestFiles::edeboFile(record({}) + record({{name, value}})));
    const QString result = outcome(path);
    if (expected.isEmpty()) {
        QCOMPARE(result, QString());
        QCOMPARE(m_store.RecordCount(), 2);
        return;
    }
    QVERIFY2(result.startsWith(u"!Запис №2 xml-файлу"), qPrintable(result.left(200)));
    QVERIFY2(result.contains(expected), qPrintable(result.left(200)));
    expectPreviousKept();
}

void TestHostileImport::utf16WithoutDeclaration_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString body = QStringLiteral("<Documents>") + QString::fromUtf8(OneRecord) +
                         QStringLiteral("</Documents>");
    using F = QStringEncoder::Flag;
    QTest::newRow("LE with BOM") << QByteArray(
        QStringEncoder(QStringEncoder::Utf16LE, F::WriteBom).encode(body));
    QTest::newRow("BE with BOM") << QByteArray(
        QStringEncoder(QStringEncoder::Utf16BE, F::WriteBom).encode(body));
    QTest::newRow("LE without BOM")
        << QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(body));
    QTest::newRow("BE without BOM")
        << QByteArray(QStringEncoder(QStringEncoder::Utf16BE).encode(body));
    QTest::newRow("LE without BOM, white space first")
        << QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(u"\r\n"_qs + body));
}

void TestHostileImport::utf16WithoutDeclaration()
{
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("utf16.xml"));
    TestFiles::write(path, bytes);
    const QString result = outcome(path);
    QCOMPARE(result, QString());
    QCOMPARE(m_store.RecordCount(), 1);
    QCOMPARE(m_store.Record(1).LastName, QStringLiteral("Косач"));
    QCOMPARE(m_store.Record(1).RecordNumber, 42);
}

QTEST_GUILESS_MAIN(TestHostileImport)
#include "tst_hostileimport.moc"
