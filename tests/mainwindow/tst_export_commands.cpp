// The export commands of the main window on the real office: the first
// checked graduate, the batch window, the demonstration with its notice.
#include "tests/support/ExportFixture.h"
#include "tests/support/FakeOpener.h"

#include <QLabel>
#include <QProcess>
#include <QSignalSpy>

class TestExportCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void emptyListDoesNothing_data();
    void emptyListDoesNothing();
    void nobodyChecked_data();
    void nobodyChecked();
    void singleExportOfTheFifthChecked();
    void singleExportDocumentNotOpened_data();
    void singleExportDocumentNotOpened();
    void singleRefusals_data();
    void singleRefusals();
    void batchOfThree();
    void batchSharedRecordNumber();
    void batchErrorEndsTheBatch();
    void impossibleDates_data();
    void impossibleDates();
    void demoDocumentHoldsTheValues();
    void existingDemoTemplateIsUsedUnchanged();
    void demoRefusesAnUnusableTemplate();
    void noticeClosedByTitleBar();

private:
    QTemporaryDir m_cache;
    void useCache(const QString& path);
};

namespace {

const QString NotChosen = QStringLiteral("Студента не обрано!");
const QString NoneChosen = QStringLiteral("Жодного студента не обрано!");
const QString NotAssigned = QStringLiteral("Шаблон для документа даного типу не задано!");
const QString UnusableSingle = QStringLiteral(
    "Шаблон для документа даного типу не відповідає вимогам до його структури  або відсутній!");
const QString UnusableDemo = QStringLiteral(
    "Шаблон для документа даного типу не відповідає вимогам до його структури або відсутній!");
const QString UnusableRow =
    QStringLiteral("Шаблон для документа даного типу не відповідає вимогам або відсутній!");
const QString Generated = QStringLiteral("Успішно згенерований!");

QByteArray sixGraduates()
{
    QByteArray all;
    const char* names[] = {"Андрієнко Анна Олегівна",  "Бойко Богдан Іванович",
                           "Гнатюк Галина Петрівна",   "Дмитренко Денис Ігорович",
                           "Мельник Марія Степанівна", "Олійник Остап Романович"};
    int id = 101;
    for (const char* n : names)
        all += graduateOf(id++, QString::fromUtf8(n));
    return TestFiles::edeboFile(all);
}

} // namespace

void TestExportCommands::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    QVERIFY(m_cache.isValid());
    // Offices work without a window here, and keep their profiles under our
    // cache folder, which also tells them apart from any other office.
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    useCache(m_cache.path());
}

void TestExportCommands::useCache(const QString& path)
{
    qputenv("XDG_CACHE_HOME", path.toUtf8());
}

void TestExportCommands::cleanup()
{
    useCache(m_cache.path());
    QCOMPARE(officesUnder(m_cache.path()), QList<qint64>());
}

void TestExportCommands::emptyListDoesNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("N10 (B3)") << QStringLiteral("B3");
    QTest::newRow("N13 (B4)") << QStringLiteral("B4");
    QTest::newRow("B5") << QStringLiteral("B5");
}

// A refused file leaves the commands enabled over an empty list.
void TestExportCommands::emptyListDoesNothing()
{
    QFETCH(QString, button);
    ExportFixture f;
    f.open(QStringLiteral("bad.xml"), "<?xml version=\"1.0\"?><wrong/>");
    f.boxes.clear();
    QCOMPARE(f.window->EntryCount(), 0);
    QDir(f.dir.path()).removeRecursively();
    QDir().mkpath(f.dir.path());
    f.find<QToolButton>(qPrintable(button))->click();
    QVERIFY(f.boxes.isEmpty());
    QVERIFY(f.opened.isEmpty());
    // Not even the work folders are made.
    QVERIFY(!QFileInfo::exists(f.examples()));
}

void TestExportCommands::nobodyChecked_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("demoTemplateWritten");
    QTest::newRow("N10 (B3)") << QStringLiteral("B3") << NotChosen << false;
    QTest::newRow("N10 (menu)") << QStringLiteral("N10") << NotChosen << false;
    QTest::newRow("N13 (B4)") << QStringLiteral("B4") << NoneChosen << false;
    QTest::newRow("N13 (menu)") << QStringLiteral("N13") << NoneChosen << false;
    QTest::newRow("B5") << QStringLiteral("B5") << NotChosen << true;
    QTest::newRow("B5 (menu N11)") << QStringLiteral("N11") << NotChosen << true;
}

void TestExportCommands::nobodyChecked()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    QFETCH(bool, demoTemplateWritten);
    QTemporaryDir freshCache;
    useCache(freshCache.path());
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), sixGraduates());
    f.assign({{3, f.path(QStringLiteral("t.fodt"))}});
    TestFiles::write(f.path(QStringLiteral("t.fodt")), flatTemplate({QStringLiteral("#Прізвище#")}));
    f.window->move(37, 41);
    f.window->show();
    f.boxes.clear();

    QObject* control = f.window->findChild<QObject*>(button);
    QVERIFY(control);
    if (auto* b = qobject_cast<QAbstractButton*>(control))
        b->click();
    else
        qobject_cast<QAction*>(control)->trigger();

    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::ExportError);
    QCOMPARE(f.boxes.at(0).text, message);
    QCOMPARE(f.boxes.at(0).topLeft, f.window->frameGeometry().topLeft() + QPoint(300, 20));
    QVERIFY(f.resultFiles().isEmpty());
    QVERIFY(f.opened.isEmpty());
    // No office was started: it would have made its profile here.
    QVERIFY(!QFileInfo::exists(freshCache.filePath(QStringLiteral("lumarel"))));
    QCOMPARE(QFileInfo::exists(f.examples(QStringLiteral("template-dip-bak-2015.doc"))),
             demoTemplateWritten);
    QVERIFY(f.window->isVisible());
}

void TestExportCommands::singleExportOfTheFifthChecked()
{
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), sixGraduates());
    TestFiles::write(f.path(QStringLiteral("t.fodt")),
                     flatTemplate({QStringLiteral("Прізвище=#Прізвище#"), QStringLiteral("закінчи#З_Рід#")}));
    f.assign({{3, QStringLiteral("  ") + f.path(QStringLiteral("t.fodt")) + QStringLiteral("  ")}});
    f.check({4});
    f.boxes.clear();
    f.find<QToolButton>("B3")->click();

    QVERIFY2(f.boxes.isEmpty(), f.boxes.isEmpty() ? "" : qPrintable(f.boxes.at(0).text));
    const QString expected = f.results(QStringLiteral("Мельник_Марія_Степанівна_Диплом.doc"));
    QCOMPARE(f.opened, QStringList{expected});
    QCOMPARE(f.resultFiles(), QStringList{QStringLiteral("Мельник_Марія_Степанівна_Диплом.doc")});
    QVERIFY(readBack(expected).startsWith(QStringLiteral("Прізвище=Мельник\rзакінчив")));
    // The template is never written.
    QCOMPARE(TestFiles::read(f.path(QStringLiteral("t.fodt"))),
             flatTemplate({QStringLiteral("Прізвище=#Прізвище#"), QStringLiteral("закінчи#З_Рід#")}));
}

void TestExportCommands::singleExportDocumentNotOpened_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("said");
    QTest::newRow("nothing opens a .doc") << 3 << true;
    QTest::newRow("the word processor failed") << 4 << true;
    QTest::newRow("opened") << 0 << false;
}

// The document is saved either way; when the desktop cannot open it, the box
// gives its full path to open by hand.
void TestExportCommands::singleExportDocumentNotOpened()
{
    QFETCH(int, status);
    QFETCH(bool, said);
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), sixGraduates());
    TestFiles::write(f.path(QStringLiteral("t.fodt")),
                     flatTemplate({QStringLiteral("Прізвище=#Прізвище#")}));
    f.assign({{3, f.path(QStringLiteral("t.fodt"))}});
    f.check({0});
    f.boxes.clear();
    ShellOpen::clearRecorder();
    FakeOpener opener(f.dir.path(), status);
    f.find<QToolButton>("B3")->click();

    const QString document = f.results(QStringLiteral("Андрієнко_Анна_Олегівна_Диплом.doc"));
    QVERIFY(readBack(document).startsWith(QStringLiteral("Прізвище=Андрієнко")));
    QTRY_COMPARE(opener.asked(), QFileInfo(document).absoluteFilePath().toUtf8() + '\n');
    if (said) {
        QTRY_COMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::Plain);
        QCOMPARE(f.boxes.at(0).text, ShellOpen::fileNotOpenedText(document));
        QVERIFY(f.boxes.at(0).text.contains(QDir::toNativeSeparators(document)));
    } else {
        QTRY_VERIFY(QCoreApplication::instance()->findChildren<QProcess*>().isEmpty());
        QCoreApplication::processEvents();
        QVERIFY(f.boxes.isEmpty());
    }
}

void TestExportCommands::singleRefusals_data()
{
    QTest::addColumn<QString>("table"); // "none", "blank", "missing file", "no surname"
    QTest::addColumn<QString>("message");
    QTest::newRow("no Templ.set") << QStringLiteral("none") << NotAssigned;
    QTest::newRow("blank slot") << QStringLiteral("blank") << NotAssigned;
    QTest::newRow("missing template file") << QStringLiteral("missing file") << UnusableSingle;
    QTest::newRow("template without surname") << QStringLiteral("no surname") << UnusableSingle;
}

void TestExportCommands::singleRefusals()
{
    QFETCH(QString, table);
    QFETCH(QString, message);
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), sixGraduates());
    const QString t = f.path(QStringLiteral("t.fodt"));
    if (table == u"blank")
        f.assign({{4, t}});
    else if (table == u"missing file")
        f.assign({{3, f.path(QStringLiteral("немає.doc"))}});
    else if (table == u"no surname") {
        TestFiles::write(t, flatTemplate({QStringLiteral("#Ім`я#")}));
        f.assign({{3, t}});
    }
    f.check({0, 2});
    f.window->move(15, 25);
    f.boxes.clear();
    f.find<QToolButton>("B3")->click();

    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::ExportError);
    QCOMPARE(f.boxes.at(0).text, message);
    QCOMPARE(f.boxes.at(0).topLeft, f.window->frameGeometry().topLeft() + QPoint(20, 20));
    QVERIFY(f.opened.isEmpty());
    QVERIFY(f.resultFiles().isEmpty());
}

void TestExportCommands::batchOfThree()
{
    ExportFixture f;
    // Bachelor, master (no template), bachelor with honours, then one unchecked.
    f.open(QStringLiteral("a.xml"),
           TestFiles::edeboFile(graduateOf(11, QStringLiteral("Шевчук Ірина Олегівна")) +
                                graduateOf(12, QStringLiteral("Коваль Петро Іванович"),
                                           QStringLiteral("8.010101")) +
                                graduateOf(13, QStringLiteral("Ткач Олена Миколаївна"),
                                           QStringLiteral("6.030101"), QStringLiteral("1")) +
                                graduateOf(14, QStringLiteral("Лисенко Андрій Петрович"))));
    const QString t = f.path(QStringLiteral("t.fodt"));
    TestFiles::write(t, flatTemplate({QStringLiteral("#Прізвище# #РікДп#")}));
    f.assign({{3, t}, {4, t}});
    f.check({0, 1, 2});
    f.window->move(30, 40);
    f.window->show();
    f.boxes.clear();

    QStringList rows;
    int pbValue = -1, pbMax = -1;
    bool prVisible = false, bcEnabled = false;
    QString folder;
    QRect restored;
    QSize size;
    bool maximised = false;
    whenModal(
        "TFPack", [](QWidget* w) { return w->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled(); },
        [&](QWidget* w) {
            rows = tableRows(w);
            auto* pb = w->findChild<QProgressBar*>(QStringLiteral("PB"));
            pbValue = pb->value();
            pbMax = pb->maximum();
            prVisible = w->findChild<QWidget*>(QStringLiteral("Pr"))->isVisible();
            bcEnabled = true;
            folder = w->findChild<QLabel*>(QStringLiteral("L"))->text();
            // The restored place, frame included.
            restored = w->normalGeometry().translated(w->frameGeometry().topLeft() -
                                                      w->geometry().topLeft());
            size = w->size();
            maximised = w->isMaximized();
            QTest::keyClick(w, Qt::Key_Escape);
        });
    f.find<QToolButton>("B4")->click();

    QVERIFY2(f.boxes.isEmpty(), f.boxes.isEmpty() ? "" : qPrintable(f.boxes.at(0).text));
    QCOMPARE(rows, (QStringList{QStringLiteral("Шевчук Ірина Олегівна|") + Generated,
                                QStringLiteral("Коваль Петро Іванович|") + NotAssigned,
                                QStringLiteral("Ткач Олена Миколаївна|") + Generated}));
    QCOMPARE(pbValue, 3);
    QCOMPARE(pbMax, 3);
    QVERIFY(prVisible);
    QVERIFY(bcEnabled);
    QCOMPARE(folder, f.results().chopped(1));
    // Maximised, but never wider than 800 (the offscreen screen is 800 wide).
    QVERIFY(maximised);
    QVERIFY(size.width() <= 800 && size.width() > 700);
    QCOMPARE(restored.topLeft(), QPoint(40, 50));
    QCOMPARE(f.resultFiles(), (QStringList{QStringLiteral("Ткач_Олена_Миколаївна_Диплом.doc"),
                                           QStringLiteral("Шевчук_Ірина_Олегівна_Диплом.doc")}));
    QVERIFY(readBack(f.results(QStringLiteral("Ткач_Олена_Миколаївна_Диплом.doc")))
                .startsWith(QStringLiteral("Ткач 15")));
    // Escape closed the window; the main window goes on.
    QVERIFY(!QApplication::activeModalWidget() ||
            !QApplication::activeModalWidget()->inherits("TFPack"));
    QVERIFY(f.opened.isEmpty());
}

void TestExportCommands::batchSharedRecordNumber()
{
    ExportFixture f;
    f.open(QStringLiteral("a.xml"),
           TestFiles::edeboFile(graduateOf(7, QStringLiteral("Перший Іван Іванович")) +
                                graduateOf(7, QStringLiteral("Другий Петро Петрович"))));
    const QString t = f.path(QStringLiteral("t.fodt"));
    TestFiles::write(t, flatTemplate({QStringLiteral("#Прізвище#")}));
    f.assign({{3, t}});
    f.check({0, 1});
    f.boxes.clear();
    QStringList rows;
    whenModal(
        "TFPack", [](QWidget* w) { return w->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled(); },
        [&](QWidget* w) {
            rows = tableRows(w);
            w->findChild<QPushButton*>(QStringLiteral("Bc"))->click();
        });
    f.find<QToolButton>("B4")->click();

    QCOMPARE(rows, (QStringList{QStringLiteral("Перший Іван Іванович|") + Generated,
                                QStringLiteral("Перший Іван Іванович|") + Generated}));
    QCOMPARE(f.resultFiles(), (QStringList{QStringLiteral("Перший_Іван_Іванович_Диплом(1).doc"),
                                           QStringLiteral("Перший_Іван_Іванович_Диплом.doc")}));
    QVERIFY(readBack(f.results(QStringLiteral("Перший_Іван_Іванович_Диплом(1).doc")))
                .startsWith(QStringLiteral("Перший")));
}

// A date the substitution cannot read ends the batch: the rows written stay,
// a last row names the error, and the window can be closed by Escape.
void TestExportCommands::batchErrorEndsTheBatch()
{
    ExportFixture f;
    f.open(QStringLiteral("a.xml"),
           TestFiles::edeboFile(
               graduateOf(1, QStringLiteral("Перша Оля Ігорівна")) +
               graduateOf(2, QStringLiteral("Друга Яна Ігорівна"), QStringLiteral("6.01"),
                          QStringLiteral("0"), QStringLiteral("30/06/2015 0:00:00")) +
               graduateOf(3, QStringLiteral("Третя Іра Ігорівна"))));
    const QString t = f.path(QStringLiteral("t.fodt"));
    TestFiles::write(t, flatTemplate({QStringLiteral("#Прізвище# #РікДп#")}));
    f.assign({{3, t}});
    f.check({0, 1, 2});
    f.boxes.clear();
    QStringList rows;
    bool prVisible = true;
    int pbValue = -1;
    QList<MessageBoxes::Shown> boxesDuring;
    bool closedByEscape = false;
    whenModal(
        "TFPack", [](QWidget* w) { return w->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled(); },
        [&](QWidget* w) {
            rows = tableRows(w);
            prVisible = w->findChild<QWidget*>(QStringLiteral("Pr"))->isVisible();
            pbValue = w->findChild<QProgressBar*>(QStringLiteral("PB"))->value();
            boxesDuring = f.boxes;
            QTest::keyClick(w->findChild<QTableWidget*>(QStringLiteral("VL")), Qt::Key_Escape);
            closedByEscape = !w->isVisible();
        });
    f.find<QToolButton>("B4")->click();

    const QString error = QStringLiteral("'2015 0:00:00' is not a valid integer value");
    QCOMPARE(rows, (QStringList{QStringLiteral("Перша Оля Ігорівна|") + Generated,
                                QStringLiteral("Друга Яна Ігорівна|") + error}));
    QVERIFY(!prVisible);
    QCOMPARE(pbValue, 1);
    QCOMPARE(boxesDuring.size(), 1);
    QCOMPARE(boxesDuring.at(0).kind, MessageBoxes::Kind::AppError);
    QCOMPARE(boxesDuring.at(0).text, error + u'.');
    QVERIFY(closedByEscape);
    QCOMPARE(f.resultFiles(), QStringList{QStringLiteral("Перша_Оля_Ігорівна_Диплом.doc")});
}

void TestExportCommands::impossibleDates_data()
{
    QTest::addColumn<QString>("button"); // B3 the first checked, B4 the batch
    QTest::addColumn<QString>("date");   // of the second graduate
    QTest::newRow("single, 31 February") << QStringLiteral("B3") << QStringLiteral("31/02/2023");
    QTest::newRow("single, month 13") << QStringLiteral("B3") << QStringLiteral("15/13/2023");
    QTest::newRow("batch, 31 February") << QStringLiteral("B4") << QStringLiteral("31/02/2023");
    QTest::newRow("batch, day 0") << QStringLiteral("B4") << QStringLiteral("0.06.2023");
}

// A date that is no day of the calendar gives its graduate no document and
// says so with the check's text; a batch goes on with the next graduate.
void TestExportCommands::impossibleDates()
{
    QFETCH(QString, button);
    QFETCH(QString, date);
    ExportFixture f;
    f.open(QStringLiteral("a.xml"),
           TestFiles::edeboFile(graduateOf(1, QStringLiteral("Перша Оля Ігорівна")) +
                                graduateOf(2, QStringLiteral("Друга Яна Ігорівна"),
                                           QStringLiteral("6.01"), QStringLiteral("0"), date) +
                                graduateOf(3, QStringLiteral("Третя Іра Ігорівна"))));
    const QString t = f.path(QStringLiteral("t.fodt"));
    TestFiles::write(t, flatTemplate({QStringLiteral("#Прізвище# #ДатаДп# #МісДп# 20#РікДп#")}));
    f.assign({{3, t}});
    f.window->move(15, 25);
    const QString refusal = QStringLiteral("Неправильна дата «%1» для тегу #ДатаДп#").arg(date);
    if (button == u"B3") {
        f.check({1});
        f.boxes.clear();
        f.find<QToolButton>("B3")->click();
        QCOMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes.at(0).kind, MessageBoxes::Kind::ExportError);
        QCOMPARE(f.boxes.at(0).text, refusal);
        QCOMPARE(f.boxes.at(0).topLeft, f.window->frameGeometry().topLeft() + QPoint(20, 20));
        QVERIFY(f.opened.isEmpty());
        QVERIFY(f.resultFiles().isEmpty());
        return;
    }
    f.check({0, 1, 2});
    f.boxes.clear();
    QStringList rows;
    bool prVisible = false;
    whenModal(
        "TFPack",
        [](QWidget* w) { return w->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled(); },
        [&](QWidget* w) {
            rows = tableRows(w);
            prVisible = w->findChild<QWidget*>(QStringLiteral("Pr"))->isVisible();
            w->findChild<QPushButton*>(QStringLiteral("Bc"))->click();
        });
    f.find<QToolButton>("B4")->click();
    QVERIFY2(f.boxes.isEmpty(), f.boxes.isEmpty() ? "" : qPrintable(f.boxes.at(0).text));
    QCOMPARE(rows, (QStringList{QStringLiteral("Перша Оля Ігорівна|") + Generated,
                                QStringLiteral("Друга Яна Ігорівна|") + refusal,
                                QStringLiteral("Третя Іра Ігорівна|") + Generated}));
    QVERIFY(prVisible);
    QCOMPARE(f.resultFiles(), (QStringList{QStringLiteral("Перша_Оля_Ігорівна_Диплом.doc"),
                                           QStringLiteral("Третя_Іра_Ігорівна_Диплом.doc")}));
}

void TestExportCommands::demoDocumentHoldsTheValues()
{
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), sixGraduates());
    f.check({1});
    f.window->move(20, 30);
    f.boxes.clear();
    QPoint noticeAt;
    QString noticeFolder;
    whenModal("TFDemo", [](QWidget*) { return true; }, [&](QWidget* w) {
        noticeAt = w->pos();
        noticeFolder = w->findChild<QLabel*>(QStringLiteral("L"))->text();
        QTest::keyClick(w, Qt::Key_Return);
    });
    f.find<QToolButton>("B5")->click();

    QVERIFY2(f.boxes.isEmpty(), f.boxes.isEmpty() ? "" : qPrintable(f.boxes.at(0).text));
    QCOMPARE(noticeAt, f.window->pos() + QPoint(100, 10));
    QCOMPARE(noticeFolder, f.examples());
    const QString produced = f.examples(QStringLiteral("Бойко_Богдан_Іванович_Диплом_ДЕМО.doc"));
    QCOMPARE(f.opened, QStringList{produced});
    QVERIFY(f.resultFiles().isEmpty());

    const QString text = readBack(produced);
    QVERIFY2(!text.contains(u'#'), qPrintable(text));
    const QStringList values{
        QStringLiteral("КВ"),          QStringLiteral("12345678"),
        QStringLiteral("Бойко"),       QStringLiteral("Shevchenko"),
        QStringLiteral("Тарас"),       QStringLiteral("Григорович"),
        QStringLiteral("Taras"),       QStringLiteral("закінчив у 2015 році"),
        QStringLiteral("in 2015"),     QStringLiteral("Київський університет"),
        QStringLiteral("Kyiv University"), QStringLiteral("здобув"), QStringLiteral("ступінь бакалавра"),
        QStringLiteral("Філологія"),   QStringLiteral("Philology"),
        QStringLiteral("бакалавр філології"), QStringLiteral("Bachelor of Philology"),
        QStringLiteral("Ректор"),      QStringLiteral("Іваненко"),
        QStringLiteral("Rector"),      QStringLiteral("Ivanenko"),
        QStringLiteral("\"30\" червня 2015"), QStringLiteral("\"30th\" June 2015"),
    };
    for (const QString& v : values)
        QVERIFY2(text.contains(v), qPrintable(v + QStringLiteral(" missing from: ") + text));
}

void TestExportCommands::existingDemoTemplateIsUsedUnchanged()
{
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), sixGraduates());
    // The user's own template under the demonstration name.
    const QByteArray own = flatTemplate({QStringLiteral("ВЛАСНИЙ=#Прізвище#")});
    const QString demo = f.examples(QStringLiteral("template-dip-bak-2015.doc"));
    TestFiles::write(demo, own);
    f.boxes.clear();
    f.find<QToolButton>("B5")->click(); // nobody checked
    QCOMPARE(TestFiles::read(demo), own);

    f.check({2});
    f.boxes.clear();
    whenModal("TFDemo", [](QWidget*) { return true; }, [](QWidget* w) {
        w->findChild<QPushButton*>(QStringLiteral("BOk"))->click();
    });
    f.find<QToolButton>("B5")->click();
    QVERIFY2(f.boxes.isEmpty(), f.boxes.isEmpty() ? "" : qPrintable(f.boxes.at(0).text));
    QCOMPARE(TestFiles::read(demo), own);
    QCOMPARE(f.opened.size(), 1);
    QVERIFY(readBack(f.opened.at(0)).startsWith(QStringLiteral("ВЛАСНИЙ=Гнатюк")));
}

void TestExportCommands::demoRefusesAnUnusableTemplate()
{
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), sixGraduates());
    TestFiles::write(f.examples(QStringLiteral("template-dip-bak-2015.doc")),
                     flatTemplate({QStringLiteral("#Ім`я#")}));
    f.check({0});
    f.window->move(5, 6);
    f.boxes.clear();
    whenModal("TFDemo", [](QWidget*) { return true; }, [](QWidget* w) {
        static_cast<QDialog*>(w)->accept();
    });
    f.find<QToolButton>("B5")->click();
    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).text, UnusableDemo);
    QCOMPARE(f.boxes.at(0).topLeft, f.window->frameGeometry().topLeft() + QPoint(20, 20));
    QVERIFY(f.opened.isEmpty());
}

void TestExportCommands::noticeClosedByTitleBar()
{
    QTemporaryDir freshCache;
    useCache(freshCache.path());
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), sixGraduates());
    f.check({0});
    f.boxes.clear();
    whenModal("TFDemo", [](QWidget*) { return true; }, [](QWidget* w) { w->close(); });
    f.find<QToolButton>("B5")->click();
    QVERIFY(f.boxes.isEmpty());
    QVERIFY(f.opened.isEmpty());
    QCOMPARE(QDir(f.examples()).entryList(QDir::Files),
             QStringList{QStringLiteral("template-dip-bak-2015.doc")});
    QVERIFY(!QFileInfo::exists(freshCache.filePath(QStringLiteral("lumarel"))));
}

QTEST_MAIN(TestExportCommands)
#include "tst_export_commands.moc"
