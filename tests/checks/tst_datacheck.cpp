#include "checks/DataCheck.h"
#include "checks/TemplateFault.h"
#include "settings/SettingsFiles.h"
#include "tests/support/TemplateTable.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TextDocumentSession.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// The check before printing, on templates held as plain text.
class TestDataCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findings_data();
    void findings();
    void eachTemplateReadOnce();
    void faultCauses_data();
    void faultCauses();
};

namespace {

using Overrides = QList<QPair<RecordField, QString>>;

// A graduate with every value filled in; number k gets its own name and form.
StudentRecord graduate(int k, const Overrides& overrides)
{
    StudentRecord r;
    r.RecordNumber = 51000000 + k;
    r.DisplayName = u"Бойко І.О. %1"_qs.arg(k);
    for (const RecordField field :
         {RecordField::LastName, RecordField::FirstName, RecordField::MiddleName,
          RecordField::LastNameEn, RecordField::FirstNameEn, RecordField::MiddleNameEn,
          RecordField::UniversityPrintName, RecordField::UniversityPrintNameEn,
          RecordField::SpecialityName, RecordField::SpecialityNameEn,
          RecordField::QualificationName, RecordField::QualificationNameEn, RecordField::BossPost,
          RecordField::BossPostEn, RecordField::BossFIO, RecordField::BossFIOEn})
        FieldRef(r, field) = u"значення"_qs;
    r.SexId = u"2"_qs;
    r.LevelCode = u"6"_qs;
    r.AwardTypeName = u"0"_qs;
    r.DocumentSeries = u"B23"_qs;
    r.DocumentNumber = u"%1"_qs.arg(k, 6, 10, QLatin1Char('0'));
    r.IssueDate = u"30.06.2023"_qs;
    r.GraduateDate = u"30/06/2023"_qs;
    // As the import stores them: cut to the field's width, the cut remembered.
    for (const auto& [field, value] : overrides)
        SetField(r, field, value);
    return r;
}

const QString Full = u"#Серія диплома# #Номер диплома# #Прізвище# #Ім`я# #По батькові# "
                     "#Last name# #First name# закінчи#З_Рід# #ДатаДп# #МісДп# 20#РікДп# "
                     "#ДатаЗн##AddDateEnZn# #MonthZn#"_qs;

} // namespace

void TestDataCheck::findings_data()
{
    // The template of bachelors (slot 3): its text, "-" for none assigned,
    // "?" for a file that is not there, "~" first for plain text.
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QList<Overrides>>("graduates"); // numbered 1, 2, ...
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QStringList>("expected"); // "k<TAB>text"

    const QString noTemplate = u"Шаблон для документа даного типу не задано!"_qs;
    // %T: the template's path.
    const QString missing = u"Шаблон «%T» відсутній: файл не знайдено"_qs;
    const QString faults = u"Шаблон «%T» не відповідає вимогам: "_qs;
    const QString noSurname = u"Немає тегу #Прізвище#: шаблон буде відхилено"_qs;
    const auto one = [](const Overrides& o) { return QList<Overrides>{o}; };

    QTest::newRow("clean") << Full << one({}) << QList<int>{1} << QStringList{};
    QTest::newRow("no template") << u"-"_qs << one({}) << QList<int>{1}
                                 << QStringList{u"1\t"_qs + noTemplate};
    QTest::newRow("template file missing")
        << u"?"_qs << one({}) << QList<int>{1} << QStringList{u"1\t"_qs + missing};
    QTest::newRow("surname tag in other case")
        << u"#прізвище# #Last name#"_qs << one({{RecordField::LastNameEn, QString()}})
        << QList<int>{1}
        << QStringList{u"1\t"_qs + faults +
                       u"Тег #Прізвище# написано іншими літерами («#прізвище#»): шаблон буде "
                       "відхилено, потрібно точно #Прізвище#"_qs};
    // The look-alike letter is named; the template's other faults are not the cause.
    QTest::newRow("Latin letter in the surname tag")
        << u"#Прізвищe# #ВНЗ #"_qs << one({}) << QList<int>{1}
        << QStringList{u"1\t"_qs + faults + noSurname +
                       u"; «#Прізвищe#» не є тегом таблиці; мабуть, #Прізвище# («#Прізвищ[e]#» — "
                       "латинська e)"_qs};
    QTest::newRow("plain text, no Word document")
        << u"~#Прізвищe#"_qs << one({}) << QList<int>{1}
        << QStringList{u"1\tШаблон «%T» не відкривається як документ MS Word"_qs};
    QTest::newRow("no surname tag, two graduates")
        << u"#ВНЗ# #boss#"_qs << QList<Overrides>{{}, {}} << QList<int>{1, 2}
        << QStringList{u"1\t"_qs + faults + noSurname, u"2\t"_qs + faults + noSurname};
    QTest::newRow("kind without a template")
        << Full << one({{RecordField::LevelCode, u"7"_qs}}) << QList<int>{1}
        << QStringList{u"1\t"_qs + noTemplate};
    QTest::newRow("empty used tag")
        << Full << one({{RecordField::LastNameEn, QString()}, {RecordField::BossFIOEn, QString()}})
        << QList<int>{1} << QStringList{u"1\tПорожнє значення для тегу #Last name#"_qs};
    QTest::newRow("used in other letter case, named as in the table")
        << u"#Прізвище# #LAST NAME#"_qs << one({{RecordField::LastNameEn, QString()}})
        << QList<int>{1} << QStringList{u"1\tПорожнє значення для тегу #Last name#"_qs};
    QTest::newRow("gender ending is never empty")
        << Full << one({{RecordField::SexId, QString()}}) << QList<int>{1} << QStringList{};
    QTest::newRow("empty date, its used tags")
        << u"#Прізвище# #ДатаДп# #МісДп# #ДатаЗн#"_qs << one({{RecordField::IssueDate, QString()}})
        << QList<int>{1}
        << QStringList{u"1\tПорожнє значення для тегу #ДатаДп#"_qs,
                       u"1\tПорожнє значення для тегу #МісДп#"_qs};
    QTest::newRow("two-digit year leaves the year empty")
        << Full << one({{RecordField::IssueDate, u"05.06.23"_qs}}) << QList<int>{1}
        << QStringList{u"1\tПорожнє значення для тегу #РікДп#"_qs};
    QTest::newRow("31 February") << Full << one({{RecordField::IssueDate, u"31/02/2023"_qs}})
                                 << QList<int>{1}
                                 << QStringList{
                                        u"1\tНеправильна дата «31/02/2023» для тегу #ДатаДп#"_qs};
    QTest::newRow("month 13, named by the first tag used")
        << u"#Прізвище# #МісДп# #РікДп#"_qs << one({{RecordField::IssueDate, u"01.13.2023"_qs}})
        << QList<int>{1} << QStringList{u"1\tНеправильна дата «01.13.2023» для тегу #РікДп#"_qs};
    QTest::newRow("day 0") << Full << one({{RecordField::GraduateDate, u"0/06/2023"_qs}})
                           << QList<int>{1}
                           << QStringList{u"1\tНеправильна дата «0/06/2023» для тегу #ДатаЗн#"_qs};
    QTest::newRow("time after a slash date is refused")
        << Full << one({{RecordField::GraduateDate, u"25/06/2012 0:00:00"_qs}}) << QList<int>{1}
        << QStringList{u"1\tНеправильна дата «25/06/2012 0:00:00» для тегу #ДатаЗн#"_qs};
    QTest::newRow("time after a dotted date is fine")
        << Full << one({{RecordField::IssueDate, u"25.06.2012 0:00:00"_qs}}) << QList<int>{1}
        << QStringList{};
    QTest::newRow("no separator") << Full << one({{RecordField::IssueDate, u"2023"_qs}})
                                  << QList<int>{1}
                                  << QStringList{
                                         u"1\tНеправильна дата «2023» для тегу #ДатаДп#"_qs};
    QTest::newRow("bad date of tags not used")
        << u"#Прізвище# #ДатаЗн#"_qs << one({{RecordField::IssueDate, u"31/02/2023"_qs}})
        << QList<int>{1} << QStringList{};
    QTest::newRow("bad date without a usable template")
        << u"?"_qs << one({{RecordField::IssueDate, u"31/02/2023"_qs}}) << QList<int>{1}
        << QStringList{u"1\t"_qs + missing};

    const QString longName = QString(40, u'Щ') + u"енко-Довгоіменний"_qs;
    QTest::newRow("surname cut to its width")
        << Full << one({{RecordField::LastName, longName}}) << QList<int>{1}
        << QStringList{u"1\tЗначення обрізано до 40 символів: «"_qs + longName + u'»'};
    QTest::newRow("a cut English name")
        << Full << one({{RecordField::FirstNameEn, QString(41, u'x')}}) << QList<int>{1}
        << QStringList{u"1\tЗначення обрізано до 40 символів: «"_qs + QString(41, u'x') + u'»'};
    QTest::newRow("a cut value of a tag the template does not use")
        << Full << one({{RecordField::MiddleNameEn, longName}}) << QList<int>{1} << QStringList{};
    QTest::newRow("a cut display name names files, no tag")
        << Full << one({{RecordField::DisplayName, QString(120, u'Б')}}) << QList<int>{1}
        << QStringList{};
    QTest::newRow("one line for a date however many of its tags")
        << Full << one({{RecordField::IssueDate, u"30.06.2023 0:00:00.000"_qs}}) << QList<int>{1}
        << QStringList{u"1\tЗначення обрізано до 20 символів: «30.06.2023 0:00:00.000»"_qs};
    QTest::newRow("cuts after the other findings, in tag order")
        << Full
        << one({{RecordField::FirstNameEn, QString(41, u'x')},
                {RecordField::LastName, longName},
                {RecordField::MiddleName, QString()}})
        << QList<int>{1}
        << QStringList{u"1\tПорожнє значення для тегу #По батькові#"_qs,
                       u"1\tЗначення обрізано до 40 символів: «"_qs + longName + u'»',
                       u"1\tЗначення обрізано до 40 символів: «"_qs + QString(41, u'x') + u'»'};

    const Overrides same{{RecordField::DocumentNumber, u"000777"_qs}};
    QTest::newRow("series and number repeated in the file, some checked")
        << Full << QList<Overrides>{{}, same, {}, same, same} << QList<int>{2, 3, 4}
        << QStringList{
               u"2\tСерія і номер «B23 000777» повторюються у записах 51000002, 51000004, 51000005"_qs,
               u"4\tСерія і номер «B23 000777» повторюються у записах 51000002, 51000004, 51000005"_qs};
    QTest::newRow("empty series and number are not repeats")
        << u"#Прізвище#"_qs
        << QList<Overrides>{{{RecordField::DocumentSeries, QString()},
                             {RecordField::DocumentNumber, QString()}},
                            {{RecordField::DocumentSeries, QString()},
                             {RecordField::DocumentNumber, QString()}}}
        << QList<int>{1, 2} << QStringList{};
    QTest::newRow("same document name, spaces and underscores alike")
        << Full
        << QList<Overrides>{{{RecordField::DisplayName, u"Бойко І.О."_qs}},
                            {{RecordField::DisplayName, u"Коваль А.Б."_qs}},
                            {{RecordField::DisplayName, u"Бойко_І.О."_qs}}}
        << QList<int>{1, 2, 3}
        << QStringList{u"1\tОднакове ім'я документа з записом 51000003"_qs,
                       u"3\tОднакове ім'я документа з записом 51000001"_qs};
    QTest::newRow("same name outside the checked ones")
        << Full
        << QList<Overrides>{{{RecordField::DisplayName, u"Бойко І.О."_qs}},
                            {{RecordField::DisplayName, u"Бойко І.О."_qs}}}
        << QList<int>{1} << QStringList{};
    QTest::newRow("findings of one graduate in order")
        << Full
        << QList<Overrides>{{{RecordField::FirstName, QString()},
                             {RecordField::IssueDate, u"30.02.2023"_qs}},
                            {{RecordField::DocumentNumber, u"000001"_qs}}}
        << QList<int>{1}
        << QStringList{
               u"1\tПорожнє значення для тегу #Ім`я#"_qs,
               u"1\tНеправильна дата «30.02.2023» для тегу #ДатаДп#"_qs,
               u"1\tСерія і номер «B23 000001» повторюються у записах 51000001, 51000002"_qs};
}

void TestDataCheck::findings()
{
    QFETCH(QString, templateText);
    QFETCH(QList<Overrides>, graduates);
    QFETCH(QList<int>, checked);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    const WorkDir workDir(dir.path());
    SettingsFiles::EnsureWorkFolders(workDir);
    QString path;
    if (templateText != u"-") {
        path = dir.filePath(u"Templates/бакалавр.txt"_qs);
        // Headed as an office document is, so the reader takes it for one;
        // "~" first: plain text, which it does not.
        if (templateText.startsWith(u'~'))
            TestFiles::write(path, templateText.mid(1).toUtf8());
        else if (templateText != u"?")
            TestFiles::write(path, "<?xml version=\"1.0\"?>\n" + templateText.toUtf8());
    }
    saveTemplates(workDir, {{2, u"  "_qs + path}});

    RecordStore store;
    store.BeginImport();
    for (qsizetype k = 0; k < graduates.size(); ++k)
        store.MutableRecord(store.AppendRecord()) = graduate(int(k + 1), graduates.at(k));

    TemplateReader reader([] { return std::make_unique<TextDocumentSession>(); });
    QStringList got;
    for (const DataFinding& f : DataCheck(store, workDir, reader).check(checked)) {
        QCOMPARE(f.number, store.Record(f.recordIndex).RecordNumber);
        QCOMPARE(f.name, store.Record(f.recordIndex).DisplayName);
        got.append(QString::number(f.recordIndex) + u'\t' + f.text);
    }
    for (QString& line : expected)
        line.replace(u"%T"_qs, QDir::toNativeSeparators(path));
    QCOMPARE(got, expected);
}

void TestDataCheck::eachTemplateReadOnce()
{
    QTemporaryDir dir;
    const WorkDir workDir(dir.path());
    SettingsFiles::EnsureWorkFolders(workDir);
    const QString bachelor = dir.filePath(u"Templates/б.txt"_qs);
    const QString master = dir.filePath(u"Templates/м.txt"_qs);
    TestFiles::write(bachelor, Full.toUtf8());
    TestFiles::write(master, "#Прізвище# #boss#");
    // Two kinds share one file; a missing file is looked for once too.
    saveTemplates(workDir,
                  {{2, bachelor}, {3, bachelor}, {6, master}, {7, dir.filePath(u"нема.doc"_qs)}});
    RecordStore store;
    store.BeginImport();
    QList<int> all;
    for (int k = 1; k <= 100; ++k) {
        StudentRecord r = graduate(k, {});
        r.LevelCode = k % 2 ? u"6"_qs : u"8"_qs;
        r.AwardTypeName = k % 3 ? u"0"_qs : u"1"_qs;
        store.MutableRecord(store.AppendRecord()) = r;
        all.append(k);
    }
    int starts = 0;
    TemplateReader reader([&starts] {
        ++starts;
        return std::make_unique<TextDocumentSession>();
    });
    const QList<DataFinding> found = DataCheck(store, workDir, reader).check(all);
    QCOMPARE(reader.reads(), 2);
    QCOMPARE(starts, 1);
    // Master's graduates with honours: k even and divisible by 3.
    QCOMPARE(found.size(), 16);
}

void TestDataCheck::faultCauses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("recording");
    QTest::addColumn<QStringList>("causes");
    const QString noSurname = u"Немає тегу #Прізвище#: шаблон буде відхилено"_qs;
    const QString space =
        u"«#ВНЗ #» не є тегом таблиці; мабуть, #ВНЗ# (зайві або пропущені пробіли)"_qs;
    QTest::newRow("recording on") << u"#Прізвище# #ВНЗ #"_qs << true
                                  << QStringList{TemplateLint::RecordingText};
    QTest::newRow("recording on, no surname")
        << u"#ВНЗ#"_qs << true << QStringList{noSurname, TemplateLint::RecordingText};
    QTest::newRow("no surname") << u"#ВНЗ#"_qs << false << QStringList{noSurname};
    // The office refused it for a reason the check cannot tell: all it found.
    QTest::newRow("nothing about the surname")
        << u"#Прізвище# #ВНЗ #"_qs << false << QStringList{space};
    QTest::newRow("clean") << u"#Прізвище#"_qs << false << QStringList();
}

void TestDataCheck::faultCauses()
{
    QFETCH(QString, text);
    QFETCH(bool, recording);
    QFETCH(QStringList, causes);
    TemplateTexts texts;
    texts.parts.append({TemplateLint::PartName(DocumentPart::Body), text});
    texts.changes.recording = recording;
    QCOMPARE(TemplateFault::Causes(TemplateLint::Check(texts)), causes);
}

QTEST_GUILESS_MAIN(TestDataCheck)
#include "tst_datacheck.moc"
