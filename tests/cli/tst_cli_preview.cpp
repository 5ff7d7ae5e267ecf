#include "settings/SettingsFiles.h"
#include "tests/support/ConverterRun.h"
#include "tests/support/PdfTools.h"
#include "tests/support/TemplateTable.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcesses.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The converter's preview verb, run as a user runs it, on the real office.
class TestCliPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void pictureIsTheExportedPage_data();
    void pictureIsTheExportedPage();
    void nothingWritten_data();
    void nothingWritten();

private:
    // A converter in a work folder with the graduates and the template
    // (flat OpenDocument; empty: none assigned) for bachelors.
    std::unique_ptr<ConverterRun> prepare(const QByteArray& flatTemplate);
    QStringList scratchLeft() const;

    QTemporaryDir m_cache;
    QTemporaryDir m_tmp;
};

namespace {

const QByteArray TwoPages = TestFiles::flatDocument(
    u"<office:automatic-styles><style:style style:name=\"PB\" style:family=\"paragraph\">"
    u"<style:paragraph-properties fo:break-before=\"page\"/></style:style>"
    u"</office:automatic-styles>"_qs,
    u"<text:p>#Прізвище# перша</text:p><text:p text:style-name=\"PB\">#Прізвище# друга "
    u"#Last name#</text:p>"_qs);

QByteArray graduates()
{
    const auto one = [](const char* id, const char* last, const char* lastEn) {
        return TestFiles::attributeRecord({{u"iddocument"_qs, QString::fromUtf8(id)},
                                           {u"number"_qs, QString::fromUtf8(id)},
                                           {u"lastname"_qs, QString::fromUtf8(last)},
                                           {u"fio"_qs, QString::fromUtf8(last) + u" Т.Г."_qs},
                                           {u"lastnameen"_qs, QString::fromUtf8(lastEn)}});
    };
    return TestFiles::edeboFile(one("501", "Коваленко", "Kovalenko") + one("502", "Лисенко", ""));
}

} // namespace

void TestCliPreview::initTestCase()
{
    QVERIFY(m_cache.isValid());
    QVERIFY(m_tmp.isValid());
}

void TestCliPreview::cleanup()
{
    QCOMPARE(TestProcesses::mentioning(m_cache.path()), QList<qint64>());
    QCOMPARE(scratchLeft(), QStringList());
}

QStringList TestCliPreview::scratchLeft() const
{
    return QDir(m_tmp.path()).entryList({u"lumarel-scratch-*"_qs}, QDir::Dirs | QDir::Hidden);
}

std::unique_ptr<ConverterRun> TestCliPreview::prepare(const QByteArray& flatTemplate)
{
    auto converter = std::make_unique<ConverterRun>(m_cache.path());
    converter->set(u"TMPDIR"_qs, m_tmp.path());
    TestFiles::write(converter->file(u"g.xml"_qs), graduates());
    if (!flatTemplate.isEmpty()) {
        TestFiles::write(converter->file(u"t.fodt"_qs), flatTemplate);
        saveTemplates(WorkDir(converter->work()), {{2, converter->file(u"t.fodt"_qs)}});
    }
    return converter;
}

void TestCliPreview::pictureIsTheExportedPage_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("page"); // the --page option, if any
    QTest::addColumn<int>("pageNumber");
    QTest::addColumn<QString>("pageHolds");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("findings");
    QTest::newRow("first page by default")
        << u"501"_qs << QStringList() << 1 << u"Коваленко перша"_qs << 0 << QStringList();
    QTest::newRow("second page") << u"501"_qs << QStringList{u"--page"_qs, u"2"_qs} << 2
                                 << u"Коваленко друга Kovalenko"_qs << 0 << QStringList();
    QTest::newRow("findings, and the picture still")
        << u"502"_qs << QStringList{u"--page"_qs, u"2"_qs} << 2 << u"Лисенко друга"_qs << 3
        << QStringList{u"502\tЛисенко Т.Г.\tПорожнє значення для тегу #Last name#"_qs};
}

// The picture is the page the single export's PDF shows, drawn at 150 dpi.
void TestCliPreview::pictureIsTheExportedPage()
{
    QFETCH(QString, number);
    QFETCH(QStringList, page);
    QFETCH(int, pageNumber);
    QFETCH(QString, pageHolds);
    QFETCH(int, exitCode);
    QFETCH(QStringList, findings);
    const auto converter = prepare(TwoPages);
    const QString png = converter->file(u"page.png"_qs);

    const ConverterRun::Result r = converter->run(
        QStringList{u"preview"_qs, converter->file(u"g.xml"_qs), number, u"--png"_qs, png} + page);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    QCOMPARE(r.lines, findings);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY(!QDir(converter->file(u"Results"_qs)).exists() ||
            QDir(converter->file(u"Results"_qs)).isEmpty());

    const ConverterRun::Result exported =
        converter->run({u"export"_qs, converter->file(u"g.xml"_qs), number, u"--pdf"_qs});
    QCOMPARE(exported.rows.size(), 1);
    const QString pdf = exported.rows.at(0).value(2).chopped(4) + u".pdf"_qs;
    QVERIFY2(PdfTools::text(pdf, pageNumber).simplified().contains(pageHolds),
             qPrintable(PdfTools::text(pdf, pageNumber)));
    const QByteArray picture = TestFiles::read(png);
    QVERIFY(PdfTools::pngSize(picture).width() > 1000);
    QVERIFY(picture == PdfTools::png(pdf, pageNumber, 150));
}

void TestCliPreview::nothingWritten_data()
{
    QTest::addColumn<QByteArray>("flatTemplate"); // empty: none assigned
    QTest::addColumn<QStringList>("args");        // after "preview"; PNG stands for the picture
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("stderrHas");
    const QStringList known{u"g.xml"_qs, u"501"_qs, u"--png"_qs, u"PNG"_qs};
    const QString unusable =
        u"Шаблон для документа даного типу не відповідає вимогам до його структури  або "
        "відсутній!"_qs;
    QTest::newRow("no template assigned")
        << QByteArray() << known << 1
        << QStringList{u"501\tКоваленко Т.Г.\tШаблон для документа даного типу не задано!"_qs}
        << u"Шаблон для документа даного типу не задано!"_qs;
    QTest::newRow("template without #Прізвище#")
        << TestFiles::flatTemplate("#Ім`я#") << known << 1
        << QStringList{u"501\tКоваленко Т.Г.\tШаблон «%T» не відповідає вимогам: Немає тегу "
                       "#Прізвище#: шаблон буде відхилено"_qs}
        << unusable;
    QTest::newRow("no such page") << TwoPages << known + QStringList{u"--page"_qs, u"3"_qs} << 1
                                  << QStringList() << u"сторінки 3 немає"_qs;
    QTest::newRow("no such graduate")
        << TwoPages << QStringList{u"g.xml"_qs, u"77"_qs, u"--png"_qs, u"PNG"_qs} << 1
        << QStringList() << u"no record numbered 77"_qs;
    QTest::newRow("picture already there")
        << TwoPages << known + QStringList{u"existing"_qs} << 1 << QStringList() << u"уже існує"_qs;
    QTest::newRow("refused file") << TwoPages
                                  << QStringList{u"bad.xml"_qs, u"501"_qs, u"--png"_qs, u"PNG"_qs}
                                  << 2 << QStringList()
                                  << u"Структура xml-файлу не відповідає еталону!"_qs;
    QTest::newRow("no --png") << TwoPages << QStringList{u"g.xml"_qs, u"501"_qs} << 64
                              << QStringList() << u"usage: lumarel-convert preview"_qs;
    QTest::newRow("page 0") << TwoPages << known + QStringList{u"--page"_qs, u"0"_qs} << 64
                            << QStringList() << u"\"0\" is not a page number"_qs;
}

void TestCliPreview::nothingWritten()
{
    QFETCH(QByteArray, flatTemplate);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(QString, stderrHas);
    const auto converter = prepare(flatTemplate);
    TestFiles::write(converter->file(u"bad.xml"_qs), "<a><b/></a>");
    const QString png = converter->file(u"page.png"_qs);
    const bool existing = args.removeAll(u"existing"_qs) > 0;
    if (existing)
        TestFiles::write(png, "мій малюнок");
    for (QString& arg : args) {
        if (arg == u"PNG")
            arg = png;
        else if (arg.endsWith(u".xml"))
            arg = converter->file(arg);
    }

    const ConverterRun::Result r = converter->run(QStringList{u"preview"_qs} + args);
    QVERIFY2(r.err.contains(stderrHas), qPrintable(r.err));
    // %T: the template, as the check names it.
    for (QString& line : lines)
        line.replace(u"%T"_qs, QDir::toNativeSeparators(converter->file(u"t.fodt"_qs)));
    QCOMPARE(r.lines, lines);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(TestFiles::read(png), existing ? QByteArray("мій малюнок") : QByteArray());
    QVERIFY(!QFileInfo::exists(converter->file(u"Results"_qs)) ||
            QDir(converter->file(u"Results"_qs)).isEmpty());
}

QTEST_GUILESS_MAIN(TestCliPreview)
#include "tst_cli_preview.moc"
