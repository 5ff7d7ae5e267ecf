// Generation time per document: N documents from one template, each with an
// office of its own, as a batch export makes them.
//   bench_generate [N ...]      (default: 20 100)

#include "generate/DocumentGeneration.h"
#include "generate/office/LibreOfficeSession.h"
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
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
<office:body><office:text>
<text:p>#Прізвище# #Ім`я# #По батькові# закінчи#З_Рід# #ВНЗ#</text:p>
<text:p>#Last name# #First name# #Middle name# #Universityname#</text:p>
<text:p>#Напрям/спеціальність# #field of study# #Кваліфікація# #qualification#</text:p>
<text:p>#Серія диплома# #Номер диплома# #Посада керівника# #Керівник# #bossworkpost# #boss#</text:p>
<table:table table:name="T"><table:table-column table:number-columns-repeated="2"/>
<table:table-row><table:table-cell><text:p>#ДатаДп# #МісДп# 20#РікДп# (#МісДпЧисло#)</text:p>
</table:table-cell><table:table-cell><text:p>#ДатаДп##AddDateEnDp# #MonthDp# 20#РікДп#</text:p>
</table:table-cell></table:table-row>
<table:table-row><table:table-cell><text:p>#ДатаЗн# #МісЗн# 20#РікЗн# (#МісЗнЧисло#)</text:p>
</table:table-cell><table:table-cell><text:p>#ДатаЗн##AddDateEnZn# #MonthZn# 20#РікЗн#</text:p>
</table:table-cell></table:table-row></table:table>
</office:text></office:body></office:document>
)";

StudentRecord sampleRecord()
{
    StudentRecord r;
    r.DisplayName = QStringLiteral("Шевченко Т.Г.");
    r.LastName = QStringLiteral("Шевченко");
    r.FirstName = QStringLiteral("Тарас");
    r.MiddleName = QStringLiteral("Григорович");
    r.LastNameEn = QStringLiteral("Shevchenko");
    r.FirstNameEn = QStringLiteral("Taras");
    r.SexId = QStringLiteral("1");
    r.UniversityPrintName = QStringLiteral("Київський університет");
    r.IssueDate = QStringLiteral("30.06.2015");
    r.GraduateDate = QStringLiteral("25/06/2015");
    r.LevelCode = QStringLiteral("6.020303");
    return r;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> counts;
    for (const QString& arg : QCoreApplication::arguments().mid(1))
        counts << arg.toInt();
    if (counts.isEmpty())
        counts = {20, 100};

    QTemporaryDir dir;
    // Profiles of its own, so the user's cache is left alone.
    qputenv("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")).toUtf8());
    const WorkDir workDir(dir.path());
    SettingsFiles::EnsureWorkFolders(workDir);
    const QString templatePath = workDir.filePath(QStringLiteral("Templates/bench.fodt"));
    QFile file(templatePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(Template) < 0)
        return 1;
    file.close();

    RecordStore store;
    store.BeginImport();
    store.MutableRecord(store.AppendRecord()) = sampleRecord();
    const GenerationContext context{store, workDir, nullptr, {}};

    try {
        // The first start creates the profile; it is not what a batch pays.
        GenerateDocument(context, 1, templatePath, true, OutputKind::Demonstration);
        for (const int n : counts) {
            std::vector<double> times;
            QElapsedTimer all;
            all.start();
            for (int k = 0; k < n; ++k) {
                QElapsedTimer one;
                one.start();
                if (!GenerateDocument(context, 1, templatePath, true, OutputKind::Regular)
                         .has_value())
                    return 1;
                times.push_back(one.nsecsElapsed() / 1e6);
            }
            std::printf("N=%d: median %.0f ms per document (min %.0f, max %.0f), total %.1f s\n",
                        n, median(times), *std::min_element(times.begin(), times.end()),
                        *std::max_element(times.begin(), times.end()), all.elapsed() / 1000.0);
            std::fflush(stdout);
        }
    } catch (const LumarelError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
