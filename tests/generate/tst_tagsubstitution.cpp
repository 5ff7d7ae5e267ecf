#include "generate/ResultTexts.h"
#include "generate/TagSubstitution.h"
#include "generate/tags/TagTable.h"
#include "records/LumarelError.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TextDocumentSession.h"

#include <QTest>

// Tag substitution on a document held in memory.
class TestTagSubstitution : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void acceptance_data();
    void acceptance();
    void replacementOrder();
    void valuesAsStored();
    void genderEnding_data();
    void genderEnding();
    void monthNames_data();
    void monthNames();
    void ordinalSuffix_data();
    void ordinalSuffix();
    void dateGroup_data();
    void dateGroup();
    void suffixOnlyWhenPresent();
    void emptyIssueDate();
    void onlyTagsTheTextHolds_data();
    void onlyTagsTheTextHolds();
    void everyTagWhenTheTextIsNotAll();
    void conversionErrors_data();
    void conversionErrors();
    void literalValues_data();
    void literalValues();
    void impossibleDates_data();
    void impossibleDates();
};

namespace {

using TestFiles::AllTags;

StudentRecord sampleRecord()
{
    StudentRecord r;
    r.LastName = u"Шевченко"_qs;
    r.FirstName = u"Тарас"_qs;
    r.MiddleName = u"Григорович"_qs;
    r.LastNameEn = u"Shevchenko"_qs;
    r.FirstNameEn = u"Taras"_qs;
    r.MiddleNameEn = u"Hryhorovych"_qs;
    r.SexId = u"1"_qs;
    r.SpecialityName = u"Філологія"_qs;
    r.SpecialityNameEn = u"Philology"_qs;
    r.QualificationName = u"бакалавр"_qs;
    r.QualificationNameEn = u"Bachelor"_qs;
    r.DocumentSeries = u"КВ"_qs;
    r.DocumentNumber = u"12345678"_qs;
    r.UniversityPrintName = u"Київський університет"_qs;
    r.UniversityPrintNameEn = u"Kyiv University"_qs;
    r.BossPost = u"Ректор"_qs;
    r.BossPostEn = u"Rector"_qs;
    r.BossFIO = u"Іваненко П.С."_qs;
    r.BossFIOEn = u"P. Ivanenko"_qs;
    r.IssueDate = u"30.06.2015"_qs;
    r.GraduateDate = u"1/9/2015"_qs;
    return r;
}

// The six tags of one group, separated so each value can be read back.
QString groupTemplate(bool issue)
{
    const int first = issue ? 19 : 25;
    QStringList parts{u"#Прізвище#"_qs};
    for (int k = first; k < first + 6; ++k)
        parts << AllTags.at(k);
    return parts.join(u'|');
}

QStringList tagsOf(const TextDocumentSession& doc)
{
    QStringList tags;
    for (const auto& call : doc.replaceCalls())
        tags << call.first;
    return tags;
}

} // namespace

void TestTagSubstitution::acceptance_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("after");
    QTest::newRow("other tags only") << u"#Ім`я# #ДатаДп# #ДатаЗн# #AddDateEnZn#"_qs << false
                                     << u"#Ім`я# #ДатаДп# #ДатаЗн# #AddDateEnZn#"_qs;
    // The check is exact even though the replacement ignores letter case.
    QTest::newRow("surname in other case")
        << u"#прізвище# #Ім`я#"_qs << false << u"#прізвище# #Ім`я#"_qs;
    QTest::newRow("Latin i in surname") << u"#Прiзвище#"_qs << false << u"#Прiзвище#"_qs;
    QTest::newRow("surname only") << u"Диплом: #Прізвище#."_qs << true << u"Диплом: Шевченко."_qs;
    QTest::newRow("surname twice")
        << u"#Прізвище#/#Прізвище#"_qs << true << u"Шевченко/Шевченко"_qs;
}

void TestTagSubstitution::acceptance()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, after);
    TextDocumentSession doc(text);
    QCOMPARE(SubstituteTags(sampleRecord(), doc).filled, accepted);
    QCOMPARE(doc.text(), after);
    if (!accepted) {
        QVERIFY(doc.replaceCalls().isEmpty());
        QCOMPARE(doc.readCount(), 1);
    }
}

void TestTagSubstitution::replacementOrder()
{
    TextDocumentSession doc(AllTags.join(u' '));
    QVERIFY(SubstituteTags(sampleRecord(), doc));
    QCOMPARE(tagsOf(doc), AllTags);
    // One search of the document, one pass of writing.
    QCOMPARE(doc.readCount(), 1);
    QCOMPARE(doc.passCount(), 1);
    QCOMPARE(doc.text(),
             u"Шевченко Тарас Григорович Shevchenko Taras Hryhorovych в Філологія Philology "
             u"бакалавр Bachelor КВ 12345678 Київський університет Kyiv University Ректор Rector "
             u"Іваненко П.С. P. Ivanenko 30 15 червня June 06 th 01 15 вересня September 09 st"_qs);
}

void TestTagSubstitution::valuesAsStored()
{
    StudentRecord r = sampleRecord();
    r.LastName = u"  Шевченко\nКобзар "_qs;
    r.UniversityPrintName = u"\"Університет\"\n(м. Київ)"_qs;
    TextDocumentSession doc(u"[#Прізвище#] [#ВНЗ#] [#ВНЗ#]"_qs);
    QVERIFY(SubstituteTags(r, doc));
    QCOMPARE(doc.text(), u"[  Шевченко\nКобзар ] [\"Університет\"\n(м. Київ)] "
                         u"[\"Університет\"\n(м. Київ)]"_qs);
}

void TestTagSubstitution::genderEnding_data()
{
    QTest::addColumn<QString>("sexId");
    QTest::addColumn<QString>("ending");
    QTest::newRow("1") << u"1"_qs << u"в"_qs;
    QTest::newRow("2") << u"2"_qs << u"ла"_qs;
    QTest::newRow("empty") << QString() << u" "_qs;
    QTest::newRow("other") << u"3"_qs << u" "_qs;
    QTest::newRow("space") << u" "_qs << u" "_qs;
}

void TestTagSubstitution::genderEnding()
{
    QFETCH(QString, sexId);
    QFETCH(QString, ending);
    StudentRecord r = sampleRecord();
    r.SexId = sexId;
    TextDocumentSession doc(u"#Прізвище# закінчи#З_Рід#"_qs);
    QVERIFY(SubstituteTags(r, doc));
    QCOMPARE(doc.text(), u"Шевченко закінчи"_qs + ending);
}

void TestTagSubstitution::monthNames_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("ukrainian");
    QTest::addColumn<QString>("english");
    QTest::newRow("0") << 0 << QString() << QString();
    QTest::newRow("1") << 1 << u"січня"_qs << u"January"_qs;
    QTest::newRow("2") << 2 << u"лютого"_qs << u"February"_qs;
    QTest::newRow("3") << 3 << u"березня"_qs << u"March"_qs;
    QTest::newRow("4") << 4 << u"квітня"_qs << u"April"_qs;
    QTest::newRow("5") << 5 << u"травня"_qs << u"May"_qs;
    QTest::newRow("6") << 6 << u"червня"_qs << u"June"_qs;
    QTest::newRow("7") << 7 << u"липня"_qs << u"July"_qs;
    QTest::newRow("8") << 8 << u"серпня"_qs << u"August"_qs;
    QTest::newRow("9") << 9 << u"вересня"_qs << u"September"_qs;
    QTest::newRow("10") << 10 << u"жовтня"_qs << u"October"_qs;
    QTest::newRow("11") << 11 << u"листопада"_qs << u"November"_qs;
    QTest::newRow("12") << 12 << u"грудня"_qs << u"December"_qs;
    QTest::newRow("13") << 13 << QString() << QString();
}

// Through the document, so that the tags get the names the table holds.
void TestTagSubstitution::monthNames()
{
    QFETCH(int, month);
    QFETCH(QString, ukrainian);
    QFETCH(QString, english);
    QCOMPARE(TagValues::UkrainianMonth(month), ukrainian);
    QCOMPARE(TagValues::EnglishMonth(month), english);
    StudentRecord r = sampleRecord();
    r.IssueDate = QStringLiteral("15.%1.2015").arg(month);
    TextDocumentSession doc(u"#Прізвище#|#МісДп#|#MonthDp#"_qs);
    const Substitution filled = SubstituteTags(r, doc);
    // A month without a name is no day of the calendar: never printed.
    QCOMPARE(filled.filled, !ukrainian.isEmpty());
    if (filled)
        QCOMPARE(doc.text(), u"Шевченко|"_qs + ukrainian + u'|' + english);
    else
        QCOMPARE(filled.refusal, BadDateText.arg(r.IssueDate, u"#МісДп#"_qs));
}

void TestTagSubstitution::ordinalSuffix_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("suffix");
    const char* const suffixes[] = {
        "",                                                         // 0
        "st", "nd", "rd", "th", "th", "th", "th", "th", "th", "th", // 1-10
        "th", "th", "th", "th", "th", "th", "th", "th", "th", "th", // 11-20
        "st", "nd", "rd", "th", "th", "th", "th", "th", "th", "th", // 21-30
        "st", "",                                                   // 31, 32
    };
    for (int day = 0; day <= 32; ++day)
        QTest::addRow("%d", day) << day << QString::fromLatin1(suffixes[day]);
}

void TestTagSubstitution::ordinalSuffix()
{
    QFETCH(int, day);
    QFETCH(QString, suffix);
    QCOMPARE(TagValues::OrdinalSuffix(day), suffix);
    StudentRecord r = sampleRecord();
    r.GraduateDate = QStringLiteral("%1.07.2016").arg(day);
    TextDocumentSession doc(u"#Прізвище#|#AddDateEnZn#"_qs);
    const Substitution filled = SubstituteTags(r, doc);
    // Days 0 and 32 of July are no days of the calendar: never printed.
    QCOMPARE(filled.filled, !suffix.isEmpty());
    if (filled)
        QCOMPARE(doc.text(), u"Шевченко|"_qs + suffix);
    else
        QCOMPARE(filled.refusal, BadDateText.arg(r.GraduateDate, u"#AddDateEnZn#"_qs));
}

void TestTagSubstitution::dateGroup_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("values"); // day|year|month|Month|number|suffix
    QTest::newRow("5.6.2012") << u"5.6.2012"_qs << u"05|12|червня|June|06|th"_qs;
    QTest::newRow("21/09/2015") << u"21/09/2015"_qs << u"21|15|вересня|September|09|st"_qs;
    QTest::newRow("with time") << u"01.09.2015 0:00:00"_qs << u"01|15|вересня|September|09|st"_qs;
    QTest::newRow("1/9/2015") << u"1/9/2015"_qs << u"01|15|вересня|September|09|st"_qs;
    QTest::newRow("25.06.2012 0:00:00")
        << u"25.06.2012 0:00:00"_qs << u"25|12|червня|June|06|th"_qs;
    QTest::newRow("two-digit year") << u"05.06.12"_qs << u"05||червня|June|06|th"_qs;
    QTest::newRow("January") << u"2.1.2020"_qs << u"02|20|січня|January|01|nd"_qs;
    QTest::newRow("December") << u"3.12.1999"_qs << u"03|99|грудня|December|12|rd"_qs;
    // No day of the calendar: refused, named by the group's first tag.
    QTest::newRow("month 0") << u"11.0.2015"_qs << u"refused"_qs;
    QTest::newRow("month 13") << u"12.13.2015"_qs << u"refused"_qs;
    QTest::newRow("day 0") << u"0.6.2015"_qs << u"refused"_qs;
    QTest::newRow("day 32") << u"32.6.2015"_qs << u"refused"_qs;
    for (const auto& [day, suffix] : std::initializer_list<std::pair<int, const char*>>{{4, "th"},
                                                                                        {11, "th"},
                                                                                        {12, "th"},
                                                                                        {13, "th"},
                                                                                        {22, "nd"},
                                                                                        {23, "rd"},
                                                                                        {24, "th"},
                                                                                        {30, "th"},
                                                                                        {31, "st"}})
        QTest::addRow("day %d", day)
            << QStringLiteral("%1.07.2016").arg(day)
            << QStringLiteral("%1|16|липня|July|07|").arg(day, 2, 10, QLatin1Char('0')) +
                   QLatin1String(suffix);
}

void TestTagSubstitution::dateGroup()
{
    QFETCH(QString, date);
    QFETCH(QString, values);
    for (const bool issue : {true, false}) {
        StudentRecord r = sampleRecord();
        (issue ? r.IssueDate : r.GraduateDate) = date;
        TextDocumentSession doc(groupTemplate(issue));
        const Substitution filled = SubstituteTags(r, doc);
        if (values == u"refused") {
            QVERIFY(!filled);
            QCOMPARE(filled.refusal, BadDateText.arg(date, AllTags.at(issue ? 19 : 25)));
            QCOMPARE(doc.text(), groupTemplate(issue));
            continue;
        }
        QVERIFY(filled);
        QCOMPARE(doc.text(), u"Шевченко|"_qs + values);
    }
}

void TestTagSubstitution::suffixOnlyWhenPresent()
{
    StudentRecord r = sampleRecord();
    r.GraduateDate = u"xx.06.2015"_qs; // the day is never read as a number
    TextDocumentSession doc(u"#Прізвище# #ДатаЗн# #МісЗн# 20#РікЗн#"_qs);
    QVERIFY(SubstituteTags(r, doc));
    QCOMPARE(doc.text(), u"Шевченко xx червня 2015"_qs);
    // Only the tags the text holds are replaced, in the fixed order.
    QCOMPARE(tagsOf(doc),
             (QStringList{u"#Прізвище#"_qs, u"#ДатаЗн#"_qs, u"#РікЗн#"_qs, u"#МісЗн#"_qs}));
    QCOMPARE(doc.readCount(), 1);
}

void TestTagSubstitution::emptyIssueDate()
{
    StudentRecord r = sampleRecord();
    r.IssueDate.clear();
    TextDocumentSession doc(groupTemplate(true) + u'|' + groupTemplate(false));
    QVERIFY(SubstituteTags(r, doc));
    QCOMPARE(doc.text(), u"Шевченко|||||||Шевченко|01|15|вересня|September|09|st"_qs);
    QCOMPARE(doc.replaceCalls().at(6), qMakePair(u"#AddDateEnDp#"_qs, QString()));
    QCOMPARE(doc.readCount(), 1);
}

void TestTagSubstitution::onlyTagsTheTextHolds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("firstName"); // the record's FirstName
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("after");
    QTest::newRow("surname only") << u"#Прізвище#"_qs << u"Тарас"_qs
                                  << QStringList{u"#Прізвище#"_qs} << u"Шевченко"_qs;
    // The office's find ignores letter case, so the text check does too.
    QTest::newRow("tag in other case")
        << u"#Прізвище# #ВНЗ# #вНз#"_qs << u"Тарас"_qs << QStringList{u"#Прізвище#"_qs, u"#ВНЗ#"_qs}
        << u"Шевченко Київський університет Київський університет"_qs;
    // A value is written as it is: a later tag's text in it stays.
    QTest::newRow("value holding a later tag")
        << u"#Прізвище# #Ім`я#"_qs << u"з #ВНЗ#"_qs << QStringList{u"#Прізвище#"_qs, u"#Ім`я#"_qs}
        << u"Шевченко з #ВНЗ#"_qs;
    QTest::newRow("three of the tags") << u"#Прізвище# #Ім`я# #boss#"_qs << u"Тарас"_qs
                                       << QStringList{u"#Прізвище#"_qs, u"#Ім`я#"_qs, u"#boss#"_qs}
                                       << u"Шевченко Тарас P. Ivanenko"_qs;
}

void TestTagSubstitution::onlyTagsTheTextHolds()
{
    QFETCH(QString, text);
    QFETCH(QString, firstName);
    QFETCH(QStringList, calls);
    QFETCH(QString, after);
    StudentRecord r = sampleRecord();
    r.FirstName = firstName;
    TextDocumentSession doc(text);
    QVERIFY(SubstituteTags(r, doc));
    QCOMPARE(tagsOf(doc), calls);
    QCOMPARE(doc.text(), after);
    QCOMPARE(doc.readCount(), 1);
}

// The checks go by the search of every part, not by the body's text: a
// template whose tags stand only outside the body (a header, a shape) is
// accepted and filled.
void TestTagSubstitution::everyTagWhenTheTextIsNotAll()
{
    struct Partial : TextDocumentSession {
        using TextDocumentSession::TextDocumentSession;
        QList<QPair<DocumentPart, QString>> ReadPartTexts() override { return {}; }
    } doc(u"#Прізвище# 20#РікЗн# #ДатаЗн##AddDateEnZn#"_qs);
    QVERIFY(SubstituteTags(sampleRecord(), doc));
    QCOMPARE(doc.text(), u"Шевченко 2015 01st"_qs);
}

void TestTagSubstitution::conversionErrors_data()
{
    QTest::addColumn<QString>("issueDate");
    QTest::addColumn<QString>("graduateDate");
    QTest::addColumn<QString>("error");
    QTest::newRow("time after a slash date") << u"25/06/2012 0:00:00"_qs << u"1/9/2015"_qs
                                             << u"'2012 0:00:00' is not a valid integer value"_qs;
    QTest::newRow("no separator") << u"30.06.2015"_qs << u"20150901"_qs
                                  << u"'' is not a valid integer value"_qs;
    QTest::newRow("one separator")
        << u"30.06"_qs << QString() << u"'' is not a valid integer value"_qs;
    QTest::newRow("empty month") << u"30..2015"_qs << QString()
                                 << u"'' is not a valid integer value"_qs;
    QTest::newRow("word month") << u"30.черв.2015"_qs << QString()
                                << u"'черв' is not a valid integer value"_qs;
    QTest::newRow("day with suffix tag")
        << u"3a.06.2015"_qs << QString() << u"'3a' is not a valid integer value"_qs;
}

// The error comes before anything is written: the values go into the
// document in one pass at the end.
void TestTagSubstitution::conversionErrors()
{
    QFETCH(QString, issueDate);
    QFETCH(QString, graduateDate);
    QFETCH(QString, error);
    StudentRecord r = sampleRecord();
    r.IssueDate = issueDate;
    r.GraduateDate = graduateDate;
    const QString text = AllTags.join(u' ');
    TextDocumentSession doc(text);
    try {
        SubstituteTags(r, doc);
        QFAIL("no error");
    } catch (const LumarelError& e) {
        QCOMPARE(e.text(), error);
    }
    QCOMPARE(doc.passCount(), 0);
    QCOMPARE(doc.text(), text);
}

void TestTagSubstitution::literalValues_data()
{
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    // Each value reaches the document exactly as it came from the file.
    QTest::newRow("a later tag") << u"Ко#ВНЗ#ва"_qs << u"#Прізвище# #ВНЗ#"_qs
                                 << u"Ко#ВНЗ#ва Київський університет"_qs;
    QTest::newRow("an earlier tag")
        << u"#Прізвище#"_qs << u"#Прізвище#/#Ім`я#"_qs << u"#Прізвище#/Тарас"_qs;
    QTest::newRow("a tag in another case")
        << u"#вНз#"_qs << u"#Прізвище# #ВНЗ#"_qs << u"#вНз# Київський університет"_qs;
    QTest::newRow("a suffix tag") << u"#AddDateEnZn#"_qs << u"#Прізвище# #ДатаЗн##AddDateEnZn#"_qs
                                  << u"#AddDateEnZn# 01st"_qs;
    QTest::newRow("half a tag") << u"Ко#ВН"_qs << u"#Прізвище#З# #ВНЗ#"_qs
                                << u"Ко#ВНЗ# Київський університет"_qs;
    QTest::newRow("ampersand") << u"A & B"_qs << u"#Прізвище#"_qs << u"A & B"_qs;
    QTest::newRow("back references")
        << u"$1 \\1 $0 \\0"_qs << u"#Прізвище#"_qs << u"$1 \\1 $0 \\0"_qs;
    QTest::newRow("Word's special marks")
        << u"^p ^l ^t ^&"_qs << u"#Прізвище#"_qs << u"^p ^l ^t ^&"_qs;
    QTest::newRow("line break") << u"Ко\nва"_qs << u"[#Прізвище#]"_qs << u"[Ко\nва]"_qs;
    QTest::newRow("regular expression")
        << u".*[a-z]+(x)?|^$"_qs << u"#Прізвище#"_qs << u".*[a-z]+(x)?|^$"_qs;
    QTest::newRow("empty") << QString() << u"<#Прізвище#>"_qs << u"<>"_qs;
}

void TestTagSubstitution::literalValues()
{
    QFETCH(QString, surname);
    QFETCH(QString, text);
    QFETCH(QString, after);
    StudentRecord r = sampleRecord();
    r.LastName = surname;
    TextDocumentSession doc(text);
    QVERIFY(SubstituteTags(r, doc));
    QCOMPARE(doc.text(), after);
}

void TestTagSubstitution::impossibleDates_data()
{
    QTest::addColumn<QString>("issueDate");
    QTest::addColumn<QString>("graduateDate");
    QTest::addColumn<QString>("text");
    // The refusal, "=" and the filled text, or "!" and the conversion error.
    QTest::addColumn<QString>("expected");
    const auto refused = [](const char* date, const char* tag) {
        return BadDateText.arg(QString::fromUtf8(date), QString::fromUtf8(tag));
    };
    const QString issue = u"#Прізвище# #ДатаДп# #МісДп# 20#РікДп#"_qs;
    QTest::newRow("31 February") << u"31/02/2023"_qs << QString() << issue
                                 << refused("31/02/2023", "#ДатаДп#");
    QTest::newRow("month 13") << u"15/13/2023"_qs << QString() << issue
                              << refused("15/13/2023", "#ДатаДп#");
    QTest::newRow("31 April") << u"31.04.2023"_qs << QString() << issue
                              << refused("31.04.2023", "#ДатаДп#");
    QTest::newRow("30 April") << u"30.04.2023"_qs << QString() << issue
                              << u"=Шевченко 30 квітня 2023"_qs;
    QTest::newRow("29 February of a common year")
        << u"29.02.2023"_qs << QString() << issue << refused("29.02.2023", "#ДатаДп#");
    QTest::newRow("29 February of a leap year")
        << u"29.02.2024"_qs << QString() << issue << u"=Шевченко 29 лютого 2024"_qs;
    QTest::newRow("29 February 1900")
        << u"29.02.1900"_qs << QString() << issue << refused("29.02.1900", "#ДатаДп#");
    QTest::newRow("29 February 2000")
        << u"29.02.2000"_qs << QString() << issue << u"=Шевченко 29 лютого 2000"_qs;
    QTest::newRow("named by the first tag the template uses")
        << u"31.02.2023"_qs << QString() << u"#Прізвище# #MonthDp# 20#РікДп#"_qs
        << refused("31.02.2023", "#РікДп#");
    QTest::newRow("tag in other letter case, named as in the table")
        << u"31.02.2023"_qs << QString() << u"#Прізвище# #датадп#"_qs
        << refused("31.02.2023", "#ДатаДп#");
    QTest::newRow("graduation date")
        << u"30.06.2015"_qs << u"32/01/2020"_qs << u"#Прізвище# #ДатаДп# #МісЗнЧисло#"_qs
        << refused("32/01/2020", "#МісЗнЧисло#");
    QTest::newRow("both dates, the issue date named")
        << u"0.1.2020"_qs << u"1.0.2020"_qs << u"#Прізвище# #ДатаЗн# #ДатаДп#"_qs
        << refused("0.1.2020", "#ДатаДп#");
    QTest::newRow("a date no tag of the template asks for")
        << u"31/02/2023"_qs << u"1/9/2015"_qs << u"#Прізвище# #ДатаЗн#"_qs << u"=Шевченко 01"_qs;
    // What is no number stays as it was: the conversion error wins.
    QTest::newRow("the other date's month no number")
        << u"31/02/2023"_qs << u"1.черв.2015"_qs << issue
        << u"!'черв' is not a valid integer value"_qs;
    QTest::newRow("a day of letters without its suffix is written")
        << u"xx/02/2023"_qs << QString() << issue << u"=Шевченко xx лютого 2023"_qs;
}

// A date that is no day of the calendar leaves the document untouched.
void TestTagSubstitution::impossibleDates()
{
    QFETCH(QString, issueDate);
    QFETCH(QString, graduateDate);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    StudentRecord r = sampleRecord();
    r.IssueDate = issueDate;
    r.GraduateDate = graduateDate;
    TextDocumentSession doc(text);
    Substitution filled;
    try {
        filled = SubstituteTags(r, doc);
    } catch (const LumarelError& e) {
        QCOMPARE(u'!' + e.text(), expected);
        QCOMPARE(doc.text(), text);
        return;
    }
    if (expected.startsWith(u'=')) {
        QVERIFY(filled);
        QVERIFY(filled.refusal.isEmpty());
        QCOMPARE(doc.text(), expected.mid(1));
        return;
    }
    QVERIFY(!filled);
    QCOMPARE(filled.refusal, expected);
    QCOMPARE(doc.passCount(), 0);
    QCOMPARE(doc.text(), text);
}

QTEST_GUILESS_MAIN(TestTagSubstitution)
#include "tst_tagsubstitution.moc"
