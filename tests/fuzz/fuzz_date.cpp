// Arbitrary date texts through the tag substitution's date splitting: the
// first line is the issue date, the rest the graduation date; the first byte
// decides whether the template asks for the day's ordinal suffix. The
// substitution either fills every date tag or throws LumarelError.
#include "FuzzCheck.h"

#include "LumarelError.h"
#include "StudentRecord.h"
#include "TagSubstitution.h"
#include "TextDocumentSession.h"

namespace {

QString templateText(bool withSuffix)
{
    QString t = QStringLiteral("#Прізвище# #ДатаДп# #РікДп# #МісДп# #MonthDp# #МісДпЧисло# "
                               "#ДатаЗн# #РікЗн# #МісЗн# #MonthZn# #МісЗнЧисло#");
    if (withSuffix)
        t += QStringLiteral(" #AddDateEnDp# #AddDateEnZn#");
    return t;
}

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
        FUZZ_CHECK(SubstituteTags(record, document));
        // 19 plain tags and two groups of six, the suffix of a dated group
        // only when the template asks for it.
        int expected = 19 + 12;
        if (!withSuffix)
            expected -= int(!record.IssueDate.isEmpty()) + int(!record.GraduateDate.isEmpty());
        FUZZ_CHECK(document.replaceCalls().size() == expected);
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
