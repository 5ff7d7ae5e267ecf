#include "generate/TagSubstitution.h"
#include "generate/tags/TagTable.h"
#include "records/LumarelError.h"
#include "tests/support/TextDocumentSession.h"

#include <QSet>
#include <QTest>

// The one table of tags: every row it holds is both listed and replaced.
class TestTagRows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valueOf_data();
    void valueOf();
    void everyRowIsReplaced_data();
    void everyRowIsReplaced();
    void repeatedTagsShareTheirValue();
    void tagOrders_data();
    void tagOrders();
    void badDatePartThrows_data();
    void badDatePartThrows();
};

namespace {

StudentRecord sampleRecord()
{
    StudentRecord r;
    const std::pair<QString StudentRecord::*, const char*> values[] = {
        {&StudentRecord::LastName, "Шевченко"},
        {&StudentRecord::FirstName, "Тарас"},
        {&StudentRecord::MiddleName, "Григорович"},
        {&StudentRecord::LastNameEn, "Shevchenko"},
        {&StudentRecord::FirstNameEn, "Taras"},
        {&StudentRecord::MiddleNameEn, "Hryhorovych"},
        {&StudentRecord::SexId, "2"},
        {&StudentRecord::DocumentSeries, "КВ"},
        {&StudentRecord::BossFIOEn, "P. Ivanenko"},
        {&StudentRecord::IssueDate, "2.11.2016 0:00:00"},
        {&StudentRecord::GraduateDate, "23/3/2015"},
        {&StudentRecord::DocumentNumber, "000777"},
        {&StudentRecord::UniversityPrintName, "Київський університет"},
        {&StudentRecord::UniversityPrintNameEn, "Kyiv University"},
        {&StudentRecord::SpecialityName, "Філологія"},
        {&StudentRecord::SpecialityNameEn, "Philology"},
        {&StudentRecord::QualificationName, "Магістр"},
        {&StudentRecord::QualificationNameEn, "Master"},
        {&StudentRecord::BossPost, "Ректор"},
        {&StudentRecord::BossPostEn, "Rector"},
        {&StudentRecord::BossFIO, "П. Іваненко"},
        {&StudentRecord::DisplayName, "Шевченко Т.Г."},
        {&StudentRecord::FacultyName, "Факультет"},
        {&StudentRecord::LevelCode, "7"},
        {&StudentRecord::AwardTypeName, "1"},
    };
    for (const auto& [field, value] : values)
        r.*field = QString::fromUtf8(value);
    return r;
}

// Each tag's value for sampleRecord(), and without its dates.
const char* const Expected[][3] = {
    {"#Серія диплома#", "КВ", "КВ"},
    {"#Ім`я#", "Тарас", "Тарас"},
    {"#Middle name#", "Hryhorovych", "Hryhorovych"},
    {"#З_Рід#", "ла", "ла"},
    {"#boss#", "P. Ivanenko", "P. Ivanenko"},
    {"#ДатаДп#", "02", ""},
    {"#РікДп#", "16", ""},
    {"#МісДп#", "листопада", ""},
    {"#MonthDp#", "November", ""},
    {"#МісДпЧисло#", "11", ""},
    {"#AddDateEnDp#", "nd", ""},
    {"#ДатаЗн#", "23", ""},
    {"#РікЗн#", "15", ""},
    {"#МісЗн#", "березня", ""},
    {"#MonthZn#", "March", ""},
    {"#МісЗнЧисло#", "03", ""},
    {"#AddDateEnZn#", "rd", ""},
    {"#Номер диплома#", "000777", "000777"},
    {"#Прізвище#", "Шевченко", "Шевченко"},
    {"#Last name#", "Shevchenko", "Shevchenko"},
    {"#First name#", "Taras", "Taras"},
    {"#По батькові#", "Григорович", "Григорович"},
    {"#ВНЗ#", "Київський університет", "Київський університет"},
    {"#Universityname#", "Kyiv University", "Kyiv University"},
    {"#Напрям/спеціальність#", "Філологія", "Філологія"},
    {"#field of study#", "Philology", "Philology"},
    {"#Кваліфікація#", "Магістр", "Магістр"},
    {"#qualification#", "Master", "Master"},
    {"#Посада керівника#", "Ректор", "Ректор"},
    {"#bossworkpost#", "Rector", "Rector"},
    {"#Керівник#", "П. Іваненко", "П. Іваненко"},
};

} // namespace

void TestTagRows::valueOf_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("valueWithoutDates");
    for (const auto& row : Expected)
        QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1])
                              << QString::fromUtf8(row[2]);
}

void TestTagRows::valueOf()
{
    QFETCH(QString, tag);
    QFETCH(QString, value);
    QFETCH(QString, valueWithoutDates);
    StudentRecord noDates = sampleRecord();
    noDates.IssueDate.clear();
    noDates.GraduateDate.clear();
    int found = 0;
    for (const TagRow& row : TagTable::Rows()) {
        if (row.Tag != tag)
            continue;
        ++found;
        QCOMPARE(TagTable::ValueOf(row.Value, sampleRecord()), value);
        QCOMPARE(TagTable::ValueOf(row.Value, noDates), valueWithoutDates);
    }
    QVERIFY(found > 0);
}

void TestTagRows::everyRowIsReplaced_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < TagTable::Rows().size(); ++i)
        QTest::addRow("%d %s", i + 1, qPrintable(TagTable::Rows().at(i).Tag)) << i;
}

// A row added to the table is filled in without a second place to touch.
void TestTagRows::everyRowIsReplaced()
{
    QFETCH(int, index);
    const TagRow& row = TagTable::Rows().at(index);
    const StudentRecord record = sampleRecord();
    TextDocumentSession doc(SurnameTag + u'|' + row.Tag + u'|' + row.Tag);
    QVERIFY(SubstituteTags(record, doc));
    QString value;
    for (const auto& expected : Expected) {
        if (QString::fromUtf8(expected[0]) == row.Tag)
            value = QString::fromUtf8(expected[1]);
    }
    QVERIFY2(!value.isEmpty(), "a new tag needs its value in Expected");
    QCOMPARE(doc.text(), u"Шевченко|"_qs + value + u'|' + value);
    int calls = 0;
    for (const auto& call : doc.replaceCalls())
        calls += call.first == row.Tag ? 1 : 0;
    QCOMPARE(calls, 1);
}

// A tag listed twice is replaced once, so its rows must agree on the value.
void TestTagRows::repeatedTagsShareTheirValue()
{
    const QList<TagRow>& rows = TagTable::Rows();
    int listed = 0;
    for (const TagRow& row : rows) {
        listed += row.Listed ? 1 : 0;
        for (const TagRow& other : rows) {
            if (other.Tag == row.Tag)
                QCOMPARE(other.Value, row.Value);
        }
    }
    QCOMPARE(listed, 31);
    QCOMPARE(TagTable::ReplacementOrder().size(), 31);
}

void TestTagRows::tagOrders_data()
{
    QTest::addColumn<TagTable::TagOrder>("order");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("last");
    QTest::newRow("replacement") << TagTable::TagOrder::Replacement << u"#Прізвище#"_qs
                                 << u"#Ім`я#"_qs << u"#AddDateEnZn#"_qs;
    QTest::newRow("reference") << TagTable::TagOrder::Reference << u"#Серія диплома#"_qs
                               << u"#Номер диплома#"_qs << u"#Middle name#"_qs;
}

// Both orders hold every tag once; the office searches in one, the checks
// report in the other.
void TestTagRows::tagOrders()
{
    QFETCH(TagTable::TagOrder, order);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, last);
    const QStringList& tags = TagTable::Tags(order);
    QCOMPARE(tags.size(), 31);
    QCOMPARE(tags.at(0), first);
    QCOMPARE(tags.at(1), second);
    QCOMPARE(tags.last(), last);
    QCOMPARE(QSet<QString>(tags.cbegin(), tags.cend()).size(), 31);
    for (const TagRow& row : TagTable::Rows())
        QVERIFY2(tags.contains(row.Tag), qPrintable(row.Tag));
}

void TestTagRows::badDatePartThrows_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("error");
    QTest::newRow("word month") << u"30.черв.2015"_qs << u"'черв' is not a valid integer value"_qs;
    QTest::newRow("time after slash")
        << u"25/06/2012 0:00:00"_qs << u"'2012 0:00:00' is not a valid integer value"_qs;
}

void TestTagRows::badDatePartThrows()
{
    QFETCH(QString, date);
    QFETCH(QString, error);
    StudentRecord record = sampleRecord();
    record.GraduateDate = date;
    for (TagValue value :
         {TagValue::GraduateDay, TagValue::GraduateYear, TagValue::GraduateDaySuffix}) {
        try {
            TagTable::ValueOf(value, record);
            QFAIL("no error");
        } catch (const LumarelError& e) {
            QCOMPARE(e.text(), error);
        }
    }
    // The other date is untouched by it.
    QCOMPARE(TagTable::ValueOf(TagValue::IssueDay, record), u"02"_qs);
}

QTEST_GUILESS_MAIN(TestTagRows)
#include "tst_tagtable.moc"
