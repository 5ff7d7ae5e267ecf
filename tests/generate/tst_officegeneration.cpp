#include "records/LumarelError.h"
#include "tests/support/OfficeReading.h"
#include "tests/support/OfficeWork.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcesses.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>

// Generation on the real office: every test starts offices of its own, under
// a cache folder of its own, and none may be left running afterwards.
class TestOfficeGeneration : public QObject, private OfficeWork {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void generate_data();
    void generate();
    void threeUniqueNames();
    void templateWithoutSurname();
    void missingTemplate();
    void badDate();
    void oneOfficeForSeveralDocuments();
    void heldTemplateMatchesFreshLoad_data();
    void heldTemplateMatchesFreshLoad();
    void heldTemplateSparesLoads_data();
    void heldTemplateSparesLoads();
    void changedTemplateIsLoadedAgain();
    void profileKeepsOurSettings();
    void officeCrash();
    void neverOverwrites();
    void installed();
    void pdfBeside();
    void pdfOfEachDocumentInOneOffice();
    void pdfFailureLeavesNothing();

private:
    QString writeTemplate(const QString& name, const QStringList& paragraphs,
                          const QStringList& cells);
};

namespace {

QString xmlEscape(const QString& text)
{
    return text.toHtmlEscaped();
}

// Every tag once, the surname twice, some of them in a table.
const QStringList BodyLines = {
    u"Прізвище=#Прізвище#"_qs,
    u"Ім`я=#Ім`я#"_qs,
    u"По батькові=#По батькові#"_qs,
    u"Last=#Last name#"_qs,
    u"First=#First name#"_qs,
    u"Middle=#Middle name#"_qs,
    u"закінчи#З_Рід#"_qs,
    u"Спец=#Напрям/спеціальність#"_qs,
    u"field=#field of study#"_qs,
    u"Кваліфікація=#Кваліфікація#"_qs,
    u"qual=#qualification#"_qs,
    u"Серія=#Серія диплома#"_qs,
    u"Номер=#Номер диплома#"_qs,
    u"Посада=#Посада керівника#"_qs,
    u"post=#bossworkpost#"_qs,
    u"Керівник=#Керівник#"_qs,
    u"boss=#boss#"_qs,
    u"Дп=#ДатаДп# #МісДп# 20#РікДп# (#МісДпЧисло#)"_qs,
    u"Dp=#ДатаДп##AddDateEnDp# #MonthDp# 20#РікДп#"_qs,
    u"Знову=#Прізвище#"_qs,
};
const QStringList TableCells = {
    u"ВНЗ=#ВНЗ#"_qs,
    u"uni=#Universityname#"_qs,
    u"Зн=#ДатаЗн# #МісЗн# 20#РікЗн# (#МісЗнЧисло#)"_qs,
    u"Zn=#ДатаЗн##AddDateEnZn# #MonthZn# 20#РікЗн#"_qs,
};

} // namespace

void TestOfficeGeneration::initTestCase()
{
    if (!LibreOfficeSession::IsInstalled())
        QSKIP("LibreOffice is not installed");
    isolate();
}

void TestOfficeGeneration::init()
{
    renew();
}

void TestOfficeGeneration::cleanup()
{
    QCOMPARE(ourOffices(), QList<qint64>());
    // Neither the documents' scratch nor the offices' own temporary folders
    // outlive them, killed offices' included.
    QCOMPARE(TestProcesses::ourScratchFolders(), QStringList());
}

// A flat OpenDocument text, which the office opens like any template.
QString TestOfficeGeneration::writeTemplate(const QString& name, const QStringList& paragraphs,
                                            const QStringList& cells)
{
    QString body;
    for (const QString& p : paragraphs)
        body += u"<text:p>"_qs + xmlEscape(p) + u"</text:p>\n"_qs;
    if (!cells.isEmpty()) {
        body += u"<table:table table:name=\"T\"><table:table-column "
                u"table:number-columns-repeated=\"2\"/>\n"_qs;
        for (qsizetype k = 0; k < cells.size(); k += 2) {
            body += u"<table:table-row>"_qs;
            for (qsizetype j = k; j < k + 2; ++j)
                body += u"<table:table-cell><text:p>"_qs +
                        (j < cells.size() ? xmlEscape(cells.at(j)) : QString()) +
                        u"</text:p></table:table-cell>"_qs;
            body += u"</table:table-row>\n"_qs;
        }
        body += u"</table:table>\n<text:p>кінець</text:p>\n"_qs;
    }
    return putTemplate(name, TestFiles::flatDocument({}, body));
}

void TestOfficeGeneration::generate_data()
{
    QTest::addColumn<QByteArray>("records");
    QTest::addColumn<QString>("fileName");
    // Every line of the template as the saved document must hold it.
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("attribute form")
        << TestFiles::attributeRecord() << u"Шевченко_Тарас_Григорович_Диплом.doc"_qs
        << QStringList{u"Прізвище=Шевченко"_qs, u"Ім`я=Тарас"_qs, u"По батькові=Григорович"_qs,
                       u"Last=Shevchenko"_qs, u"First=Taras"_qs, u"Middle=Hryhorovych"_qs,
                       u"закінчив"_qs, u"Спец=Філологія"_qs, u"field=Philology"_qs,
                       u"Кваліфікація=бакалавр філології"_qs, u"qual=Bachelor of Philology"_qs,
                       u"Серія=КВ"_qs, u"Номер=12345678"_qs, u"Посада=Ректор"_qs, u"post=Rector"_qs,
                       u"Керівник=П.С. Іваненко"_qs, u"boss=P. Ivanenko"_qs,
                       u"Дп=30 червня 2015 (06)"_qs, u"Dp=30th June 2015"_qs, u"Знову=Шевченко"_qs,
                       u"ВНЗ=Київський університет"_qs, u"uni=Kyiv University"_qs,
                       // No graduation date in this form: its tags go.
                       u"Зн=  20 ()"_qs, u"Zn=  20"_qs};
    QTest::newRow("element form")
        // A value with a line break in it (EDEBO writes "&#xA;").
        << TestFiles::elementRecord({{u"UniversityPrintName"_qs, u"Львівський\nуніверситет"_qs}})
        << u"Косач_Л.П._Диплом.doc"_qs
        << QStringList{u"Прізвище=Косач"_qs,
                       u"Ім`я=Лариса"_qs,
                       u"По батькові=Петрівна"_qs,
                       u"Last=Kosach"_qs,
                       u"First=Larysa"_qs,
                       u"Middle=Petrivna"_qs,
                       u"закінчила"_qs,
                       u"Спец=Музичне мистецтво"_qs,
                       u"field=Musical Art"_qs,
                       u"Кваліфікація=магістр"_qs,
                       u"qual=Master"_qs,
                       u"Серія=ЛВ"_qs,
                       u"Номер=40123456"_qs,
                       u"Посада=Ректор"_qs,
                       u"post=Rector"_qs,
                       u"Керівник=О.М. Мельник"_qs,
                       u"boss=O. Melnyk"_qs,
                       u"Дп=01 липня 2016 (07)"_qs,
                       u"Dp=01st July 2016"_qs,
                       u"Знову=Косач"_qs,
                       u"ВНЗ=Львівський\nуніверситет"_qs,
                       u"uni=Lviv University"_qs,
                       u"Зн=25 червня 2016 (06)"_qs,
                       u"Zn=25th June 2016"_qs};
}

void TestOfficeGeneration::generate()
{
    QFETCH(QByteArray, records);
    QFETCH(QString, fileName);
    QFETCH(QStringList, expected);
    QCOMPARE(expected.size(), BodyLines.size() + TableCells.size());
    importRecords(records);
    const QString templatePath = writeTemplate(u"шаблон.fodt"_qs, BodyLines, TableCells);
    const QByteArray templateBytes = TestFiles::read(templatePath);

    const QString saved =
        GenerateDocument(context(), 1, templatePath, true, OutputKind::Regular).value_or(QString());
    QCOMPARE(saved, m_work->filePath(u"Results/"_qs + fileName));
    QVERIFY(QFileInfo::exists(saved));
    // A Word 97-2003 document is an OLE compound file.
    QVERIFY(TestFiles::read(saved).startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1")));
    QCOMPARE(TestFiles::read(templatePath), templateBytes);
    QCOMPARE(QDir(m_work->filePath(u"Templates"_qs)).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"шаблон.fodt"_qs});

    const QString text = readBack(saved);
    const QStringList paragraphs = text.split(u'\r');
    for (const QString& line : expected)
        QVERIFY2(paragraphs.contains(line), qPrintable(line + u" not in:\n"_qs + text));
    QVERIFY2(!text.contains(u'#'), qPrintable(text));
}

void TestOfficeGeneration::threeUniqueNames()
{
    importRecords(TestFiles::elementRecord());
    const QString templatePath = writeTemplate(u"t.fodt"_qs, {u"#Прізвище#"_qs}, {});
    QStringList names;
    for (int k = 0; k < 3; ++k)
        names << QFileInfo(GenerateDocument(context(), 1, templatePath, true, OutputKind::Regular)
                               .value_or(QString()))
                     .fileName();
    QCOMPARE(names, QStringList({u"Косач_Л.П._Диплом.doc"_qs, u"Косач_Л.П._Диплом(1).doc"_qs,
                                 u"Косач_Л.П._Диплом(2).doc"_qs}));
    QCOMPARE(QDir(m_work->filePath(u"Results"_qs)).entryList(QDir::Files).size(), 3);
}

void TestOfficeGeneration::templateWithoutSurname()
{
    importRecords(TestFiles::elementRecord());
    const QString templatePath =
        writeTemplate(u"t.fodt"_qs, {u"#Ім`я# #ДатаДп#"_qs}, {u"#прізвище#"_qs});
    const QByteArray before = TestFiles::read(templatePath);
    QCOMPARE(GenerateDocument(context(), 1, templatePath, true, OutputKind::Regular), std::nullopt);
    QVERIFY(QDir(m_work->filePath(u"Results"_qs)).isEmpty());
    QCOMPARE(TestFiles::read(templatePath), before);
}

void TestOfficeGeneration::missingTemplate()
{
    importRecords(TestFiles::elementRecord());
    GenerationContext c = context();
    int started = 0;
    c.makeSession = [&started]() -> std::unique_ptr<DocumentSession> {
        ++started;
        return std::make_unique<LibreOfficeSession>();
    };
    QCOMPARE(GenerateDocument(c, 1, m_work->filePath(u"Templates/немає.doc"_qs), true,
                              OutputKind::Regular),
             std::nullopt);
    QCOMPARE(GenerateDocument(c, 1, m_work->filePath(u"Templates"_qs), true, OutputKind::Regular),
             std::nullopt);
    QCOMPARE(started, 0);
}

void TestOfficeGeneration::badDate()
{
    importRecords(TestFiles::elementRecord({{u"GraduateDate"_qs, u"25/06/2012 0:00:00"_qs}}));
    const QString templatePath = writeTemplate(u"t.fodt"_qs, BodyLines, TableCells);
    try {
        GenerateDocument(context(), 1, templatePath, false, OutputKind::Regular);
        QFAIL("no error");
    } catch (const LumarelError& e) {
        QCOMPARE(e.text(), u"'2012 0:00:00' is not a valid integer value"_qs);
    }
    QVERIFY(QDir(m_work->filePath(u"Results"_qs)).isEmpty());
}

void TestOfficeGeneration::oneOfficeForSeveralDocuments()
{
    importRecords(TestFiles::elementRecord() +
                  TestFiles::elementRecord({{u"LastName"_qs, u"Франко"_qs}}));
    const QString templatePath = writeTemplate(u"t.fodt"_qs, {u"#Прізвище#"_qs}, {});
    LibreOfficeSession office;
    office.start(true);
    const qint64 pid = office.processId();
    QVERIFY(pid > 0);
    GenerationContext c = context();
    c.session = &office;
    const QString first =
        GenerateDocument(c, 1, templatePath, true, OutputKind::Regular).value_or(QString());
    const QString second =
        GenerateDocument(c, 2, templatePath, true, OutputKind::Demonstration).value_or(QString());
    QCOMPARE(office.processId(), pid);
    office.quit();
    QCOMPARE(office.processId(), 0);
    QVERIFY(readBack(first).startsWith(u"Косач\r"_qs));
    QVERIFY(readBack(second).startsWith(u"Франко\r"_qs));
}

void TestOfficeGeneration::heldTemplateMatchesFreshLoad_data()
{
    QTest::addColumn<bool>("inOffice");
    QTest::newRow("loops inside the office") << true;
    QTest::newRow("call by call") << false;
}

// One office fills a dozen graduates in a row: the template is held open, its
// filling undone between them. Every document must read exactly as the one
// an office of its own makes from a fresh load.
void TestOfficeGeneration::heldTemplateMatchesFreshLoad()
{
    QFETCH(bool, inOffice);
    const QStringList surnames = {
        u"Косач"_qs,
        u"Франко"_qs,
        u"О'Коннор-Шевченко"_qs,
        u"#ВНЗ#"_qs,
        u"A & B $1 \\1"_qs,
        QString(40, u'Ж'),
        u"Ї"_qs,
        u"Квітка-Основ'яненко"_qs,
        u"Стус"_qs,
        u"#Прізвище#"_qs,
        u"Леся 🌿"_qs,
        u"Сковорода"_qs,
    };
    QByteArray records;
    for (qsizetype k = 0; k < surnames.size(); ++k)
        records +=
            TestFiles::elementRecord({{u"LastName"_qs, surnames.at(k)},
                                      {u"DocumentNumber"_qs, QString::number(40123456 + k)}});
    importRecords(records);
    const QString templatePath = writeTemplate(u"t.fodt"_qs, BodyLines, TableCells);

    LibreOfficeSession office;
    office.setOfficeLoops(inOffice);
    office.start(true);
    // A module the office refused would only show as a slower batch.
    QCOMPARE(office.officeLoopsRunning(), inOffice);
    GenerationContext held = context();
    held.session = &office;
    QStringList heldPaths, freshPaths;
    for (int k = 1; k <= surnames.size(); ++k)
        heldPaths << GenerateDocument(held, k, templatePath, true, OutputKind::Regular)
                         .value_or(QString());
    office.quit();
    for (int k = 1; k <= surnames.size(); ++k)
        freshPaths << GenerateDocument(context(), k, templatePath, true, OutputKind::Demonstration)
                          .value_or(QString());

    LibreOfficeSession reader;
    reader.start(true);
    for (qsizetype k = 0; k < surnames.size(); ++k) {
        reader.open(heldPaths.at(k));
        const QString heldText = ReadDocumentText(reader);
        reader.open(freshPaths.at(k));
        QCOMPARE(heldText, ReadDocumentText(reader));
        QVERIFY2(heldText.startsWith(u"Прізвище="_qs + surnames.at(k) + u'\r'),
                 qPrintable(heldText.left(80)));
    }
    reader.quit();
}

void TestOfficeGeneration::heldTemplateSparesLoads_data()
{
    heldTemplateMatchesFreshLoad_data();
}

// A dozen graduates of one template in one office: the held template is
// taken up again, its filling undone, and never loaded afresh. A filling
// left in place would show as a load for every document; the places an
// undo selects, left selected, as selections that grow with each graduate
// (and slow every one after).
void TestOfficeGeneration::heldTemplateSparesLoads()
{
    QFETCH(bool, inOffice);
    QByteArray records;
    for (int k = 0; k < 12; ++k)
        records +=
            TestFiles::elementRecord({{u"LastName"_qs, u"Прізвище%1"_qs.arg(k)},
                                      {u"DocumentNumber"_qs, QString::number(40123456 + k)}});
    importRecords(records);
    const QString templatePath =
        writeTemplate(u"t.fodt"_qs, {u"#Прізвище# #Ім`я#"_qs}, {u"#ВНЗ#"_qs});
    LibreOfficeSession office;
    office.setOfficeLoops(inOffice);
    office.start(true);
    GenerationContext held = context();
    held.session = &office;
    for (int k = 1; k <= 12; ++k)
        QVERIFY(GenerateDocument(held, k, templatePath, true, OutputKind::Regular));
    const int loads = office.templateLoads();
    const int selections = office.heldSelections();
    office.quit();
    QCOMPARE(loads, 1);
    QCOMPARE(selections, 1);
}

// A template held open is not used once its file has changed on disk.
void TestOfficeGeneration::changedTemplateIsLoadedAgain()
{
    importRecords(TestFiles::elementRecord());
    const QString templatePath = writeTemplate(u"t.fodt"_qs, {u"А #Прізвище#"_qs}, {});
    LibreOfficeSession office;
    office.start(true);
    GenerationContext c = context();
    c.session = &office;
    const QString first =
        GenerateDocument(c, 1, templatePath, true, OutputKind::Regular).value_or(QString());
    writeTemplate(u"t.fodt"_qs, {u"Б #Прізвище# і ще"_qs}, {});
    const QString second =
        GenerateDocument(c, 1, templatePath, true, OutputKind::Demonstration).value_or(QString());
    office.quit();
    QVERIFY(readBack(first).startsWith(u"А Косач\r"_qs));
    QVERIFY(readBack(second).startsWith(u"Б Косач і ще\r"_qs));
}

// What the first start records in the profile, for every later one: the
// office's version (else every start is a first start after an upgrade,
// seconds longer), and no spelling checked as the documents wait.
void TestOfficeGeneration::profileKeepsOurSettings()
{
    LibreOfficeSession office;
    office.start(true);
    office.quit();
    // The second start finds the loops' module in the profile already.
    office.start(true);
    QVERIFY(office.officeLoopsRunning());
    office.quit();
    QByteArray recorded;
    QDirIterator profiles(m_cache.path(), {u"registrymodifications.xcu"_qs}, QDir::Files,
                          QDirIterator::Subdirectories);
    while (profiles.hasNext()) {
        QFile file(profiles.next());
        if (file.open(QIODevice::ReadOnly))
            recorded += file.readAll();
    }
    for (const char* setting :
         {"\"ooSetupLastVersion\"",
          "<prop oor:name=\"IsSpellAuto\" oor:op=\"fuse\"><value>false</value>"})
        QVERIFY2(recorded.contains(setting), setting);
}

void TestOfficeGeneration::officeCrash()
{
    const QString templatePath = writeTemplate(u"t.fodt"_qs, {u"#Прізвище#"_qs}, {});
    LibreOfficeSession office;
    office.start(false);
    office.open(templatePath);
    QVERIFY(::kill(static_cast<pid_t>(office.processId()), SIGKILL) == 0);
    QVERIFY_THROWS_EXCEPTION(LumarelError, {
        for (int k = 0; k < 50; ++k) {
            ReplaceTag(office, u"#Прізвище#"_qs, u"x"_qs);
            QTest::qWait(100);
        }
    });
    office.quit();
    QCOMPARE(office.processId(), 0);
}

void TestOfficeGeneration::neverOverwrites()
{
    const QString templatePath = writeTemplate(u"t.fodt"_qs, {u"#Прізвище#"_qs}, {});
    const QString target = m_work->filePath(u"Results/існує.doc"_qs);
    TestFiles::write(target, "мій файл");
    LibreOfficeSession office;
    office.start(true);
    office.open(templatePath);
    QVERIFY_THROWS_EXCEPTION(LumarelError, office.saveAs(target));
    QVERIFY_THROWS_EXCEPTION(LumarelError, office.saveAs(m_work->filePath(u"немає/папки.doc"_qs)));
    office.quit();
    QCOMPARE(TestFiles::read(target), QByteArray("мій файл"));
}

void TestOfficeGeneration::installed()
{
    QVERIFY(CheckWordInstalled());
}

void TestOfficeGeneration::pdfBeside()
{
    importRecords(TestFiles::elementRecord());
    const QString templatePath = writeTemplate(u"t.fodt"_qs, {u"#Прізвище#"_qs}, {});
    // A PDF the user kept under the first name is left alone: both files move on.
    const QString results = m_work->filePath(u"Results"_qs);
    TestFiles::write(results + u"/Косач_Л.П._Диплом.pdf"_qs, "user's");
    GenerationContext c = context();
    c.pdf = true;
    const QString saved =
        GenerateDocument(c, 1, templatePath, true, OutputKind::Regular).value_or(QString());
    QCOMPARE(saved, results + u"/Косач_Л.П._Диплом(1).doc"_qs);
    const QString pdf = results + u"/Косач_Л.П._Диплом(1).pdf"_qs;
    QProcess text;
    text.start(u"pdftotext"_qs, {pdf, u"-"_qs});
    QVERIFY(text.waitForFinished(60000));
    QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains(u"Косач"_qs));
    QCOMPARE(TestFiles::read(results + u"/Косач_Л.П._Диплом.pdf"_qs), QByteArray("user's"));
    QVERIFY(readBack(saved).startsWith(u"Косач"_qs));
}

void TestOfficeGeneration::pdfOfEachDocumentInOneOffice()
{
    importRecords(TestFiles::elementRecord() +
                  TestFiles::elementRecord({{u"LastName"_qs, u"Франко"_qs}}) +
                  TestFiles::elementRecord({{u"LastName"_qs, u"Стефаник"_qs}}));
    const QString templatePath = writeTemplate(u"t.fodt"_qs, {u"#Прізвище#"_qs}, {});
    LibreOfficeSession office;
    office.start(true);
    GenerationContext c = context();
    c.session = &office;
    c.pdf = true;
    QStringList pdfs;
    for (int k = 1; k <= 3; ++k)
        pdfs << GenerateDocument(c, k, templatePath, true, OutputKind::Demonstration)
                        .value_or(QString())
                        .chopped(4) +
                    u".pdf"_qs;
    office.quit();
    const QStringList surnames = {u"Косач"_qs, u"Франко"_qs, u"Стефаник"_qs};
    for (int k = 0; k < 3; ++k) {
        QProcess text;
        text.start(u"pdftotext"_qs, {pdfs.at(k), u"-"_qs});
        QVERIFY(text.waitForFinished(60000));
        const QString got = QString::fromUtf8(text.readAllStandardOutput());
        for (int other = 0; other < 3; ++other)
            QVERIFY2(got.contains(surnames.at(other)) == (other == k),
                     qPrintable(pdfs.at(k) + u' ' + got));
    }
}

void TestOfficeGeneration::pdfFailureLeavesNothing()
{
    const QString templatePath = writeTemplate(u"t.fodt"_qs, {u"Текст"_qs}, {});
    const QString folder = m_work->filePath(u"out"_qs);
    QVERIFY(QDir().mkpath(folder));
    LibreOfficeSession office;
    office.start(true);
    office.open(templatePath);
    // A name no file system takes: the office itself fails to write.
    QVERIFY_THROWS_EXCEPTION(LumarelError,
                             office.saveAsPdf(folder + u'/' + QString(300, u'я') + u".pdf"_qs));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    // The same office and document still serve.
    office.saveAsPdf(folder + u"/ok.pdf"_qs);
    office.quit();
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"ok.pdf"_qs});
}

QTEST_GUILESS_MAIN(TestOfficeGeneration)
#include "tst_officegeneration.moc"
