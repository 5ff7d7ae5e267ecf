// Arbitrary date texts through the tag substitution's date splitting: the
// first line is the issue date, the rest the graduation date; the first byte
// decides whether the template asks for the day's ordinal suffix. The
// substitution either fills every date tag, refuses a date that is no day
// of the calendar with the document untouched, or throws LumarelError with
// the conversion text.
#include "tests/fuzz/FuzzCheck.h"

#include "records/LumarelError.h"
#include "records/StudentRecord.h"
#include "generate/TagSubstitution.h"
#include "tests/support/TextDocumentSession.h"

namespace {

QString templateText(bool withSuffix)
{
    QString t = QStringLiteral("#Прізвище# #ДатаДп# #РікДп# #МісДп# #MonthDp# #МісДпЧисло# "
                               "#ДатаЗн# #РікЗн# #МісЗн# #MonthZn# #МісЗнЧисло#");
    if (withSuffix)
        t += QStringLiteral(" #AddDateEnDp# #AddDateEnZn#");
    return t;
}

const QString DateTags[] = {
    QStringLiteral("#ДатаДп#"),  QStringLiteral("#РікДп#"),      QStringLiteral("#МісДп#"),
    QStringLiteral("#MonthDp#"), QStringLiteral("#МісДпЧисло#"), QStringLiteral("#AddDateEnDp#"),
    QStringLiteral("#ДатаЗн#"),  QStringLiteral("#РікЗн#"),      QStringLiteral("#МісЗн#"),
    QStringLiteral("#MonthZn#"), QStringLiteral("#МісЗнЧисло#"), QStringLiteral("#AddDateEnZn#"),
};

bool isMonthNumberTag(const QString& tag)
{
    return tag == u"#МісДпЧисло#" || tag == u"#МісЗнЧисло#";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool withSuffix = data[0] & 1;
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const qsizetype newline = input.indexOf(u'\n');
    StudentRecord record;
    record.LastName = QStringLiteral("Шевченко");
    record.IssueDate = newline < 0 ? input : input.left(newline);
    record.GraduateDate = newline < 0 ? QString() : input.mid(newline + 1);

    TextDocumentSession document(templateText(withSuffix));
    try {
        const Substitution filled = SubstituteTags(record, document);
        if (!filled) {
            FUZZ_CHECK(filled.refusal.startsWith(QStringLiteral("Неправильна дата «")));
            FUZZ_CHECK(document.passCount() == 0);
            FUZZ_CHECK(document.text() == templateText(withSuffix));
            return 0;
        }
        // Every date tag is gone, unless a date text brought a tag back in.
        if (!record.IssueDate.contains(u'#') && !record.GraduateDate.contains(u'#')) {
            for (const QString& tag : DateTags)
                FUZZ_CHECK(!document.text().contains(tag, Qt::CaseInsensitive));
        }
        for (const auto& [tag, value] : document.replaceCalls()) {
            if (isMonthNumberTag(tag) && !value.isEmpty()) {
                FUZZ_CHECK(value.size() >= 2);
                for (QChar c : value)
                    FUZZ_CHECK(c.isDigit());
            }
        }
    } catch (const LumarelError& e) {
        FUZZ_CHECK(!e.text().isEmpty());
        FUZZ_CHECK(e.text().endsWith(QStringLiteral("' is not a valid integer value")));
    }
    return 0;
}
