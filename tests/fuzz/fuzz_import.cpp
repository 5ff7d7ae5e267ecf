// Arbitrary bytes as an EDEBO export: the import accepts, refuses with one of
// its two texts, or throws LumarelError, and a file it does not accept
// leaves the previous records and list untouched.
#include "tests/fuzz/FuzzCheck.h"

#include "import/ImportXmlFile.h"
#include "records/LumarelError.h"
#include "records/RecordStore.h"
#include "records/StudentListLine.h"
#include "records/TextRules.h"

namespace {

constexpr qint32 PreviousNumber = 424242;

void fillPrevious(RecordStore& store, QStringList& lines)
{
    store.BeginImport();
    const int i = store.AppendRecord();
    store.MutableRecord(i).RecordNumber = PreviousNumber;
    store.MutableRecord(i).LastName = QStringLiteral("Попередній");
    lines = QStringList{QStringLiteral("424242      Попередній")};
}

bool isPrevious(const RecordStore& store, const QStringList& lines)
{
    return store.RecordCount() == 1 && store.Record(1).RecordNumber == PreviousNumber &&
           store.Record(1).LastName == u"Попередній" && lines.size() == 1;
}

void checkAccepted(RecordStore& store, const QStringList& lines)
{
    FUZZ_CHECK(store.RecordCount() <= RecordStore::Capacity);
    FUZZ_CHECK(lines.size() == store.RecordCount());
    for (int i = 1; i <= store.RecordCount(); ++i) {
        StudentRecord& r = store.MutableRecord(i);
        for (const FieldInfo& f : Fields()) {
            FUZZ_CHECK(f.Width == 0 || TextRules::CodePointCount(r.*f.Member) <= f.Width);
        }
        const QString number = QString::number(r.RecordNumber);
        const QString& line = lines.at(i - 1);
        FUZZ_CHECK(line.startsWith(number));
        // The export finds the record again through the number at the front.
        if (number.size() < 11) {
            qint32 back = 0;
            FUZZ_CHECK(ListLineNumber(line, &back));
            FUZZ_CHECK(back == r.RecordNumber);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    RecordStore store;
    QStringList lines;
    fillPrevious(store, lines);
    try {
        const std::optional<QString> refusal =
            ImportXmlBytes(bytes, QStringLiteral("fuzz.xml"), store, lines);
        if (!refusal) {
            checkAccepted(store, lines);
        } else {
            FUZZ_CHECK(*refusal == WrongStructureText || *refusal == TooManyRecordsText);
            FUZZ_CHECK(isPrevious(store, lines));
        }
    } catch (const LumarelError& e) {
        FUZZ_CHECK(!e.text().isEmpty());
        FUZZ_CHECK(isPrevious(store, lines));
    }
    return 0;
}
