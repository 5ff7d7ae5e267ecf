#include "import/ImportXmlFile.h"
#include "records/RecordStore.h"
#include "records/TemplateSlot.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

class TestRecordStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void slotOf_data();
    void slotOf();
    void slotNames();
    void findByNumberDuplicates();
    void findAfterSmallerImport();
    void widths_data();
    void widths();
    void fieldMembers_data();
    void fieldMembers();
    void cutsRemembered_data();
    void cutsRemembered();
};

using Member = QString StudentRecord::*;
Q_DECLARE_METATYPE(Member)

void TestRecordStore::slotOf_data()
{
    QTest::addColumn<QString>("levelCode");
    QTest::addColumn<QString>("award");
    QTest::addColumn<int>("slot"); // 0: none
    QTest::newRow("5 plain") << u"5"_qs << u"0"_qs << 1;
    QTest::newRow("5 honours") << u"5"_qs << u"1"_qs << 2;
    QTest::newRow("6 empty award") << u"6"_qs << QString() << 3;
    QTest::newRow("6 honours") << u"6"_qs << u"1"_qs << 4;
    QTest::newRow("7 plain") << u"7"_qs << u"0"_qs << 5;
    QTest::newRow("7 other char is honours") << u"7"_qs << u"Д"_qs << 6;
    QTest::newRow("8 plain") << u"8"_qs << u"0"_qs << 7;
    QTest::newRow("8 honours") << u"8"_qs << u"1"_qs << 8;
    QTest::newRow("leading space then 6") << u" 6.020303"_qs << u"0"_qs << 3;
    QTest::newRow("code with more digits") << u"6.020303"_qs << u"1"_qs << 4;
    QTest::newRow("tab and newline trimmed") << u"\t\n8.03"_qs << u"0"_qs << 7;
    QTest::newRow("digit 9") << u"9"_qs << u"0"_qs << 0;
    QTest::newRow("digit 4") << u"4"_qs << u"0"_qs << 0;
    QTest::newRow("letter") << u"Б"_qs << u"0"_qs << 0;
    QTest::newRow("empty") << QString() << u"1"_qs << 0;
    QTest::newRow("blank") << u"   "_qs << u"1"_qs << 0;
}

void TestRecordStore::slotOf()
{
    QFETCH(QString, levelCode);
    QFETCH(QString, award);
    QFETCH(int, slot);
    RecordStore store;
    store.BeginImport();
    const int i = store.AppendRecord();
    SetField(store.MutableRecord(i), RecordField::LevelCode, levelCode);
    SetField(store.MutableRecord(i), RecordField::AwardTypeName, award);
    QCOMPARE(store.TemplateSlotOf(i).value_or(0), slot);
    QVERIFY(!store.TemplateSlotOf(0));
    QVERIFY(!store.TemplateSlotOf(2));
}

void TestRecordStore::slotNames()
{
    const QStringList names = TemplateSlotNames();
    QCOMPARE(names.size(), 8);
    QCOMPARE(names.at(0), u"Диплом мол. спец."_qs);
    QCOMPARE(names.at(1), u"Диплом мол. спец. з відзнакою"_qs);
    QCOMPARE(names.at(3), u"Диплом бакалавра з відзнакою"_qs);
    QCOMPARE(names.at(5), u"Диплом спеціаліста з відзнакою"_qs);
    QCOMPARE(names.at(7), u"Диплом магістра з відзнакою"_qs);
    QCOMPARE(TemplateSlotName(5), u"Диплом спеціаліста"_qs);
    QCOMPARE(TemplateSlotName(9), QString());
}

void TestRecordStore::findByNumberDuplicates()
{
    RecordStore store;
    store.BeginImport();
    for (int n : {7, 9, 7, 3}) {
        const int i = store.AppendRecord();
        store.MutableRecord(i).RecordNumber = n;
    }
    QCOMPARE(store.FindRecordByNumber(7).value_or(0), 1);
    QCOMPARE(store.FindRecordByNumber(3).value_or(0), 4);
    QVERIFY(!store.FindRecordByNumber(8));
}

static QByteArray recordsWithNumbers(int from, int count)
{
    QByteArray children;
    for (int i = 0; i < count; ++i)
        children += TestFiles::attributeRecord({{u"iddocument"_qs, QString::number(from + i)}});
    return TestFiles::edeboFile(children);
}

void TestRecordStore::findAfterSmallerImport()
{
    QTemporaryDir dir;
    const QString big = dir.filePath(u"big.xml"_qs);
    const QString small = dir.filePath(u"small.xml"_qs);
    TestFiles::write(big, recordsWithNumbers(1000, 500));
    TestFiles::write(small, recordsWithNumbers(1400, 100)); // 1400..1499 overlap the first
    RecordStore store;
    QStringList lines;
    QCOMPARE(ImportXmlFile(big, store, lines), std::nullopt);
    QCOMPARE(store.RecordCount(), 500);
    QCOMPARE(ImportXmlFile(small, store, lines), std::nullopt);
    QCOMPARE(store.RecordCount(), 100);
    QCOMPARE(lines.size(), 100);
    QVERIFY(!store.FindRecordByNumber(1000));
    QVERIFY(!store.FindRecordByNumber(1399));
    QCOMPARE(store.FindRecordByNumber(1400).value_or(0), 1);
    QCOMPARE(store.FindRecordByNumber(1499).value_or(0), 100);
}

void TestRecordStore::widths_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("width");
    QTest::newRow("LastName") << int(RecordField::LastName) << 40;
    QTest::newRow("MiddleNameEn") << int(RecordField::MiddleNameEn) << 40;
    QTest::newRow("DisplayName") << int(RecordField::DisplayName) << 100;
    QTest::newRow("DocumentSeries") << int(RecordField::DocumentSeries) << 20;
    QTest::newRow("IssueDate") << int(RecordField::IssueDate) << 20;
    QTest::newRow("SexId") << int(RecordField::SexId) << 1;
    QTest::newRow("AwardTypeName") << int(RecordField::AwardTypeName) << 1;
    QTest::newRow("UniversityPrintName unbounded") << int(RecordField::UniversityPrintName) << 0;
    QTest::newRow("BossFIO unbounded") << int(RecordField::BossFIO) << 0;
    QTest::newRow("DocumentNumber") << int(RecordField::DocumentNumber) << 20;
    QTest::newRow("GraduateDate") << int(RecordField::GraduateDate) << 20;
    QTest::newRow("FirstName") << int(RecordField::FirstName) << 40;
    QTest::newRow("MiddleName") << int(RecordField::MiddleName) << 40;
    QTest::newRow("LastNameEn") << int(RecordField::LastNameEn) << 40;
    QTest::newRow("FirstNameEn") << int(RecordField::FirstNameEn) << 40;
    QTest::newRow("UniversityPrintNameEn") << int(RecordField::UniversityPrintNameEn) << 0;
    QTest::newRow("LevelCode") << int(RecordField::LevelCode) << 0;
    QTest::newRow("SpecialityName") << int(RecordField::SpecialityName) << 0;
    QTest::newRow("SpecialityNameEn") << int(RecordField::SpecialityNameEn) << 0;
    QTest::newRow("QualificationName") << int(RecordField::QualificationName) << 0;
    QTest::newRow("QualificationNameEn") << int(RecordField::QualificationNameEn) << 0;
    QTest::newRow("BossPost") << int(RecordField::BossPost) << 0;
    QTest::newRow("BossPostEn") << int(RecordField::BossPostEn) << 0;
    QTest::newRow("BossFIOEn") << int(RecordField::BossFIOEn) << 0;
    QTest::newRow("FacultyName") << int(RecordField::FacultyName) << 0;
}

void TestRecordStore::widths()
{
    QFETCH(int, field);
    QFETCH(int, width);
    const auto f = static_cast<RecordField>(field);
    StudentRecord r;
    const QString longValue = QString(250, u'Щ') + u"\U0001F600"_qs;
    SetField(r, f, longValue);
    if (width == 0) {
        QCOMPARE(FieldRef(r, f), longValue);
    } else {
        QCOMPARE(FieldRef(r, f), QString(width, u'Щ'));
        // Characters outside the basic plane count as one.
        SetField(r, f, QString(width - 1, u'a') + u"\U0001F600xyz"_qs);
        QCOMPARE(FieldRef(r, f), QString(width - 1, u'a') + u"\U0001F600"_qs);
    }
}

void TestRecordStore::fieldMembers_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<Member>("member");
    // The row's name is the field's name: the import reads it as an element name.
    const std::pair<const char*, Member> members[] = {
        {"DisplayName", &StudentRecord::DisplayName},
        {"DocumentSeries", &StudentRecord::DocumentSeries},
        {"DocumentNumber", &StudentRecord::DocumentNumber},
        {"GraduateDate", &StudentRecord::GraduateDate},
        {"IssueDate", &StudentRecord::IssueDate},
        {"LastName", &StudentRecord::LastName},
        {"FirstName", &StudentRecord::FirstName},
        {"MiddleName", &StudentRecord::MiddleName},
        {"LastNameEn", &StudentRecord::LastNameEn},
        {"FirstNameEn", &StudentRecord::FirstNameEn},
        {"MiddleNameEn", &StudentRecord::MiddleNameEn},
        {"SexId", &StudentRecord::SexId},
        {"UniversityPrintName", &StudentRecord::UniversityPrintName},
        {"UniversityPrintNameEn", &StudentRecord::UniversityPrintNameEn},
        {"LevelCode", &StudentRecord::LevelCode},
        {"SpecialityName", &StudentRecord::SpecialityName},
        {"SpecialityNameEn", &StudentRecord::SpecialityNameEn},
        {"QualificationName", &StudentRecord::QualificationName},
        {"QualificationNameEn", &StudentRecord::QualificationNameEn},
        {"BossPost", &StudentRecord::BossPost},
        {"BossPostEn", &StudentRecord::BossPostEn},
        {"BossFIO", &StudentRecord::BossFIO},
        {"BossFIOEn", &StudentRecord::BossFIOEn},
        {"FacultyName", &StudentRecord::FacultyName},
        {"AwardTypeName", &StudentRecord::AwardTypeName},
    };
    QCOMPARE(Fields().size(), std::size(members));
    for (int i = 0; i < int(std::size(members)); ++i)
        QTest::newRow(members[i].first) << i << members[i].second;
}

// Each field of the table is its own member, and only that one.
void TestRecordStore::fieldMembers()
{
    QFETCH(int, field);
    QFETCH(Member, member);
    const auto f = static_cast<RecordField>(field);
    QCOMPARE(Fields()[field].Field, f);
    QCOMPARE(QLatin1StringView(InfoOf(f).Name), QLatin1StringView(QTest::currentDataTag()));
    StudentRecord r;
    SetField(r, f, u"1"_qs);
    QCOMPARE(r.*member, u"1"_qs);
    QCOMPARE(&FieldRef(std::as_const(r), f), &(r.*member));
    int filled = 0;
    for (const FieldInfo& info : Fields())
        filled += (r.*info.Member).isEmpty() ? 0 : 1;
    QCOMPARE(filled, 1);
}

using Assignments = QList<QPair<RecordField, QString>>;
Q_DECLARE_METATYPE(Assignments)

void TestRecordStore::cutsRemembered_data()
{
    QTest::addColumn<Assignments>("assigned"); // in this order
    QTest::addColumn<QStringList>("cuts");     // "<field>=<original>"
    const QString forty(40, u'Щ');
    QTest::newRow("a value that fits")
        << Assignments{{RecordField::LastName, forty}} << QStringList{};
    QTest::newRow("one past the width") << Assignments{{RecordField::LastName, forty + u'Я'}}
                                        << QStringList{u"LastName="_qs + forty + u'Я'};
    QTest::newRow("characters beyond 16 bits count as one")
        << Assignments{{RecordField::FirstNameEn, u"😀"_qs.repeated(40)}} << QStringList{};
    QTest::newRow("unbounded text is never cut")
        << Assignments{{RecordField::BossFIO, QString(5000, u'a')}} << QStringList{};
    QTest::newRow("several fields, in the order cut")
        << Assignments{{RecordField::MiddleNameEn, forty + u"xy"_qs},
                       {RecordField::DocumentSeries, QString(21, u'К')},
                       {RecordField::LastName, u"Бойко"_qs}}
        << QStringList{u"MiddleNameEn="_qs + forty + u"xy"_qs,
                       u"DocumentSeries="_qs + QString(21, u'К')};
    QTest::newRow("assigned again: the last value counts")
        << Assignments{{RecordField::LastName, forty + u"1"_qs},
                       {RecordField::LastName, forty + u"22"_qs},
                       {RecordField::FirstName, forty + u"3"_qs},
                       {RecordField::FirstName, u"Іван"_qs}}
        << QStringList{u"LastName="_qs + forty + u"22"_qs};
}

// The record keeps what SetField cut, so the check can say so.
void TestRecordStore::cutsRemembered()
{
    QFETCH(Assignments, assigned);
    QFETCH(QStringList, cuts);
    StudentRecord r;
    for (const auto& [field, value] : assigned)
        SetField(r, field, value);
    QStringList got;
    for (const CutValue& cut : r.Cuts)
        got << QLatin1StringView(InfoOf(cut.Field).Name) + u'=' + cut.Original;
    QCOMPARE(got, cuts);
}

QTEST_APPLESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
