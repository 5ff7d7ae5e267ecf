// The check before printing: N graduates of K document kinds, each kind with
// a template of its own, on the real office. Prints the whole time, the
// template reads it made and the time of the data check alone.
//   bench_check [N [K]]      (default: 100 4)

#include "checks/DataCheck.h"
#include "records/LumarelError.h"
#include "settings/SettingsFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const char* const Template = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
<office:body><office:text>
<text:p>#Серія диплома# #Номер диплома# #Прізвище# #Ім`я# #По батькові# закінчи#З_Рід# #ВНЗ#</text:p>
<text:p>#Last name# #First name# #Universityname# #field of study# #qualification#</text:p>
<text:p>#ДатаДп# #МісДп# 20#РікДп# #ДатаДп##AddDateEnDp# #MonthDp# #boss# #bossworkpost#</text:p>
</office:text></office:body></office:document>
)";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int count = args.size() > 1 ? args.at(1).toInt() : 100;
    const int kinds = args.size() > 2 ? std::clamp(args.at(2).toInt(), 1, 8) : 4;
    QTemporaryDir dir;
    const WorkDir workDir(dir.path());
    SettingsFiles::EnsureWorkFolders(workDir);
    QStringList table(8);
    for (int k = 0; k < kinds; ++k) {
        table[k] = dir.filePath(QStringLiteral("kind%1.fodt").arg(k + 1));
        QFile f(table[k]);
        if (!f.open(QIODevice::WriteOnly) || f.write(Template) < 0)
            return 1;
    }
    SettingsFiles::SaveTemplateTable(workDir, table);

    RecordStore store;
    store.BeginImport();
    QList<int> all;
    for (int n = 1; n <= count; ++n) {
        StudentRecord& r = store.MutableRecord(store.AppendRecord());
        const int slot = (n - 1) % kinds; // 0-based: degree 5..8, honours on odd slots
        r.LevelCode = QString::number(5 + slot / 2);
        r.AwardTypeName = slot % 2 ? QStringLiteral("1") : QStringLiteral("0");
        r.RecordNumber = 51000000 + n;
        r.DisplayName = QStringLiteral("Бойко І.О. %1").arg(n);
        r.LastName = r.FirstName = r.MiddleName = r.LastNameEn = r.FirstNameEn =
            QStringLiteral("Бойко");
        r.UniversityPrintName = r.UniversityPrintNameEn = r.SpecialityNameEn =
            r.QualificationNameEn = r.BossFIOEn = r.BossPostEn = QStringLiteral("x");
        r.SexId = QStringLiteral("1");
        r.DocumentSeries = QStringLiteral("B23");
        r.DocumentNumber = QString::number(n);
        r.IssueDate = n % 10 ? QStringLiteral("30.06.2023") : QStringLiteral("31.02.2023");
        all.append(n);
    }

    try {
        TemplateReader reader;
        QElapsedTimer whole;
        whole.start();
        const qsizetype found = DataCheck(store, workDir, reader).check(all).size();
        const qint64 wholeMs = whole.elapsed();
        // Again with every template known: the data check alone.
        QElapsedTimer data;
        data.start();
        DataCheck(store, workDir, reader).check(all);
        const qint64 dataMs = data.elapsed();
        std::printf("%d graduates, %d kinds: %lld ms in all (office start and %d template "
                    "reads included), %lld findings; the data check alone %lld ms\n",
                    count, kinds, static_cast<long long>(wholeMs), reader.reads(),
                    static_cast<long long>(found), static_cast<long long>(dataMs));
    } catch (const LumarelError& e) {
        std::fprintf(stderr, "%s\n", e.text().toUtf8().constData());
        return 1;
    }
    return 0;
}
