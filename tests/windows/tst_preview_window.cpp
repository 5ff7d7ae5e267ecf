// The preview window on the real office, alone and opened from the main
// window: pages as the office lays them out, the findings beside them, the
// steps through the list, the save, and nothing left behind.
#include "tests/support/ExportFixture.h"
#include "tests/support/OfficeReading.h"
#include "tests/support/OfficeWork.h"
#include "tests/support/TemplateTable.h"
#include "windows/UPreview.h"

#include <QListWidget>
#include <QMenu>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPdfView>
#include <QSignalSpy>
#include <QStackedWidget>

class TestPreviewWindow : public QObject, private OfficeWork {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void menuEntry();
    void noCurrentLine();
    void opensOverTheMainWindow();
    void pages_data();
    void pages();
    void steppingChangesThePage();
    void pageKeysAndZoom();
    void savesAsTheSingleExport();
    void scratchGoneAfterClose();

private:
    WorkDir workDir() const { return WorkDir(m_work->path()); }
    QString assign(const QString& body);
    // A shown window with its first page on screen.
    std::unique_ptr<TFPreview> shownAt(int position, int lines = 4);

    QTemporaryDir m_tmp;
    QStringList m_opened;
    QList<MessageBoxes::Shown> m_boxes;
};

namespace {

const QString NotAssigned = u"Шаблон для документа даного типу не задано!"_qs;
const QString Unusable =
    u"Шаблон для документа даного типу не відповідає вимогам до його структури  або відсутній!"_qs;
// The check names the template (%T) and the cause.
const QString MissingFinding = u"Шаблон «%T» відсутній: файл не знайдено"_qs;
const QString NoSurnameFinding =
    u"Шаблон «%T» не відповідає вимогам: Немає тегу #Прізвище#: шаблон буде відхилено"_qs;
const QString DeletedSurnameFinding = NoSurnameFinding +
    u"; У шаблоні ввімкнено запис виправлень: вимкніть його в MS Word і збережіть шаблон"
    "; Тег #Прізвище# стоїть у вилученому виправленнями тексті й не буде заповнений: "
    "прийміть або відхиліть виправлення в MS Word, вимкніть запис виправлень і збережіть "
    "шаблон"_qs;
const QString Clean = u"Зауважень немає."_qs;

QByteArray previewed(int id, const QString& lastName, const QString& lastEn,
                     const QString& date = u"30.06.2015"_qs)
{
    return TestFiles::attributeRecord({{u"iddocument"_qs, QString::number(id)},
                                       {u"number"_qs, QString::number(id)},
                                       {u"fio"_qs, lastName + u" Т.Г."_qs},
                                       {u"lastname"_qs, lastName},
                                       {u"lastnameen"_qs, lastEn},
                                       {u"dategive"_qs, date}});
}

const QByteArray Graduates = previewed(101, u"Коваленко"_qs, u"Kovalenko"_qs) +
                             previewed(102, u"Лисенко"_qs, QString()) +
                             previewed(103, u"Бондаренко"_qs, u"Bondarenko"_qs, u"30.xx.2015"_qs) +
                             previewed(104, u"Гнатюк"_qs, u"Hnatiuk"_qs, u"31.02.2015"_qs);

const QString Tracking = u"<text:tracked-changes text:track-changes=\"true\">"
                         u"<text:changed-region text:id=\"c1\"><text:%1><office:change-info>"
                         u"<dc:creator>Реєстратор</dc:creator><dc:date>2016-06-01T10:00:00"
                         u"</dc:date></office:change-info>%2</text:%1></text:changed-region>"
                         u"</text:tracked-changes>"_qs;

template <typename T> T* child(QWidget* w, const char* name)
{
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString pageText(TFPreview* w)
{
    QString text;
    for (int page = 0; page < w->document()->pageCount(); ++page)
        text += w->document()->getAllText(page).text();
    return text.simplified();
}

QStringList findings(QWidget* w)
{
    QStringList out;
    auto* vf = child<QListWidget>(w, "VF");
    for (int k = 0; k < vf->count(); ++k)
        out.append(vf->item(k)->text());
    return out;
}

bool showsPages(QWidget* w)
{
    return child<QStackedWidget>(w, "Page")->currentWidget()->objectName() == u"PV";
}

} // namespace

void TestPreviewWindow::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    if (!CheckWordInstalled())
        QSKIP("no office installed");
    isolate();
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    QVERIFY(m_tmp.isValid());
    qputenv("TMPDIR", m_tmp.path().toUtf8());
}

void TestPreviewWindow::init()
{
    renew(Graduates);
    m_opened.clear();
    m_boxes.clear();
    ShellOpen::setRecorder([this](const QString& path) { m_opened.append(path); });
    MessageBoxes::setRecorder([this](const MessageBoxes::Shown& s) { m_boxes.append(s); });
}

void TestPreviewWindow::cleanup()
{
    ShellOpen::clearRecorder();
    MessageBoxes::clearRecorder();
    QCOMPARE(ourOffices(), QList<qint64>());
    QCOMPARE(QDir(m_tmp.path()).entryList({u"lumarel-scratch-*"_qs}, QDir::Dirs | QDir::Hidden),
             QStringList());
}

QString TestPreviewWindow::assign(const QString& body)
{
    const QString path = putTemplate(u"t.fodt"_qs, TestFiles::flatDocument(QString(), body));
    saveTemplates(workDir(), {{2, path}});
    return path;
}

std::unique_ptr<TFPreview> TestPreviewWindow::shownAt(int position, int lines)
{
    QList<int> records;
    for (int k = 1; k <= lines; ++k)
        records.append(k);
    auto w = std::make_unique<TFPreview>(records, position, m_store, workDir(), [] {});
    QSignalSpy shown(w.get(), &TFPreview::pageShown);
    w->show();
    if (!shown.wait(120000))
        qWarning("no page was shown");
    return w;
}

void TestPreviewWindow::menuEntry()
{
    ExportFixture f;
    auto* menu = f.window->findChild<QMenu*>(QStringLiteral("MenuExport"));
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 7);
    QCOMPARE(actions.at(4)->objectName(), QStringLiteral("N15"));
    QVERIFY(actions.at(5)->isSeparator());
    QAction* n16 = actions.at(6);
    QCOMPARE(n16->objectName(), QStringLiteral("N16"));
    QCOMPARE(n16->text(), QStringLiteral("Переглянути документ..."));
    QVERIFY(!n16->icon().isNull());
    QVERIFY(n16->icon().cacheKey() != actions.at(4)->icon().cacheKey());
    QVERIFY(n16->shortcut().isEmpty());
    QVERIFY(!n16->isEnabled());
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(Graduates));
    QVERIFY(n16->isEnabled());
}

void TestPreviewWindow::noCurrentLine()
{
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(Graduates));
    f.check({0, 1});
    f.M()->setCurrentRow(-1);
    f.boxes.clear();
    bool sawWindow = false;
    // Fires in the window's own loop if one opens, else right after.
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            sawWindow = true;
            modal->close();
        }
    });
    f.window->findChild<QAction*>(QStringLiteral("N16"))->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!sawWindow);
    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::ExportError);
    QCOMPARE(f.boxes.at(0).text, u"Жодного студента не обрано!"_qs);
    QCOMPARE(f.boxes.at(0).topLeft, f.window->frameGeometry().topLeft() + QPoint(300, 20));
}

// The current line, ticked or not; the next line's page without closing,
// and the main window's current line follows.
void TestPreviewWindow::opensOverTheMainWindow()
{
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(Graduates));
    TestFiles::write(f.path(u"t.fodt"_qs), flatTemplate({u"Прізвище: #Прізвище#"_qs}));
    f.assign({{3, f.path(u"t.fodt"_qs)}});
    f.check({0});
    f.M()->setCurrentRow(1);
    QStringList seen;
    whenModal(
        "TFPreview", [](QWidget* w) { return !child<QLabel>(w, "LName")->text().isEmpty(); },
        [&](QWidget* w) {
            auto* preview = static_cast<TFPreview*>(w);
            seen << w->windowTitle() << QString::number(w->isMaximized())
                 << child<QLabel>(w, "LName")->text() << child<QLabel>(w, "LTemplate")->text()
                 << child<QLabel>(w, "LKind")->text() << pageText(preview) << findings(w);
            QSignalSpy shown(preview, &TFPreview::pageShown);
            child<QPushButton>(w, "BPrev")->click();
            shown.wait(60000);
            seen << pageText(preview) << QString::number(f.M()->currentRow());
            QTest::keyClick(w, Qt::Key_Escape);
        });
    f.window->findChild<QAction*>(QStringLiteral("N16"))->trigger();
    QVERIFY2(f.boxes.isEmpty(), f.boxes.isEmpty() ? "" : qPrintable(f.boxes.at(0).text));
    QCOMPARE(seen, (QStringList{u"Люмарель"_qs, u"1"_qs, u"Лисенко Т.Г."_qs, u"t.fodt"_qs,
                                u"Диплом бакалавра"_qs, u"Прізвище: Лисенко"_qs, Clean,
                                u"Прізвище: Коваленко"_qs, u"0"_qs}));
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(f.resultFiles().isEmpty());
}

void TestPreviewWindow::pages_data()
{
    QTest::addColumn<QString>("table"); // "assigned", "none" or "missing"
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("shown"); // the page's text, or the text in its place
    QTest::addColumn<QStringList>("found");
    const QString surname = u"<text:p>Прізвище: #Прізвище# #Last name#</text:p>"_qs;
    QTest::newRow("filled, clean") << u"assigned"_qs << 1 << surname
                                   << u"Прізвище: Коваленко Kovalenko"_qs << QStringList{Clean};
    QTest::newRow("filled, an empty value beside")
        << u"assigned"_qs << 2 << surname << u"Прізвище: Лисенко"_qs
        << QStringList{u"Порожнє значення для тегу #Last name#"_qs};
    QTest::newRow("surname split by a tracked insertion")
        << u"assigned"_qs << 1
        << Tracking.arg(u"insertion"_qs, QString()) +
               u"<text:p>Прізвище: #Прі<text:change-start text:change-id=\"c1\"/>зв"
               u"<text:change-end text:change-id=\"c1\"/>ище#</text:p>"_qs
        << u"Прізвище: Коваленко"_qs << QStringList{Clean};
    QTest::newRow("no template assigned")
        << u"none"_qs << 1 << QString() << NotAssigned << QStringList{NotAssigned};
    QTest::newRow("template file missing")
        << u"missing"_qs << 1 << QString() << Unusable << QStringList{MissingFinding};
    QTest::newRow("no #Прізвище#") << u"assigned"_qs << 1 << u"<text:p>#ВНЗ#</text:p>"_qs
                                   << Unusable << QStringList{NoSurnameFinding};
    QTest::newRow("#Прізвище# only in tracked-deleted text")
        << u"assigned"_qs << 1
        << Tracking.arg(u"deletion"_qs, u"<text:p>#Прізвище#</text:p>"_qs) +
               u"<text:p>Диплом<text:change text:change-id=\"c1\"/> #ВНЗ#</text:p>"_qs
        << Unusable << QStringList{DeletedSurnameFinding};
    QTest::newRow("a date the export cannot read")
        << u"assigned"_qs << 3 << u"<text:p>#Прізвище# #ДатаДп#</text:p>"_qs
        << u"'xx' is not a valid integer value."_qs
        << QStringList{u"Неправильна дата «30.xx.2015» для тегу #ДатаДп#"_qs};
    QTest::newRow("a date that is no day of the calendar")
        << u"assigned"_qs << 4 << u"<text:p>#Прізвище# #ДатаДп#</text:p>"_qs
        << u"Неправильна дата «31.02.2015» для тегу #ДатаДп#"_qs
        << QStringList{u"Неправильна дата «31.02.2015» для тегу #ДатаДп#"_qs};
}

// The export's template rules: what it would say stands in the page's place,
// and nothing can be saved.
void TestPreviewWindow::pages()
{
    QFETCH(QString, table);
    QFETCH(int, record);
    QFETCH(QString, body);
    QFETCH(QString, shown);
    QFETCH(QStringList, found);
    QString path;
    if (table == u"assigned") {
        path = assign(body);
    } else if (table == u"missing") {
        path = m_work->filePath(u"нема.doc"_qs);
        saveTemplates(workDir(), {{2, path}});
    }
    for (QString& line : found)
        line.replace(u"%T"_qs, QDir::toNativeSeparators(path));
    {
        const auto w = shownAt(record - 1);
        const bool pages = shown.startsWith(u"Прізвище:");
        QCOMPARE(showsPages(w.get()), pages);
        QCOMPARE(pages ? pageText(w.get()) : child<QLabel>(w.get(), "LSays")->text(), shown);
        QCOMPARE(findings(w.get()), found);
        QCOMPARE(child<QPushButton>(w.get(), "BSave")->isEnabled(), pages);
        if (!pages) {
            w->BSaveClick();
            QVERIFY(m_opened.isEmpty());
            QVERIFY(m_boxes.isEmpty());
        }
    }
    for (const QString& folder : {workDir().resultsFolder(), workDir().examplesFolder()})
        QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

void TestPreviewWindow::steppingChangesThePage()
{
    assign(u"<text:p>Прізвище: #Прізвище#</text:p>"_qs);
    const auto w = shownAt(0, 2);
    QSignalSpy moved(w.get(), &TFPreview::positionChanged);
    QSignalSpy shown(w.get(), &TFPreview::pageShown);
    QCOMPARE(pageText(w.get()), u"Прізвище: Коваленко"_qs);
    QVERIFY(!child<QPushButton>(w.get(), "BPrev")->isEnabled());
    QCOMPARE(child<QLabel>(w.get(), "LPage")->text(), u"Сторінка 1 з 1"_qs);

    child<QPushButton>(w.get(), "BNext")->click();
    QVERIFY(!child<QPushButton>(w.get(), "BSave")->isEnabled()); // until the new page is there
    QVERIFY(shown.wait(60000));
    QCOMPARE(pageText(w.get()), u"Прізвище: Лисенко"_qs);
    QCOMPARE(child<QLabel>(w.get(), "LName")->text(), u"Лисенко Т.Г."_qs);
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), 1);
    QVERIFY(!child<QPushButton>(w.get(), "BNext")->isEnabled());
    QVERIFY(child<QPushButton>(w.get(), "BPrev")->isEnabled());
    QVERIFY(QDir(workDir().resultsFolder()).isEmpty());
}

void TestPreviewWindow::pageKeysAndZoom()
{
    const QString path = putTemplate(
        u"t.fodt"_qs,
        TestFiles::flatDocument(
            u"<office:automatic-styles><style:style style:name=\"PB\" "
            u"style:family=\"paragraph\"><style:paragraph-properties "
            u"fo:break-before=\"page\"/></style:style></office:automatic-styles>"_qs,
            u"<text:p>#Прізвище#</text:p><text:p text:style-name=\"PB\">друга</text:p>"_qs));
    saveTemplates(workDir(), {{2, path}});
    const auto w = shownAt(0, 1);
    auto* pv = child<QPdfView>(w.get(), "PV");
    auto* page = child<QLabel>(w.get(), "LPage");
    QCOMPARE(page->text(), u"Сторінка 1 з 2"_qs);
    QStringList seen;
    for (const Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp}) {
        QTest::keyClick(pv, key);
        seen << page->text();
    }
    QCOMPARE(seen, (QStringList{u"Сторінка 2 з 2"_qs, u"Сторінка 2 з 2"_qs,
                                u"Сторінка 1 з 2"_qs}));

    QCOMPARE(pv->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    child<QPushButton>(w.get(), "BZoomIn")->click();
    QCOMPARE(pv->zoomMode(), QPdfView::ZoomMode::Custom);
    const qreal once = pv->zoomFactor();
    child<QPushButton>(w.get(), "BZoomIn")->click();
    QVERIFY(qAbs(pv->zoomFactor() - once * 1.25) < 1e-6);
    child<QPushButton>(w.get(), "BZoomOut")->click();
    QVERIFY(qAbs(pv->zoomFactor() - once) < 1e-6);
    child<QPushButton>(w.get(), "BFit")->click();
    QCOMPARE(pv->zoomMode(), QPdfView::ZoomMode::FitToWidth);
}

void TestPreviewWindow::savesAsTheSingleExport()
{
    assign(u"<text:p>#Прізвище#</text:p>"_qs);
    const auto w = shownAt(0);
    auto* save = child<QPushButton>(w.get(), "BSave");
    save->click();
    save->click();
    const QString results = workDir().resultsFolder() + u'/';
    QCOMPARE(m_opened, (QStringList{results + u"Коваленко_Т.Г._Диплом.doc"_qs,
                                    results + u"Коваленко_Т.Г._Диплом(1).doc"_qs}));
    QCOMPARE(readBack(m_opened.at(0)).trimmed(), u"Коваленко"_qs);
    QVERIFY(m_boxes.isEmpty());

    // The export's own answer when the template went meanwhile.
    saveTemplates(workDir(), {});
    save->click();
    QCOMPARE(m_opened.size(), 2);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).kind, MessageBoxes::Kind::ExportError);
    QCOMPARE(m_boxes.at(0).text, NotAssigned);
}

void TestPreviewWindow::scratchGoneAfterClose()
{
    assign(u"<text:p>#Прізвище#</text:p>"_qs);
    const auto w = shownAt(0);
    // Its own, and the one of the template's private copy the office holds.
    QCOMPARE(QDir(m_tmp.path()).entryList({u"lumarel-scratch-*"_qs}, QDir::Dirs).size(), 2);
    QVERIFY(!ourOffices().isEmpty());
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QCOMPARE(QDir(m_tmp.path()).entryList({u"lumarel-scratch-*"_qs}, QDir::Dirs), QStringList());
    QCOMPARE(ourOffices(), QList<qint64>());
}

QTEST_MAIN(TestPreviewWindow)
#include "tst_preview_window.moc"
