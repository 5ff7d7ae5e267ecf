#include "generate/TagSubstitution.h"

#include "records/LumarelError.h"
#include "records/TextRules.h"

#include <array>

namespace {

// The document's text as the replacements so far have made it: a tag that it
// does not hold, whatever the letter case, would be looked for in vain, and
// each call into the office costs far more than this copy.
class TextModel {
public:
    TextModel(DocumentSession& document, QString text, bool complete)
        : m_document(document), m_text(std::move(text)), m_complete(complete)
    {
    }
    void replace(const QString& tag, const QString& value)
    {
        if (m_complete && !m_text.contains(tag, Qt::CaseInsensitive))
            return;
        m_document.ReplaceTag(tag, value);
        m_text.replace(tag, value, Qt::CaseInsensitive);
    }
    DocumentSession& document() { return m_document; }

private:
    DocumentSession& m_document;
    QString m_text;
    bool m_complete;
};

struct DateTags {
    QString day, year, ukrainianMonth, englishMonth, monthNumber, suffix;
};

const DateTags IssueDateTags{
    QStringLiteral("#ДатаДп#"),  QStringLiteral("#РікДп#"),      QStringLiteral("#МісДп#"),
    QStringLiteral("#MonthDp#"), QStringLiteral("#МісДпЧисло#"), QStringLiteral("#AddDateEnDp#"),
};
const DateTags GraduateDateTags{
    QStringLiteral("#ДатаЗн#"),  QStringLiteral("#РікЗн#"),      QStringLiteral("#МісЗн#"),
    QStringLiteral("#MonthZn#"), QStringLiteral("#МісЗнЧисло#"), QStringLiteral("#AddDateEnZn#"),
};

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

void substituteDate(const QString& date, const DateTags& tags, TextModel& document)
{
    if (date.isEmpty()) {
        for (const QString* tag : {&tags.day, &tags.year, &tags.ukrainianMonth, &tags.englishMonth,
                                   &tags.monthNumber, &tags.suffix})
            document.replace(*tag, QString());
        return;
    }
    const QChar separator = date.contains(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('.');
    auto [dayText, rest] = splitAtFirst(date, separator);
    if (dayText.size() == 1)
        dayText.prepend(QLatin1Char('0'));
    const auto [monthText, yearRest] = splitAtFirst(rest, separator);
    // Both are kept in 16 bits, as the stored dates always were.
    const auto month = static_cast<quint16>(toInteger(monthText));
    // A time after a dotted date ("25.06.2012 0:00:00") is dropped.
    const auto year = static_cast<quint16>(
        toInteger(separator == QLatin1Char('.') ? yearRest.left(4) : yearRest));

    document.replace(tags.day, dayText);
    document.replace(tags.year, QString::number(year).mid(2, 2));
    document.replace(tags.ukrainianMonth, TagValues::UkrainianMonth(month));
    document.replace(tags.englishMonth, TagValues::EnglishMonth(month));
    document.replace(tags.monthNumber, twoDigits(month));
    // The day becomes a number only when a template asks for its suffix.
    if (document.document().ReadTextForSearch().contains(tags.suffix))
        document.replace(tags.suffix, TagValues::OrdinalSuffix(toInteger(dayText)));
}

} // namespace

namespace TagValues {

QString GenderEnding(const QString& sexId)
{
    if (sexId == u"1")
        return QStringLiteral("в");
    if (sexId == u"2")
        return QStringLiteral("ла");
    return QStringLiteral(" ");
}

QString UkrainianMonth(int month)
{
    static const std::array<QString, 12> names{
        QStringLiteral("січня"),  QStringLiteral("лютого"),    QStringLiteral("березня"),
        QStringLiteral("квітня"), QStringLiteral("травня"),    QStringLiteral("червня"),
        QStringLiteral("липня"),  QStringLiteral("серпня"),    QStringLiteral("вересня"),
        QStringLiteral("жовтня"), QStringLiteral("листопада"), QStringLiteral("грудня"),
    };
    return month >= 1 && month <= 12 ? names[static_cast<size_t>(month - 1)] : QString();
}

QString EnglishMonth(int month)
{
    static const std::array<QString, 12> names{
        QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
        QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
        QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December"),
    };
    return month >= 1 && month <= 12 ? names[static_cast<size_t>(month - 1)] : QString();
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

bool SubstituteTags(const StudentRecord& record, DocumentSession& document)
{
    QString text = document.ReadTextForSearch();
    if (!text.contains(SurnameTag))
        return false;
    TextModel model(document, std::move(text), document.TextCoversDocument());

    const std::pair<QString, const QString*> fields[] = {
        {SurnameTag, &record.LastName},
        {QStringLiteral("#Ім`я#"), &record.FirstName},
        {QStringLiteral("#По батькові#"), &record.MiddleName},
        {QStringLiteral("#Last name#"), &record.LastNameEn},
        {QStringLiteral("#First name#"), &record.FirstNameEn},
        {QStringLiteral("#Middle name#"), &record.MiddleNameEn},
    };
    for (const auto& [tag, value] : fields)
        model.replace(tag, *value);
    model.replace(QStringLiteral("#З_Рід#"), TagValues::GenderEnding(record.SexId));

    const std::pair<QString, const QString*> more[] = {
        {QStringLiteral("#Напрям/спеціальність#"), &record.SpecialityName},
        {QStringLiteral("#field of study#"), &record.SpecialityNameEn},
        {QStringLiteral("#Кваліфікація#"), &record.QualificationName},
        {QStringLiteral("#qualification#"), &record.QualificationNameEn},
        {QStringLiteral("#Серія диплома#"), &record.DocumentSeries},
        {QStringLiteral("#Номер диплома#"), &record.DocumentNumber},
        {QStringLiteral("#ВНЗ#"), &record.UniversityPrintName},
        {QStringLiteral("#Universityname#"), &record.UniversityPrintNameEn},
        {QStringLiteral("#Посада керівника#"), &record.BossPost},
        {QStringLiteral("#bossworkpost#"), &record.BossPostEn},
        {QStringLiteral("#Керівник#"), &record.BossFIO},
        {QStringLiteral("#boss#"), &record.BossFIOEn},
    };
    for (const auto& [tag, value] : more)
        model.replace(tag, *value);

    substituteDate(record.IssueDate, IssueDateTags, model);
    substituteDate(record.GraduateDate, GraduateDateTags, model);
    return true;
}
