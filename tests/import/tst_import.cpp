#include "import/BossShortName.h"
#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"
#include "tests/support/TestFiles.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using TestFiles::attributeRecord;
using TestFiles::edeboFile;
using TestFiles::elementRecord;

namespace {

// A file with an internal subset; "@X@" in the records stands for raw markup
// (an entity reference), which the record builders would escape.
QByteArray withSubset(const QByteArray& subset, const QByteArray& records,
                      const QByteArray& raw = QByteArray())
{
    QByteArray body = records;
    body.replace("@X@", raw);
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE documents [" + subset + "]>\n<documents>\n" + body +
           "</documents>\n";
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void attributeForm_data();
    void attributeForm();
    void elementForm_data();
    void elementForm();
    void elementFormDisplayName_data();
    void elementFormDisplayName();
    void levelCodeFromTypeId_data();
    void levelCodeFromTypeId();
    void refusals_data();
    void refusals();
    void childLimit_data();
    void childLimit();
    void raisedErrors_data();
    void raisedErrors();
    void mixedForms();
    void skippedChildren();
    void quotesDecoded();
    void secondImportReplaces();
    void encodings_data();
    void encodings();
    void lineBreakInValue();
    void hostileExternalEntity();
    void hostileEntityBomb();
    void prefixedNames_data();
    void prefixedNames();
    void ownEntities_data();
    void ownEntities();
    void entityRefusals_data();
    void entityRefusals();
    void bossShortName_data();
    void bossShortName();

private:
    QString write(const QByteArray& bytes);
    // Imports and expects an error; the store and lines must be untouched.
    QString importExpectingError(const QByteArray& bytes);

    QTemporaryDir m_dir;
    int m_files = 0;
    RecordStore m_store;
    QStringList m_lines;
};

void TestImport::init()
{
    m_store = RecordStore();
    m_lines.clear();
}

QString TestImport::write(const QByteArray& bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("f%1.xml").arg(++m_files));
    TestFiles::write(path, bytes);
    return path;
}

QString TestImport::importExpectingError(const QByteArray& bytes)
{
    // A previous file's records are there before.
    if (ImportXmlFile(write(edeboFile(attributeRecord({{u"iddocument"_qs, u"77"_qs}}))), m_store,
                      m_lines))
        return u"SETUP FAILED"_qs;
    const QStringList before = m_lines;
    try {
        ImportXmlFile(write(bytes), m_store, m_lines);
    } catch (const LumarelError& e) {
        if (m_store.RecordCount() != 1 || m_store.Record(1).RecordNumber != 77 || m_lines != before)
            return u"STATE CHANGED"_qs;
        return e.text();
    }
    return u"NO ERROR"_qs;
}

namespace {

// A stored record's value by field name, with its slot and list line, so
// that one table row checks one thing the import produced.
QString storedValue(const RecordStore& store, const QStringList& lines, int index,
                    const QString& field)
{
    static const QHash<QString, QString StudentRecord::*> texts = {
        {u"DisplayName"_qs, &StudentRecord::DisplayName},
        {u"DocumentSeries"_qs, &StudentRecord::DocumentSeries},
        {u"DocumentNumber"_qs, &StudentRecord::DocumentNumber},
        {u"GraduateDate"_qs, &StudentRecord::GraduateDate},
        {u"IssueDate"_qs, &StudentRecord::IssueDate},
        {u"LastName"_qs, &StudentRecord::LastName},
        {u"FirstName"_qs, &StudentRecord::FirstName},
        {u"MiddleName"_qs, &StudentRecord::MiddleName},
        {u"LastNameEn"_qs, &StudentRecord::LastNameEn},
        {u"FirstNameEn"_qs, &StudentRecord::FirstNameEn},
        {u"MiddleNameEn"_qs, &StudentRecord::MiddleNameEn},
        {u"SexId"_qs, &StudentRecord::SexId},
        {u"UniversityPrintName"_qs, &StudentRecord::UniversityPrintName},
        {u"UniversityPrintNameEn"_qs, &StudentRecord::UniversityPrintNameEn},
        {u"LevelCode"_qs, &StudentRecord::LevelCode},
        {u"SpecialityName"_qs, &StudentRecord::SpecialityName},
        {u"SpecialityNameEn"_qs, &StudentRecord::SpecialityNameEn},
        {u"QualificationName"_qs, &StudentRecord::QualificationName},
        {u"QualificationNameEn"_qs, &StudentRecord::QualificationNameEn},
        {u"BossPost"_qs, &StudentRecord::BossPost},
        {u"BossPostEn"_qs, &StudentRecord::BossPostEn},
        {u"BossFIO"_qs, &StudentRecord::BossFIO},
        {u"BossFIOEn"_qs, &StudentRecord::BossFIOEn},
        {u"FacultyName"_qs, &StudentRecord::FacultyName},
        {u"AwardTypeName"_qs, &StudentRecord::AwardTypeName},
    };
    if (index > store.RecordCount())
        return u"NO RECORD"_qs;
    const StudentRecord& r = store.Record(index);
    if (field == u"RecordNumber")
        return QString::number(r.RecordNumber);
    if (field == u"TemplateSlot")
        return QString::number(store.TemplateSlotOf(index).value_or(0));
    if (field == u"line")
        return index <= lines.size() ? lines.at(index - 1) : u"NO LINE"_qs;
    if (!texts.contains(field))
        qFatal("unknown field %s", qPrintable(field));
    return r.*texts.value(field);
}

void addFieldRows(int index, const QList<std::pair<const char*, QString>>& rows)
{
    for (const auto& [field, value] : rows)
        QTest::addRow("%d %s", index, field) << index << QString::fromLatin1(field) << value;
}

} // namespace

void TestImport::attributeForm_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    addFieldRows(1, {
                        {"RecordNumber", u"1001"_qs},
                        {"DisplayName", u"Шевченко Тарас Григорович"_qs},
                        {"LastName", u"Шевченко"_qs},
                        {"FirstName", u"Тарас"_qs},
                        {"MiddleName", u"Григорович"_qs},
                        {"LastNameEn", u"Shevchenko"_qs},
                        {"FirstNameEn", u"Taras"_qs},
                        {"MiddleNameEn", u"Hryhorovych"_qs},
                        {"FacultyName", u"Факультет філології"_qs},
                        {"UniversityPrintName", u"Київський університет"_qs},
                        {"UniversityPrintNameEn", u"Kyiv University"_qs},
                        {"DocumentSeries", u"КВ"_qs},
                        {"DocumentNumber", u"12345678"_qs},
                        {"SexId", u"1"_qs},
                        {"LevelCode", u"6.020303"_qs},
                        {"SpecialityName", u"Філологія"_qs},
                        {"SpecialityNameEn", u"Philology"_qs},
                        {"QualificationName", u"бакалавр філології"_qs},
                        {"QualificationNameEn", u"Bachelor of Philology"_qs},
                        {"BossPost", u"Ректор"_qs},
                        {"BossPostEn", u"Rector"_qs},
                        {"BossFIO", u"П.С. Іваненко"_qs},
                        {"BossFIOEn", u"P. Ivanenko"_qs},
                        {"IssueDate", u"30.06.2015"_qs},
                        {"GraduateDate", QString()},
                        {"AwardTypeName", u"0"_qs},
                        {"TemplateSlot", u"3"_qs},
                        // The name at column 13, the faculty at column 52.
                        {"line", u"1001        Шевченко Тарас Григорович              "
                                 u"Факультет філології"_qs},
                    });
    // Without "middlename", a woman with honours, a two-word "boss".
    addFieldRows(2, {
                        {"RecordNumber", u"1002"_qs},
                        {"MiddleName", QString()},
                        {"DisplayName", u"Шевченко Тарас Григорович"_qs},
                        {"SexId", u"2"_qs},
                        {"AwardTypeName", u"1"_qs},
                        {"BossFIO", u"П.П. Іваненко"_qs},
                        {"TemplateSlot", u"4"_qs},
                        {"line", u"1002        Шевченко Тарас Григорович              "
                                 u"Факультет філології"_qs},
                    });
}

void TestImport::attributeForm()
{
    QFETCH(int, index);
    QFETCH(QString, field);
    QFETCH(QString, value);
    const QString path =
        write(edeboFile(attributeRecord() + attributeRecord({{u"iddocument"_qs, u"1002"_qs},
                                                             {u"middlename"_qs, QString()},
                                                             {u"idtypesex"_qs, u"2"_qs},
                                                             {u"award"_qs, u"1"_qs},
                                                             {u"boss"_qs, u"Іваненко Петро"_qs}})));
    QCOMPARE(ImportXmlFile(path, m_store, m_lines), std::nullopt);
    QCOMPARE(m_store.RecordCount(), 2);
    QCOMPARE(m_lines.size(), 2);
    QCOMPARE(storedValue(m_store, m_lines, index, field), value);
}

void TestImport::elementForm_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    addFieldRows(1, {
                        {"LastName", u"Косач"_qs},
                        {"FirstName", u"Лариса"_qs},
                        {"MiddleName", u"Петрівна"_qs},
                        {"DisplayName", u"Косач Л.П."_qs},
                        {"LastNameEn", u"Kosach"_qs},
                        {"FirstNameEn", u"Larysa"_qs},
                        {"MiddleNameEn", u"Petrivna"_qs},
                        {"RecordNumber", u"40123456"_qs},
                        {"FacultyName", u"Факультет мистецтв"_qs},
                        {"UniversityPrintName", u"Львівський університет"_qs},
                        {"UniversityPrintNameEn", u"Lviv University"_qs},
                        {"DocumentSeries", u"ЛВ"_qs},
                        {"DocumentNumber", u"40123456"_qs},
                        {"SexId", u"2"_qs},
                        {"LevelCode", u"8"_qs},
                        {"SpecialityName", u"Музичне мистецтво"_qs},
                        {"SpecialityNameEn", u"Musical Art"_qs},
                        {"QualificationName", u"магістр"_qs},
                        {"QualificationNameEn", u"Master"_qs},
                        {"BossPost", u"Ректор"_qs},
                        {"BossPostEn", u"Rector"_qs},
                        {"BossFIO", u"О.М. Мельник"_qs}, // stored as written
                        {"BossFIOEn", u"O. Melnyk"_qs},
                        {"IssueDate", u"01.07.2016 0:00:00"_qs},
                        {"GraduateDate", u"25.06.2016"_qs},
                        {"AwardTypeName", u"1"_qs},
                        {"TemplateSlot", u"8"_qs},
                        {"line", u"40123456    Косач Л.П.                             "
                                 u"Факультет мистецтв"_qs},
                    });
    // After a comment; no graduation date and no faculty.
    addFieldRows(2, {
                        {"RecordNumber", u"40123457"_qs},
                        {"DocumentNumber", u"40123457"_qs},
                        {"GraduateDate", QString()},
                        {"FacultyName", QString()},
                        {"line", u"40123457    Косач Л.П."_qs},
                    });
}

void TestImport::elementForm()
{
    QFETCH(int, index);
    QFETCH(QString, field);
    QFETCH(QString, value);
    const QString path = write(edeboFile(elementRecord() + u"<!-- між записами -->\n"_qs.toUtf8() +
                                         elementRecord({{u"DocumentNumber"_qs, u"40123457"_qs},
                                                        {u"GraduateDate"_qs, QString()},
                                                        {u"FacultyName"_qs, QString()}})));
    QCOMPARE(ImportXmlFile(path, m_store, m_lines), std::nullopt);
    QCOMPARE(m_store.RecordCount(), 2);
    QCOMPARE(m_lines.size(), 2);
    QCOMPARE(storedValue(m_store, m_lines, index, field), value);
}

void TestImport::elementFormDisplayName_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("middle");
    QTest::addColumn<QString>("display");
    QTest::newRow("full") << u"Лариса"_qs << u"Петрівна"_qs << u"Косач Л.П."_qs;
    QTest::newRow("no middle") << u"Лариса"_qs << QString() << u"Косач Л."_qs;
    QTest::newRow("no first, no middle") << QString() << QString() << u"Косач ."_qs;
}

void TestImport::elementFormDisplayName()
{
    QFETCH(QString, first);
    QFETCH(QString, middle);
    QFETCH(QString, display);
    QCOMPARE(ImportXmlFile(write(edeboFile(elementRecord(
                               {{u"FirstName"_qs, first}, {u"MiddleName"_qs, middle}}))),
                           m_store, m_lines),
             std::nullopt);
    QCOMPARE(m_store.Record(1).DisplayName, display);
}

void TestImport::levelCodeFromTypeId_data()
{
    QTest::addColumn<QString>("typeId");
    QTest::addColumn<QString>("level");
    QTest::newRow("5") << u"5"_qs << u"5"_qs;
    QTest::newRow("55") << u"55"_qs << u"5"_qs;
    QTest::newRow("6") << u"6"_qs << u"6"_qs;
    QTest::newRow("66") << u"66"_qs << u"6"_qs;
    QTest::newRow("7") << u"7"_qs << u"7"_qs;
    QTest::newRow("8") << u"8"_qs << u"8"_qs;
    QTest::newRow("9") << u"9"_qs << QString();
    QTest::newRow("77") << u"77"_qs << QString();
    QTest::newRow("space 6") << u" 6"_qs << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestImport::levelCodeFromTypeId()
{
    QFETCH(QString, typeId);
    QFETCH(QString, level);
    QCOMPARE(ImportXmlFile(write(edeboFile(elementRecord({{u"DocumentTypeId"_qs, typeId}}))),
                           m_store, m_lines),
             std::nullopt);
    QCOMPARE(m_store.Record(1).LevelCode, level);
}

void TestImport::refusals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("no records") << edeboFile("<student/><doc/>") << WrongStructureText;
    QTest::newRow("empty root") << QByteArray("<documents/>") << WrongStructureText;
    QTest::newRow("wrong case") << edeboFile("<DOCUMENT/>") << WrongStructureText;
    QTest::newRow("records one level down")
        << edeboFile("<group>" + attributeRecord() + "</group>") << WrongStructureText;
    QByteArray many;
    for (int i = 0; i < 1001; ++i)
        many += "<document/>";
    QTest::newRow("1001 records") << edeboFile(many) << TooManyRecordsText;
}

void TestImport::refusals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(ImportXmlFile(write(edeboFile(attributeRecord({{u"iddocument"_qs, u"77"_qs}}))),
                           m_store, m_lines),
             std::nullopt);
    const QStringList before = m_lines;
    QCOMPARE(ImportXmlFile(write(bytes), m_store, m_lines).value_or(QString()), text);
    QCOMPARE(m_store.RecordCount(), 1);
    QCOMPARE(m_store.Record(1).RecordNumber, 77);
    QCOMPARE(m_lines, before);
}

void TestImport::childLimit_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("comments");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("1000 records") << 1000 << 0 << true;
    QTest::newRow("999 records and a comment") << 999 << 1 << true;
    QTest::newRow("1000 records and a comment") << 1000 << 1 << false;
    QTest::newRow("10 records, 991 comments") << 10 << 991 << false;
}

void TestImport::childLimit()
{
    QFETCH(int, records);
    QFETCH(int, comments);
    QFETCH(bool, accepted);
    QByteArray children;
    for (int i = 0; i < records; ++i)
        children += TestFiles::elementRecord({{u"DocumentNumber"_qs, QString::number(i + 1)}});
    for (int i = 0; i < comments; ++i)
        children += "<!-- c -->\n  \n"; // white space between nodes is not a node
    const QString text =
        ImportXmlFile(write(edeboFile(children)), m_store, m_lines).value_or(QString());
    QCOMPARE(text, accepted ? QString() : TooManyRecordsText);
    QCOMPARE(m_store.RecordCount(), accepted ? records : 0);
}

void TestImport::raisedErrors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("mentions"); // what the message must name
    QTest::newRow("malformed") << QByteArray("<documents><document>") << u"рядок"_qs;
    QTest::newRow("not xml") << QByteArray("PK\x03\x04 this is a zip") << u"xml"_qs;
    QTest::newRow("empty file") << QByteArray() << u"порожній"_qs;
    QTest::newRow("missing fio in second record")
        << edeboFile(attributeRecord() + attributeRecord({{u"fio"_qs, QString()}}))
        << u"Запис №2"_qs;
    QTest::newRow("missing award names it")
        << edeboFile(attributeRecord({{u"award"_qs, QString()}})) << u"\"award\""_qs;
    QTest::newRow("iddocument not a number")
        << edeboFile(attributeRecord({{u"iddocument"_qs, u"12a"_qs}})) << u"\"12a\""_qs;
    QTest::newRow("iddocument out of range")
        << edeboFile(attributeRecord({{u"iddocument"_qs, u"4294967296"_qs}})) << u"iddocument"_qs;
    QTest::newRow("element DocumentNumber empty")
        << edeboFile(elementRecord() + elementRecord({{u"DocumentNumber"_qs, QString()}}))
        << u"Запис №2"_qs;
    QTest::newRow("element DocumentNumber missing")
        << edeboFile(elementRecord({{u"DocumentNumber"_qs, QString()}})) << u"DocumentNumber"_qs;
    QTest::newRow("element value with child elements")
        << edeboFile("<Document><LastName><b>Кос</b>ач</LastName><DocumentNumber>1</DocumentNumber>"
                     "</Document>")
        << u"LastName"_qs;
    // A comment or instruction would be dropped silently, joining the parts.
    QTest::newRow("element value with a comment")
        << edeboFile(
               "<Document><LastName>Ко<!--x-->сач</LastName><DocumentNumber>1</DocumentNumber>"
               "</Document>")
        << u"\"LastName\" містить коментар"_qs;
    QTest::newRow("element value with an instruction")
        << edeboFile("<Document><DocumentNumber>1</DocumentNumber><FacultyName>Ф<?pi x?>М"
                     "</FacultyName></Document>")
        << u"\"FacultyName\" містить коментар або інструкцію обробки"_qs;
    QTest::newRow("record number with a comment")
        << edeboFile("<Document><DocumentNumber>1<!---->2</DocumentNumber></Document>")
        << u"\"DocumentNumber\""_qs;
    QTest::newRow("file vanished") << QByteArray("VANISH") << u"Не вдалося"_qs;
}

void TestImport::raisedErrors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, mentions);
    QString text;
    if (bytes == "VANISH") {
        QCOMPARE(ImportXmlFile(write(edeboFile(attributeRecord({{u"iddocument"_qs, u"77"_qs}}))),
                               m_store, m_lines),
                 std::nullopt);
        try {
            ImportXmlFile(m_dir.filePath(u"немає.xml"_qs), m_store, m_lines);
            text = u"NO ERROR"_qs;
        } catch (const LumarelError& e) {
            text = m_store.RecordCount() == 1 ? e.text() : u"STATE CHANGED"_qs;
        }
    } else {
        text = importExpectingError(bytes);
    }
    QVERIFY2(text.contains(mentions), qPrintable(text));
}

void TestImport::mixedForms()
{
    // "document" decides the attribute form; the "Document" children are skipped.
    const QString path = write(edeboFile(elementRecord() + attributeRecord() + elementRecord()));
    QCOMPARE(ImportXmlFile(path, m_store, m_lines), std::nullopt);
    QCOMPARE(m_store.RecordCount(), 1);
    QCOMPARE(m_store.Record(1).RecordNumber, 1001);
}

void TestImport::skippedChildren()
{
    const QString path =
        write(edeboFile("<document><other/></document>" + attributeRecord() + "<?pi x?><note/>" +
                        attributeRecord({{u"iddocument"_qs, u"1002"_qs}})));
    QCOMPARE(ImportXmlFile(path, m_store, m_lines), std::nullopt);
    QCOMPARE(m_store.RecordCount(), 2);
    QCOMPARE(m_store.Record(1).RecordNumber, 1001);
    QCOMPARE(m_store.Record(2).RecordNumber, 1002);
    QCOMPARE(m_lines.size(), 2);
}

void TestImport::quotesDecoded()
{
    // Written in the file as &amp;quot; — the parser gives "&quot;", we give the quote.
    const QString path = write(edeboFile(
        "<document><documentdata iddocument=\"1\" fio=\"Ім &amp;quot;Я&amp;quot;\" lastname=\"Л\" "
        "firstname=\"Ф\" facultetfullname=\"Факультет &amp;quot;Мист&amp;quot;\" "
        "universityname=\"У\" "
        "series=\"С\" number=\"Н\" idtypesex=\"1\" educationqualificationname=\"К\" "
        "bossworkpost=\"П\" bossworkposten=\"P\" boss=\"Б\" bossen=\"B\" dategive=\"\" "
        "award=\"0\"/></document>"));
    QCOMPARE(ImportXmlFile(path, m_store, m_lines), std::nullopt);
    QCOMPARE(m_store.Record(1).DisplayName, u"Ім \"Я\""_qs);
    QCOMPARE(m_store.Record(1).FacultyName, u"Факультет \"Мист\""_qs);
    QVERIFY(m_lines.at(0).endsWith(u"Факультет \"Мист\""_qs));
}

void TestImport::secondImportReplaces()
{
    QCOMPARE(ImportXmlFile(write(edeboFile(elementRecord() + elementRecord())), m_store, m_lines),
             std::nullopt);
    QCOMPARE(ImportXmlFile(write(edeboFile(attributeRecord())), m_store, m_lines), std::nullopt);
    QCOMPARE(m_store.RecordCount(), 1);
    QCOMPARE(m_lines.size(), 1);
    // Fields the attribute form does not supply are empty, not left over.
    QCOMPARE(m_store.Record(1).GraduateDate, QString());
}

void TestImport::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString body =
        u"<documents>"_qs + QString::fromUtf8(attributeRecord()) + u"</documents>"_qs;
    QTest::newRow("utf-8 declared")
        << (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"_qs + body).toUtf8();
    QTest::newRow("utf-8 with BOM") << QByteArray("\xEF\xBB\xBF") + body.toUtf8();
    QTest::newRow("utf-8 no declaration") << body.toUtf8();
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QTest::newRow("utf-16 declared")
        << QByteArray(utf16.encode(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"_qs + body));
    QStringEncoder utf16b(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
    QTest::newRow("utf-16 BE, no declaration") << QByteArray(utf16b.encode(body));
    QStringEncoder cp1251("windows-1251");
    QTest::newRow("windows-1251") << QByteArray(
        cp1251.encode(u"<?xml version=\"1.0\" encoding=\"windows-1251\"?>"_qs + body));
}

void TestImport::encodings()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(ImportXmlFile(write(bytes), m_store, m_lines), std::nullopt);
    QCOMPARE(m_store.RecordCount(), 1);
    QCOMPARE(m_store.Record(1).LastName, u"Шевченко"_qs);
    QCOMPARE(m_store.Record(1).UniversityPrintName, u"Київський університет"_qs);
}

void TestImport::lineBreakInValue()
{
    // Exports carry "&#xA;" inside values; the break is kept, and characters
    // outside the old code page survive.
    QCOMPARE(ImportXmlFile(
                 write(edeboFile(
                     "<document><documentdata iddocument=\"5\" fio=\"Мʼясоїд\" "
                     "lastname=\"Мʼясоїд\" firstname=\"Ф\" universityname=\"Рядок 1&#xA;Рядок 2\" "
                     "series=\"С\" number=\"Н\" idtypesex=\"1\" educationqualificationname=\"К\" "
                     "bossworkpost=\"П\" bossworkposten=\"P\" boss=\"Б\" bossen=\"B\" "
                     "dategive=\"\" award=\"0\"/></document>")),
                 m_store, m_lines),
             std::nullopt);
    QCOMPARE(m_store.Record(1).UniversityPrintName, u"Рядок 1\nРядок 2"_qs);
    QCOMPARE(m_store.Record(1).LastName, u"Мʼясоїд"_qs);
}

void TestImport::hostileExternalEntity()
{
    const QString secret = m_dir.filePath(u"secret.txt"_qs);
    TestFiles::write(secret, "TOP-SECRET-CONTENT");
    const QByteArray xml =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE documents [<!ENTITY x SYSTEM \"file://" +
        secret.toUtf8() + "\">]>\n<documents>" +
        attributeRecord({{u"fio"_qs, u"@@X@@"_qs}}).replace("@@X@@", "&x;") + "</documents>";
    QString result;
    try {
        result = ImportXmlFile(write(xml), m_store, m_lines).value_or(QString());
    } catch (const LumarelError& e) {
        QVERIFY2(!e.text().contains(u"TOP-SECRET"_qs), qPrintable(e.text()));
        return; // a clear error is fine
    }
    QCOMPARE(result, QString());
    QVERIFY(!m_store.Record(1).DisplayName.contains(u"TOP-SECRET"_qs));
    QVERIFY(!m_lines.join(u'\n').contains(u"TOP-SECRET"_qs));
}

void TestImport::hostileEntityBomb()
{
    QByteArray dtd = "<!ENTITY l0 \"lollollollollollollollollollol\">";
    for (int i = 1; i <= 9; ++i)
        dtd +=
            QStringLiteral("<!ENTITY l%1 \"&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;\">")
                .arg(i)
                .arg(i - 1)
                .toUtf8();
    const QByteArray xml =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE documents [" + dtd + "]>\n<documents>" +
        elementRecord({{u"LastName"_qs, u"@@X@@"_qs}}).replace("@@X@@", "&l9;") + "</documents>";
    try {
        const QString result = ImportXmlFile(write(xml), m_store, m_lines).value_or(QString());
        QCOMPARE(result, QString());
        QVERIFY(m_store.Record(1).LastName.size() <= 40);
        QVERIFY(m_lines.join(QString()).size() < 10000);
    } catch (const LumarelError& e) {
        QVERIFY(!e.text().isEmpty());
    }
}

void TestImport::prefixedNames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<int>("records");
    const QByteArray ns = " xmlns:x=\"urn:x\"";
    QByteArray attr = attributeRecord();
    attr.replace("<document>", "<x:document" + ns + ">").replace("</document>", "</x:document>");
    QByteArray elem = elementRecord();
    elem.replace("<Document>", "<x:Document" + ns + ">").replace("</Document>", "</x:Document>");
    QTest::newRow("x:document") << edeboFile(attr) << WrongStructureText << 0;
    QTest::newRow("x:Document") << edeboFile(elem) << WrongStructureText << 0;
    QByteArray undeclared = elementRecord();
    undeclared.replace("Document>", "y:Document>");
    QTest::newRow("undeclared prefix") << edeboFile(undeclared) << WrongStructureText << 0;
    // Prefixed records beside a plain one are skipped, still counted children.
    QTest::newRow("beside a plain record")
        << edeboFile(attr + attributeRecord({{u"iddocument"_qs, u"5"_qs}})) << QString() << 1;
    QByteArray data = attributeRecord();
    data.replace("<documentdata", "<x:documentdata" + ns);
    QTest::newRow("x:documentdata is no documentdata")
        << edeboFile(data + attributeRecord({{u"iddocument"_qs, u"5"_qs}})) << QString() << 1;
    // Over the child limit: prefixed records are no records, so the structure
    // message comes first; one plain record among them makes it the limit.
    const QByteArray prefixed = "<x:document" + ns + "/>";
    QTest::newRow("1001 prefixed records")
        << edeboFile(prefixed.repeated(1001)) << WrongStructureText << 0;
    QTest::newRow("1001 children, one plain record")
        << edeboFile(prefixed.repeated(1000) + attributeRecord()) << TooManyRecordsText << 0;
    // A default namespace adds no prefix: the names are as written.
    QByteArray deflt = elementRecord();
    deflt.replace("<Document>", "<Document xmlns=\"urn:d\">");
    QTest::newRow("default namespace") << edeboFile(deflt) << QString() << 1;
}

void TestImport::prefixedNames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    QFETCH(int, records);
    QCOMPARE(ImportXmlFile(write(bytes), m_store, m_lines).value_or(QString()), refusal);
    if (refusal.isEmpty()) {
        QCOMPARE(m_store.RecordCount(), records);
        QCOMPARE(m_lines.size(), records);
    }
    // The tree-less first pass of a big file must agree: the same file
    // padded past the size from which it runs gives the same outcome.
    QByteArray big = bytes;
    big.insert(big.indexOf("<documents>"), "<!--" + QByteArray(9 << 20, 'p') + "-->\n");
    RecordStore store;
    QStringList lines;
    QCOMPARE(ImportXmlFile(write(big), store, lines).value_or(QString()), refusal);
    QCOMPARE(store.RecordCount(), refusal.isEmpty() ? records : 0);
}

void TestImport::ownEntities_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<QString>("university");
    const QByteArray u = "<!ENTITY u \"Університет\">";
    QTest::newRow("element value")
        << withSubset(u, elementRecord({{u"UniversityPrintName"_qs, u"@X@ мистецтв"_qs}}), "&u;")
        << u"Косач"_qs << u"Університет мистецтв"_qs;
    QTest::newRow("attribute value")
        << withSubset(u, attributeRecord({{u"universityname"_qs, u"@X@ і @X@"_qs}}), "&u;")
        << u"Шевченко"_qs << u"Університет і Університет"_qs;
    QTest::newRow("entity of entities")
        << withSubset(u + "<!ENTITY k \"Київський &u;\">",
                      elementRecord({{u"UniversityPrintName"_qs, u"@X@"_qs}}), "&k;")
        << u"Косач"_qs << u"Київський Університет"_qs;
    // The quote in an entity is decoded like any "&quot;" text.
    QTest::newRow("quote text in an entity")
        << withSubset("<!ENTITY q \"ЛНУ &#38;amp;quot;Франка&#38;amp;quot;\">",
                      elementRecord({{u"UniversityPrintName"_qs, u"@X@"_qs}}), "&q;")
        << u"Косач"_qs << u"ЛНУ \"Франка\""_qs;
    QTest::newRow("character references")
        << withSubset("<!ENTITY a \"&#1040;\">", elementRecord({{u"LastName"_qs, u"@X@бв"_qs}}),
                      "&a;")
        << u"Абв"_qs << u"Львівський університет"_qs;
    // A parameter entity of the file itself loads nothing: it is read.
    QTest::newRow("internal parameter entity")
        << withSubset("<!ENTITY % p \"<!ENTITY u 'Університет'>\"> %p;",
                      elementRecord({{u"UniversityPrintName"_qs, u"@X@"_qs}}), "&u;")
        << u"Косач"_qs << u"Університет"_qs;
    QTest::newRow("a whole record from an entity")
        << withSubset("<!ENTITY r \"" + elementRecord().replace('"', "&#34;").trimmed() + "\">",
                      "@X@", "&r;")
        << u"Косач"_qs << u"Львівський університет"_qs;
}

void TestImport::ownEntities()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, lastName);
    QFETCH(QString, university);
    QCOMPARE(ImportXmlFile(write(bytes), m_store, m_lines), std::nullopt);
    QCOMPARE(m_store.RecordCount(), 1);
    QCOMPARE(m_store.Record(1).LastName, lastName);
    QCOMPARE(m_store.Record(1).UniversityPrintName, university);
    QVERIFY(!m_lines.at(0).contains(u'&'));
}

void TestImport::entityRefusals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("mentions");
    const QString secret = m_dir.filePath(u"secret.txt"_qs);
    TestFiles::write(secret, "<!ENTITY leak \"TOP-SECRET\">TOP-SECRET");
    const QByteArray url = "file://" + QFile::encodeName(secret);
    const QByteArray lastName = elementRecord({{u"LastName"_qs, u"@X@"_qs}});
    QTest::newRow("external entity used")
        << withSubset("<!ENTITY x SYSTEM \"" + url + "\">", lastName, "&x;") << u"зовнішн"_qs;
    QTest::newRow("external entity in an attribute")
        << withSubset("<!ENTITY x SYSTEM \"" + url + "\">",
                      attributeRecord({{u"fio"_qs, u"@X@"_qs}}), "&x;")
        << u"зовнішн"_qs;
    QTest::newRow("external entity declared only")
        << withSubset("<!ENTITY x SYSTEM \"" + url + "\">", elementRecord()) << u"зовнішн"_qs;
    QTest::newRow("external entity by public id")
        << withSubset("<!ENTITY x PUBLIC \"-//X//Y\" \"" + url + "\">", lastName, "&x;")
        << u"зовнішн"_qs;
    QTest::newRow("external parameter entity")
        << withSubset("<!ENTITY % p SYSTEM \"" + url + "\"> %p;", lastName, "&leak;")
        << u"зовнішн"_qs;
    QTest::newRow("external parameter entity over the network")
        << withSubset("<!ENTITY % p SYSTEM \"http://127.0.0.1:9/x.dtd\"> %p;", elementRecord())
        << u"зовнішн"_qs;
    QTest::newRow("unparsed entity")
        << withSubset("<!NOTATION n SYSTEM \"n\"><!ENTITY x SYSTEM \"" + url + "\" NDATA n>",
                      elementRecord())
        << u"зовнішн"_qs;
    // Undeclared: no text must stand in for it.
    QTest::newRow("undeclared after a parameter entity")
        << withSubset("<!ENTITY % p \"\"> %p;", lastName, "&nowhere;") << u"&nowhere;"_qs;
    QTest::newRow("undeclared in an attribute after a parameter entity")
        << withSubset("<!ENTITY % p \"\"> %p;", attributeRecord({{u"fio"_qs, u"@X@"_qs}}),
                      "&nowhere;")
        << u"nowhere"_qs;
    QTest::newRow("undeclared without a subset")
        << edeboFile(lastName).replace("@X@", "&nowhere;") << u"nowhere"_qs;
    QTest::newRow("entity refers to itself")
        << withSubset("<!ENTITY a \"x&b;\"><!ENTITY b \"y&a;\">", lastName, "&a;") << u"рядок"_qs;
    QByteArray laughs = "<!ENTITY l0 \"lollollollollollollollollollol\">";
    for (int i = 1; i <= 9; ++i)
        laughs += "<!ENTITY l" + QByteArray::number(i) + " \"" +
                  ("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    QTest::newRow("billion laughs") << withSubset(laughs, lastName, "&l9;") << u"сутності"_qs;
    // Linear in the file, quadratic in the text: 100 KB used 5000 times.
    const QByteArray big = "<!ENTITY a \"" + QByteArray(100000, 'a') + "\">";
    QTest::newRow("one big entity used often")
        << withSubset(big, lastName, QByteArray("&a;").repeated(5000)) << u"сутності"_qs;
    QTest::newRow("one big entity used often in an attribute")
        << withSubset(big, attributeRecord({{u"fio"_qs, u"@X@"_qs}}),
                      QByteArray("&a;").repeated(5000))
        << u"сутності"_qs;
}

void TestImport::entityRefusals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, mentions);
    const QString text = importExpectingError(bytes);
    QVERIFY2(text.contains(mentions), qPrintable(text));
    QVERIFY2(!text.contains(u"TOP-SECRET"_qs), qPrintable(text));
}

void TestImport::bossShortName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("initials");
    QTest::addColumn<QString>("shortName");
    QTest::newRow("three words") << u"Кічук Ярослав Васильович"_qs << 2 << u"Я.В. Кічук"_qs;
    QTest::newRow("two words repeat initial") << u"Кічук Ярослав"_qs << 2 << u"Я.Я. Кічук"_qs;
    QTest::newRow("english two words") << u"Kichuk Yaroslav"_qs << 1 << u"Y. Kichuk"_qs;
    QTest::newRow("english three words") << u"Kichuk Yaroslav V"_qs << 1 << u"Y. Kichuk"_qs;
    QTest::newRow("initials first") << u"Я.В. Кічук"_qs << 2 << u"Я.В. Кічук"_qs;
    QTest::newRow("initials after") << u"Кічук Я.В."_qs << 2 << u"Кічук Я.В."_qs;
    QTest::newRow("english initials") << u"Y. Kichuk"_qs << 1 << u"Y. Kichuk"_qs;
    QTest::newRow("last char kept") << u"Іваненко І"_qs << 2 << u"І.І. Іваненко"_qs;
    QTest::newRow("last char kept, en") << u"Ivanenko I"_qs << 1 << u"I. Ivanenko"_qs;
    QTest::newRow("one word") << u"Кічук"_qs << 2 << u"Кічук"_qs;
    QTest::newRow("empty") << QString() << 2 << QString();
    QTest::newRow("double spaces") << u"Кічук  Ярослав  Васильович"_qs << 2 << u"Я.В. Кічук"_qs;
    QTest::newRow("apostrophe in name") << u"Мʼясоїд Ірина Юріївна"_qs << 2 << u"І.Ю. Мʼясоїд"_qs;
    // Decided: the whole value is trimmed before it is split, so a space in
    // front does not make the surname empty.
    QTest::newRow("space in front") << u" Коваль Іван Андрійович"_qs << 2 << u"І.А. Коваль"_qs;
    QTest::newRow("space in front, en") << u" Koval Ivan"_qs << 1 << u"I. Koval"_qs;
}

void TestImport::bossShortName()
{
    QFETCH(QString, name);
    QFETCH(int, initials);
    QFETCH(QString, shortName);
    QCOMPARE(BossShortName(name, initials), shortName);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
