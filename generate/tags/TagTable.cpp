#include "generate/tags/TagTable.h"

#include "records/LumarelError.h"
#include "records/TextRules.h"

#include <QDate>

#include <algorithm>
#include <array>

namespace TagTable {

const QList<TagRow>& Rows()
{
    static const QList<TagRow> rows{
        {QStringLiteral("#Серія диплома#"), QString(), TagValue::DocumentSeries},
        {QStringLiteral("#Номер диплома#"), QString(), TagValue::DocumentNumber},
        {QStringLiteral("#Прізвище#"), QString(), TagValue::LastName},
        {QStringLiteral("#Last name#"), QString(), TagValue::LastNameEn},
        {QStringLiteral("#Ім`я#"), QString(), TagValue::FirstName},
        {QStringLiteral("#First name#"), QString(), TagValue::FirstNameEn},
        {QStringLiteral("#По батькові#"), QString(), TagValue::MiddleName},
        {QStringLiteral("#З_Рід#"),
         QStringLiteral("закінчення, що залежить від роду (чол. або жін.). Наприклад текст "
                        "\"закінчи#З_Рід#\" перетвориться у \"закінчив\" або \"закінчила\" "),
         TagValue::GenderEnding},
        {QStringLiteral("#РікДп#"),
         QStringLiteral("рік, коли закінчене навчання у закладі (рік видачі диплому)"),
         TagValue::IssueYear},
        {QStringLiteral("#ВНЗ#"),
         QStringLiteral("Назва вищого навчального закладу, що видає документ"),
         TagValue::UniversityPrintName},
        {QStringLiteral("#Universityname#"),
         QStringLiteral("Назва вищого навчального закладу, що видає документ, англійською"),
         TagValue::UniversityPrintNameEn},
        {QStringLiteral("#Напрям/спеціальність#"), QString(), TagValue::SpecialityName},
        {QStringLiteral("#field of study#"), QStringLiteral("Напрям/спеціальність англійською"),
         TagValue::SpecialityNameEn},
        {QStringLiteral("#Кваліфікація#"), QString(), TagValue::QualificationName},
        {QStringLiteral("#qualification#"), QString(), TagValue::QualificationNameEn},
        {QStringLiteral("#Посада керівника#"), QString(), TagValue::BossPost},
        {QStringLiteral("#bossworkpost#"), QStringLiteral("Посада керівника англійською"),
         TagValue::BossPostEn},
        {QStringLiteral("#Керівник#"), QString(), TagValue::BossFIO},
        {QStringLiteral("#boss#"), QString(), TagValue::BossFIOEn},
        {QStringLiteral("#ДатаДп#"), QStringLiteral("Дата видачі документа"), TagValue::IssueDay},
        {QStringLiteral("#МісДп#"), QStringLiteral("Місяць видачі документа"),
         TagValue::IssueUkrainianMonth},
        {QStringLiteral("#МісДпЧисло#"), QStringLiteral("Місяць видачі документа числом"),
         TagValue::IssueMonthNumber},
        {QStringLiteral("#MonthDp#"), QStringLiteral("Місяць видачі документа англійською"),
         TagValue::IssueEnglishMonth},
        {QStringLiteral("#РікДп#"), QStringLiteral("Рік видачі документа"), TagValue::IssueYear},
        {QStringLiteral("#AddDateEnDp#"),
         QStringLiteral("Закінчення дати в англійському правописі"), TagValue::IssueDaySuffix},
        {QStringLiteral("#ДатаЗн#"), QStringLiteral("Дата закінчення навчання"),
         TagValue::GraduateDay},
        {QStringLiteral("#МісЗн#"), QStringLiteral("Місяць закінчення навчання"),
         TagValue::GraduateUkrainianMonth},
        {QStringLiteral("#МісЗнЧисло#"), QStringLiteral("Місяць закінчення навчання числом"),
         TagValue::GraduateMonthNumber},
        {QStringLiteral("#MonthZn#"), QStringLiteral("Місяць закінчення навчання англійською"),
         TagValue::GraduateEnglishMonth},
        {QStringLiteral("#РікЗн#"), QStringLiteral("Рік закінчення навчання"),
         TagValue::GraduateYear},
        {QStringLiteral("#AddDateEnZn#"),
         QStringLiteral("Закінчення дати закінчення навчання в англійському правописі"),
         TagValue::GraduateDaySuffix},
        // Replaced in every document, but the reference has never listed it.
        {QStringLiteral("#Middle name#"), QString(), TagValue::MiddleNameEn, false},
    };
    return rows;
}

const QList<TagRow>& ReplacementOrder()
{
    static const QList<TagRow> order = [] {
        QList<TagRow> rows = Rows();
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TagRow& a, const TagRow& b) { return a.Value < b.Value; });
        QList<TagRow> once;
        for (const TagRow& row : rows) {
            if (std::none_of(once.cbegin(), once.cend(),
                             [&row](const TagRow& seen) { return seen.Tag == row.Tag; }))
                once.append(row);
        }
        return once;
    }();
    return order;
}

const QStringList& Tags(TagOrder order)
{
    static const auto textsOf = [](const QList<TagRow>& rows) {
        QStringList tags;
        for (const TagRow& row : rows) {
            if (!tags.contains(row.Tag))
                tags.append(row.Tag);
        }
        return tags;
    };
    static const QStringList replacement = textsOf(ReplacementOrder());
    static const QStringList reference = textsOf(Rows());
    return order == TagOrder::Replacement ? replacement : reference;
}

} // namespace TagTable

namespace {

qint32 toInteger(const QString& text)
{
    qint32 value = 0;
    if (!TextRules::ParseInt32(text, &value))
        throw LumarelError(TextRules::NotAnIntegerText(text));
    return value;
}

// The text before the first separator and the text after it; with no
// separator at all, nothing before and everything after.
std::pair<QString, QString> splitAtFirst(const QString& text, QChar separator)
{
    const qsizetype at = text.indexOf(separator);
    if (at < 0)
        return {QString(), text};
    return {text.left(at), text.mid(at + 1)};
}

QString twoDigits(int number)
{
    return number < 10 ? QStringLiteral("0") + QString::number(number) : QString::number(number);
}

struct DateParts {
    QString day;
    quint16 month = 0;
    quint16 year = 0;
};

// The month and the year must be whole numbers; the day stays text until its
// suffix is asked for.
DateParts splitDate(const QString& date)
{
    const QChar separator = date.contains(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('.');
    auto [dayText, rest] = splitAtFirst(date, separator);
    if (dayText.size() == 1)
        dayText.prepend(QLatin1Char('0'));
    const auto [monthText, yearRest] = splitAtFirst(rest, separator);
    DateParts parts;
    parts.day = dayText;
    // Both are kept in 16 bits, as the stored dates always were.
    parts.month = static_cast<quint16>(toInteger(monthText));
    // A time after a dotted date ("25.06.2012 0:00:00") is dropped.
    parts.year = static_cast<quint16>(
        toInteger(separator == QLatin1Char('.') ? yearRest.left(4) : yearRest));
    return parts;
}

// The kinds whose value is a field of the record, unchanged.
constexpr std::pair<TagValue, RecordField> CopiedFields[]{
    {TagValue::LastName, RecordField::LastName},
    {TagValue::FirstName, RecordField::FirstName},
    {TagValue::MiddleName, RecordField::MiddleName},
    {TagValue::LastNameEn, RecordField::LastNameEn},
    {TagValue::FirstNameEn, RecordField::FirstNameEn},
    {TagValue::MiddleNameEn, RecordField::MiddleNameEn},
    {TagValue::SpecialityName, RecordField::SpecialityName},
    {TagValue::SpecialityNameEn, RecordField::SpecialityNameEn},
    {TagValue::QualificationName, RecordField::QualificationName},
    {TagValue::QualificationNameEn, RecordField::QualificationNameEn},
    {TagValue::DocumentSeries, RecordField::DocumentSeries},
    {TagValue::DocumentNumber, RecordField::DocumentNumber},
    {TagValue::UniversityPrintName, RecordField::UniversityPrintName},
    {TagValue::UniversityPrintNameEn, RecordField::UniversityPrintNameEn},
    {TagValue::BossPost, RecordField::BossPost},
    {TagValue::BossPostEn, RecordField::BossPostEn},
    {TagValue::BossFIO, RecordField::BossFIO},
    {TagValue::BossFIOEn, RecordField::BossFIOEn},
};

// The six tags of a date group follow each other in the same order for both dates.
enum class DatePart { Day, Year, UkrainianMonth, EnglishMonth, MonthNumber, Suffix };

bool inGroup(TagValue value, TagValue first)
{
    return value >= first && static_cast<int>(value) - static_cast<int>(first) <= 5;
}

QString datePart(const QString& date, TagValue value, TagValue first)
{
    if (date.isEmpty())
        return QString();
    const DateParts parts = splitDate(date);
    switch (static_cast<DatePart>(static_cast<int>(value) - static_cast<int>(first))) {
    case DatePart::Day:
        return parts.day;
    case DatePart::Year:
        return QString::number(parts.year).mid(2, 2);
    case DatePart::UkrainianMonth:
        return TagValues::UkrainianMonth(parts.month);
    case DatePart::EnglishMonth:
        return TagValues::EnglishMonth(parts.month);
    case DatePart::MonthNumber:
        return twoDigits(parts.month);
    case DatePart::Suffix:
        return TagValues::OrdinalSuffix(toInteger(parts.day));
    }
    return QString();
}

} // namespace

namespace TagTable {

QString ValueOf(TagValue value, const StudentRecord& record)
{
    if (inGroup(value, TagValue::IssueDay))
        return datePart(record.IssueDate, value, TagValue::IssueDay);
    if (inGroup(value, TagValue::GraduateDay))
        return datePart(record.GraduateDate, value, TagValue::GraduateDay);
    if (value == TagValue::GenderEnding)
        return TagValues::GenderEnding(record.SexId);
    for (const auto& [kind, field] : CopiedFields) {
        if (kind == value)
            return FieldRef(record, field);
    }
    return QString();
}

RecordField SourceField(TagValue value)
{
    if (inGroup(value, TagValue::IssueDay))
        return RecordField::IssueDate;
    if (inGroup(value, TagValue::GraduateDay))
        return RecordField::GraduateDate;
    for (const auto& [kind, field] : CopiedFields) {
        if (kind == value)
            return field;
    }
    // The one kind left: the gender ending.
    return RecordField::SexId;
}

DateSource DateSourceOf(TagValue value)
{
    if (inGroup(value, TagValue::IssueDay))
        return DateSource::Issue;
    if (inGroup(value, TagValue::GraduateDay))
        return DateSource::Graduate;
    return DateSource::None;
}

QString DateText(DateSource source, const StudentRecord& record)
{
    switch (source) {
    case DateSource::Issue:
        return record.IssueDate;
    case DateSource::Graduate:
        return record.GraduateDate;
    case DateSource::None:
        break;
    }
    return QString();
}

bool IsCalendarDate(const QString& date)
{
    try {
        const DateParts parts = splitDate(date);
        qint32 day = 0;
        return TextRules::ParseInt32(parts.day, &day) &&
               QDate::isValid(parts.year, parts.month, day);
    } catch (const LumarelError&) {
        // A month or year that is no number is the answer, not a failure.
        return false;
    }
}

bool IsImpossibleDate(const QString& date)
{
    if (date.isEmpty())
        return false;
    try {
        const DateParts parts = splitDate(date);
        qint32 day = 0;
        return TextRules::ParseInt32(parts.day, &day) &&
               !QDate::isValid(parts.year, parts.month, day);
    } catch (const LumarelError&) {
        return false;
    }
}

bool OnlyWhenAsked(TagValue value, const StudentRecord& record)
{
    if (value == TagValue::IssueDaySuffix)
        return !record.IssueDate.isEmpty();
    if (value == TagValue::GraduateDaySuffix)
        return !record.GraduateDate.isEmpty();
    return false;
}

} // namespace TagTable

namespace TagValues {

QString GenderEnding(const QString& sexId)
{
    if (sexId == u"1")
        return QStringLiteral("в");
    if (sexId == u"2")
        return QStringLiteral("ла");
    return QStringLiteral(" ");
}

// Genitive Ukrainian and English names, by month number.
const std::array<std::pair<QString, QString>, 12>& monthNames()
{
    static const std::array<std::pair<QString, QString>, 12> names{{
        {QStringLiteral("січня"), QStringLiteral("January")},
        {QStringLiteral("лютого"), QStringLiteral("February")},
        {QStringLiteral("березня"), QStringLiteral("March")},
        {QStringLiteral("квітня"), QStringLiteral("April")},
        {QStringLiteral("травня"), QStringLiteral("May")},
        {QStringLiteral("червня"), QStringLiteral("June")},
        {QStringLiteral("липня"), QStringLiteral("July")},
        {QStringLiteral("серпня"), QStringLiteral("August")},
        {QStringLiteral("вересня"), QStringLiteral("September")},
        {QStringLiteral("жовтня"), QStringLiteral("October")},
        {QStringLiteral("листопада"), QStringLiteral("November")},
        {QStringLiteral("грудня"), QStringLiteral("December")},
    }};
    return names;
}

QString UkrainianMonth(int month)
{
    return month >= 1 && month <= 12 ? monthNames()[static_cast<size_t>(month - 1)].first
                                     : QString();
}

QString EnglishMonth(int month)
{
    return month >= 1 && month <= 12 ? monthNames()[static_cast<size_t>(month - 1)].second
                                     : QString();
}

QString OrdinalSuffix(int day)
{
    switch (day) {
    case 1:
    case 21:
    case 31:
        return QStringLiteral("st");
    case 2:
    case 22:
        return QStringLiteral("nd");
    case 3:
    case 23:
        return QStringLiteral("rd");
    default:
        return day >= 4 && day <= 30 ? QStringLiteral("th") : QString();
    }
}

} // namespace TagValues
