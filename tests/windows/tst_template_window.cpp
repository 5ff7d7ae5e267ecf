// The template assignment window: what it shows, what each button does, and
// that every kind of closing writes Templ.set.
#include "settings/SettingsFiles.h"
#include "records/TemplateSlot.h"
#include "tests/support/TestFiles.h"
#include "windows/Utempl.h"
#include "tests/windows/WindowFixture.h"
#ifdef LUMAREL_HAVE_GENERATE
#include "generate/DocumentGeneration.h"
#include "records/RecordStore.h"
#endif

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

using MessageBoxes::Kind;

namespace {

enum class Closing { Button, Escape, TitleBar };

// Templ.set's lines, each ended by CR LF; ASCII text is the same in CP1251.
QByteArray lines(const QStringList& texts)
{
    QByteArray out;
    for (const QString& t : texts)
        out += t.toLatin1() + "\r\n";
    return out;
}

QStringList oldRows()
{
    QStringList rows;
    for (int k = 1; k <= TemplateSlotCount; ++k)
        rows.append(QStringLiteral("/old/%1.doc").arg(k));
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Closing)

class TestTemplateWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void grid();
    void buttons_data();
    void buttons();
    void closingSaves_data();
    void closingSaves();
    void choose_data();
    void choose();
    void nextChoiceStartsInRememberedFolder();
    void cancelChangesNothing();
    void unstorablePathIsRefused_data();
    void unstorablePathIsRefused();
    void unusableFolderFileKeepsRow();
    void detachThenLookup();
    void f1RunsHelp_data();
    void f1RunsHelp();
    void failedSaveKeepsWindowOnce();
    void unreadableTableOpensNothing();
    void placedAndShownModally();

private:
    std::unique_ptr<TFTempl> open(const QByteArray* stored = nullptr);
    QString file(const QString& name) const { return m_f->path(name); }
    QByteArray table() const { return TestFiles::read(file(QStringLiteral("Templ.set"))); }
    template <typename T> T* find(const QString& name) const
    {
        T* w = m_window->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }

    std::unique_ptr<WindowFixture> m_f;
    WorkDir m_workDir;
    std::unique_ptr<TFTempl> m_window;
    int m_helpRuns = 0;
};

void TestTemplateWindow::init()
{
    m_f = std::make_unique<WindowFixture>();
    m_workDir = WorkDir(m_f->dir.path());
    m_helpRuns = 0;
}

void TestTemplateWindow::cleanup()
{
    m_window.reset();
    m_f.reset();
}

std::unique_ptr<TFTempl> TestTemplateWindow::open(const QByteArray* stored)
{
    if (stored)
        TestFiles::write(file(QStringLiteral("Templ.set")), *stored);
    auto w = std::make_unique<TFTempl>(m_workDir, [this] { ++m_helpRuns; });
    if (w->FormShow())
        w->show();
    return w;
}

void TestTemplateWindow::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    const QColor teal(0, 128, 128);
    QTest::newRow("L1") << QStringLiteral("L1")
                        << QStringLiteral("1. Підготуйте та збережіть на диску Вашого комп`ютера "
                                          "файли шаблонів дипломів у форматі MS Word.")
                        << teal;
    QTest::newRow("L3") << QStringLiteral("L3")
                        << QStringLiteral("    Файли шаблонів доцільно зберігати у папку: ") << teal;
    QTest::newRow("L2") << QStringLiteral("L2") << QString() << QColor(128, 128, 128);
    QTest::newRow("L4") << QStringLiteral("L4")
                        << QStringLiteral("2. Вкажіть повну назву файлу шаблона для кожного з "
                                          "варіантів документів,  наведених нижче:")
                        << teal;
}

void TestTemplateWindow::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    m_window = open();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Люмарель"));
    QCOMPARE(m_window->size(), QSize(794, 294));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QCOMPARE(m_window->font().pixelSize(), 11);
    QCOMPARE(m_window->font().family(), QStringLiteral("Arial"));
    QCOMPARE(find<QWidget>(QStringLiteral("P3"))->geometry(), QRect(0, 0, 794, 83));
    QCOMPARE(find<QWidget>(QStringLiteral("Panel1"))->geometry(), QRect(0, 258, 794, 36));
    QCOMPARE(find<QWidget>(QStringLiteral("Panel2"))->geometry().width(), 50);

    auto* label = find<QLabel>(name);
    if (name == QStringLiteral("L2"))
        text = QStringLiteral("   ") + m_workDir.templatesFolder();
    QCOMPARE(label->text(), text);
    QCOMPARE(label->height(), 18);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    // The whole text is drawn: none of it is cut at the window's edge.
    QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->width());
}

void TestTemplateWindow::grid()
{
    const QByteArray stored = lines({QStringLiteral("  /t/a.doc  ")});
    m_window = open(&stored);
    auto* vl = find<QTableWidget>(QStringLiteral("VL"));
    QCOMPARE(vl->columnCount(), 2);
    QCOMPARE(vl->rowCount(), 8);
    QCOMPARE(vl->horizontalHeaderItem(0)->text(), QStringLiteral("ТИП ДОКУМЕНТА"));
    QCOMPARE(vl->horizontalHeaderItem(1)->text(), QStringLiteral("ФАЙЛ ШАБЛОНА"));
    QCOMPARE(vl->columnWidth(0), 180);
    QCOMPARE(vl->columnWidth(1), 558);
    QCOMPARE(vl->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    QCOMPARE(vl->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QStringList names = TemplateSlotNames();
    for (int r = 0; r < 8; ++r) {
        QCOMPARE(vl->item(r, 0)->text(), names.at(r));
        QVERIFY(!(vl->item(r, 0)->flags() & Qt::ItemIsSelectable));
        QVERIFY(!(vl->item(r, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(!(vl->item(r, 1)->flags() & Qt::ItemIsEditable));
    }
    // Stored text is shown as stored, spaces and all.
    QCOMPARE(m_window->Value(1), QStringLiteral("  /t/a.doc  "));
    QCOMPARE(vl->item(0, 1)->text(), QStringLiteral("  /t/a.doc  "));
    QCOMPARE(m_window->Value(2), QString());
}

void TestTemplateWindow::buttons_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("top");
    const QString hints[] = {
        QStringLiteral("Запам`ятати шаблон для  диплома молодшого спеціаліста"),
        QStringLiteral("Запам`ятати шаблон для  диплома молодшого спеціаліста з відзнакою "),
        QStringLiteral("Запам`ятати шаблон для  диплома  бакалавра"),
        QStringLiteral("Запам`ятати шаблон для  диплома бакалавра з відзнакою "),
        QStringLiteral("Запам`ятати шаблон для диплома спеціаліста "),
        QStringLiteral("Запам`ятати шаблон для диплома спеціаліста з відзнакою "),
        QStringLiteral("Запам`ятати шаблон для  диплома магістра "),
        QStringLiteral("Запам`ятати шаблон для  диплома магістра з відзнакою "),
    };
    const int tops[] = {20, 39, 58, 77, 96, 116, 135, 154};
    for (int k = 1; k <= 8; ++k)
        QTest::addRow("slot %d", k) << k << hints[k - 1] << tops[k - 1];
}

void TestTemplateWindow::buttons()
{
    QFETCH(int, slot);
    QFETCH(QString, hint);
    QFETCH(int, top);
    m_window = open();
    QCoreApplication::processEvents();
    auto* choose = find<QToolButton>(QStringLiteral("B%1").arg(slot));
    auto* drop = find<QToolButton>(QStringLiteral("B%1s").arg(slot));
    QCOMPARE(choose->text(), QStringLiteral("..."));
    QVERIFY(choose->font().bold());
    QCOMPARE(choose->toolTip(), hint);
    QCOMPARE(drop->toolTip(), QStringLiteral("Відкріпити шаблон..."));
    QVERIFY(drop->text().isEmpty());
    QVERIFY(!drop->icon().isNull());
    for (QToolButton* b : {choose, drop}) {
        QCOMPARE(b->size(), QSize(23, 19));
        QCOMPARE(b->y(), top);
        QVERIFY(b->autoRaise());
    }
    QCOMPARE(choose->x() + choose->width(), drop->x());
    // The buttons stand level with their row of the grid.
    auto* vl = find<QTableWidget>(QStringLiteral("VL"));
    auto* panel2 = find<QWidget>(QStringLiteral("Panel2"));
    const QPoint rowTop = vl->viewport()->mapTo(m_window.get(),
                                                QPoint(0, vl->rowViewportPosition(slot - 1)));
    QCOMPARE(rowTop.y() - panel2->y(), top);
    QCOMPARE(vl->rowHeight(slot - 1), slot < 8 ? (slot == 5 ? 20 : 19) : 19);
}

void TestTemplateWindow::closingSaves_data()
{
    QTest::addColumn<Closing>("closing");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("written");
    const QByteArray empty8 = QByteArray("\r\n").repeated(8);
    QTest::newRow("absent, Закрити") << Closing::Button << false << QByteArray() << empty8;
    QTest::newRow("absent, Esc") << Closing::Escape << false << QByteArray() << empty8;
    QTest::newRow("absent, title bar") << Closing::TitleBar << false << QByteArray() << empty8;
    const QByteArray full = lines(oldRows());
    QTest::newRow("eight rows, Esc") << Closing::Escape << true << full << full;
    QTest::newRow("eight rows, title bar") << Closing::TitleBar << true << full << full;
    QTest::newRow("three lines")
        << Closing::Button << true << QByteArray("a\r\nb\r\nc")
        << QByteArray("a\r\nb\r\nc\r\n") + QByteArray("\r\n").repeated(5);
    QTest::newRow("ten lines") << Closing::Button << true << full + "nine\r\nten\r\n" << full;
    QTest::newRow("LF only") << Closing::Button << true << QByteArray("a\n\nc\n")
                             << QByteArray("a\r\n\r\nc\r\n") + QByteArray("\r\n").repeated(5);
    QTest::newRow("spaces and Cyrillic kept")
        << Closing::TitleBar << true << QByteArray("  /\xF2/\xF8\xE0\xE1\xEB\xEE\xED.doc \t\r\n")
        << QByteArray("  /\xF2/\xF8\xE0\xE1\xEB\xEE\xED.doc \t\r\n") +
               QByteArray("\r\n").repeated(7);
}

void TestTemplateWindow::closingSaves()
{
    QFETCH(Closing, closing);
    QFETCH(bool, exists);
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, written);
    m_window = open(exists ? &stored : nullptr);
    QVERIFY(m_window->isVisible());
    switch (closing) {
    case Closing::Button:
        find<QPushButton>(QStringLiteral("Bc"))->click();
        break;
    case Closing::Escape:
        QTest::keyClick(m_window->findChild<QTableWidget*>(), Qt::Key_Escape);
        break;
    case Closing::TitleBar:
        QVERIFY(m_window->close());
        break;
    }
    QVERIFY(!m_window->isVisible());
    QCOMPARE(table(), written);
    QVERIFY(m_f->boxes.isEmpty());
}

void TestTemplateWindow::choose_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("line");   // of Templ.set, in CP1251
    QTest::addColumn<QByteArray>("folder"); // CurDirTempl.set, in CP1251
    QTest::newRow("slot 4")
        << 4 << QStringLiteral("/шаблони/бакалавр з відзнакою.doc")
        << QStringLiteral("/шаблони/бакалавр з відзнакою.doc")
        << QByteArray(
               "/\xF8\xE0\xE1\xEB\xEE\xED\xE8/"
               "\xE1\xE0\xEA\xE0\xEB\xE0\xE2\xF0 \xE7 \xE2\xB3\xE4\xE7\xED\xE0\xEA\xEE\xFE.doc")
        << QByteArray("/\xF8\xE0\xE1\xEB\xEE\xED\xE8/");
    QTest::newRow("slot 1") << 1 << QStringLiteral("/a/b/c.doc") << QStringLiteral("/a/b/c.doc")
                            << QByteArray("/a/b/c.doc") << QByteArray("/a/b/");
    QTest::newRow("slot 8, any extension")
        << 8 << QStringLiteral("/x/m.docx") << QStringLiteral("/x/m.docx")
        << QByteArray("/x/m.docx") << QByteArray("/x/");
    QTest::newRow("trimmed") << 3 << QStringLiteral("  /x/y z.doc \t")
                             << QStringLiteral("/x/y z.doc") << QByteArray("/x/y z.doc")
                             << QByteArray("/x/");
    QTest::newRow("root") << 5 << QStringLiteral("/r.doc") << QStringLiteral("/r.doc")
                          << QByteArray("/r.doc") << QByteArray("/");
}

void TestTemplateWindow::choose()
{
    QFETCH(int, slot);
    QFETCH(QString, answer);
    QFETCH(QString, value);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, folder);
    const QByteArray stored = lines(oldRows());
    m_window = open(&stored);
    m_f->answers = {answer};
    find<QToolButton>(QStringLiteral("B%1").arg(slot))->click();
    QCOMPARE(m_f->dialogFolders, QStringList{m_workDir.path()});
    QCOMPARE(m_f->dialogFilters, QStringList{TFTempl::Filter});
    QStringList expected = oldRows();
    expected[slot - 1] = value;
    QCOMPARE(m_window->Values(), expected);
    QCOMPARE(TestFiles::read(file(QStringLiteral("CurDirTempl.set"))), folder);
    QVERIFY(m_f->boxes.isEmpty());
    m_window->reject();
    QCOMPARE(table(),
             lines(oldRows().mid(0, slot - 1)) + line + "\r\n" + lines(oldRows().mid(slot)));
}

void TestTemplateWindow::nextChoiceStartsInRememberedFolder()
{
    m_window = open();
    m_f->answers = {QStringLiteral("/перша/a.doc"), QStringLiteral("/друга/b.doc")};
    find<QToolButton>(QStringLiteral("B4"))->click();
    find<QToolButton>(QStringLiteral("B7"))->click();
    QCOMPARE(m_f->dialogFolders, (QStringList{m_workDir.path(), QStringLiteral("/перша/")}));
    QCOMPARE(m_window->Value(4), QStringLiteral("/перша/a.doc"));
    QCOMPARE(m_window->Value(7), QStringLiteral("/друга/b.doc"));
}

void TestTemplateWindow::cancelChangesNothing()
{
    const QByteArray stored = lines(oldRows());
    TestFiles::write(file(QStringLiteral("CurDirTempl.set")), "/kept/");
    m_window = open(&stored);
    find<QToolButton>(QStringLiteral("B2"))->click(); // no answer: cancelled
    QCOMPARE(m_f->dialogFolders, QStringList{QStringLiteral("/kept/")});
    QCOMPARE(m_window->Values(), oldRows());
    QCOMPARE(TestFiles::read(file(QStringLiteral("CurDirTempl.set"))), QByteArray("/kept/"));
    QVERIFY(m_f->boxes.isEmpty());
}

void TestTemplateWindow::unstorablePathIsRefused_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("modifier apostrophe in the name") << QStringLiteral("/t/комп\u02BCютер.doc");
    QTest::newRow("in the folder") << QStringLiteral("/d\u02BCa/x.doc");
    QTest::newRow("outside the BMP") << QStringLiteral("/t/\U0001F600.doc");
    QTest::newRow("CJK") << QStringLiteral("/t/文件.doc");
}

void TestTemplateWindow::unstorablePathIsRefused()
{
    QFETCH(QString, answer);
    const QByteArray stored = lines(oldRows());
    m_window = open(&stored);
    m_f->answers = {answer};
    find<QToolButton>(QStringLiteral("B3"))->click();
    QCOMPARE(m_f->boxes.size(), 1);
    QCOMPARE(m_f->boxes.at(0).kind, Kind::Plain);
    QCOMPARE(m_f->boxes.at(0).text, TFTempl::UnstorableText);
    QCOMPARE(m_window->Values(), oldRows());
    QVERIFY(!QFileInfo::exists(file(QStringLiteral("CurDirTempl.set"))));
    m_window->reject();
    QCOMPARE(table(), stored);
}

void TestTemplateWindow::unusableFolderFileKeepsRow()
{
    // A directory in place of CurDirTempl.set can be neither read nor written.
    QVERIFY(QDir(m_f->dir.path()).mkdir(QStringLiteral("CurDirTempl.set")));
    const QByteArray stored = lines(oldRows());
    m_window = open(&stored);
    m_f->answers = {QStringLiteral("/t/new.doc")};
    find<QToolButton>(QStringLiteral("B6"))->click();
    QCOMPARE(m_f->boxes.size(), 1);
    QCOMPARE(m_f->boxes.at(0).kind, Kind::AppError);
    QVERIFY(m_f->boxes.at(0).text.contains(QStringLiteral("CurDirTempl.set")));
    QCOMPARE(m_window->Values(), oldRows());
    QVERIFY(m_window->isVisible());
}

void TestTemplateWindow::detachThenLookup()
{
    const QByteArray stored = lines(oldRows());
    m_window = open(&stored);
    find<QToolButton>(QStringLiteral("B2s"))->click();
    QStringList expected = oldRows();
    expected[1].clear();
    QCOMPARE(m_window->Values(), expected);
    QVERIFY(m_f->boxes.isEmpty());
    find<QPushButton>(QStringLiteral("Bc"))->click();
    QCOMPARE(table(), lines(expected));
#ifdef LUMAREL_HAVE_GENERATE
    RecordStore store;
    store.BeginImport();
    const int honours = store.AppendRecord();
    store.MutableRecord(honours).LevelCode = QStringLiteral("5");
    store.MutableRecord(honours).AwardTypeName = QStringLiteral("1");
    const int plain = store.AppendRecord();
    store.MutableRecord(plain).LevelCode = QStringLiteral("5");
    QCOMPARE(FindTemplatePath(m_workDir, store, honours), QString());
    QCOMPARE(FindTemplatePath(m_workDir, store, plain), QStringLiteral("/old/1.doc"));
#else
    QCOMPARE(SettingsFiles::LoadTemplateTable(m_workDir).value(), expected);
#endif
}

void TestTemplateWindow::f1RunsHelp_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("window") << QString() << Qt::KeyboardModifiers();
    QTest::newRow("grid") << QStringLiteral("VL") << Qt::KeyboardModifiers();
    QTest::newRow("choose button, Shift") << QStringLiteral("B3") << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Закрити, Ctrl") << QStringLiteral("Bc") << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void TestTemplateWindow::f1RunsHelp()
{
    QFETCH(QString, target);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    m_window = open();
    QWidget* w = target.isEmpty() ? m_window.get() : find<QWidget>(target);
    QTest::keyClick(w, Qt::Key_F1, modifiers);
    QCOMPARE(m_helpRuns, 1);
    QVERIFY(m_window->isVisible());
    QVERIFY(!QFileInfo::exists(file(QStringLiteral("Templ.set"))));
}

void TestTemplateWindow::failedSaveKeepsWindowOnce()
{
    m_window = open();
    m_f->answers = {QStringLiteral("/t/a.doc")};
    find<QToolButton>(QStringLiteral("B1"))->click();
    // Now Templ.set cannot be written: a directory stands in its place.
    QVERIFY(QDir(m_f->dir.path()).mkdir(QStringLiteral("Templ.set")));
    QVERIFY(!m_window->close());
    QCOMPARE(m_f->boxes.size(), 1);
    QCOMPARE(m_f->boxes.at(0).kind, Kind::AppError);
    QVERIFY(m_f->boxes.at(0).text.contains(QStringLiteral("Templ.set")));
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->Value(1), QStringLiteral("/t/a.doc"));
    // Freed, the next closing saves.
    QVERIFY(QDir(m_f->dir.path()).rmdir(QStringLiteral("Templ.set")));
    find<QPushButton>(QStringLiteral("Bc"))->click();
    QVERIFY(!m_window->isVisible());
    QCOMPARE(table(), lines({QStringLiteral("/t/a.doc")}) + QByteArray("\r\n").repeated(7));

    // Still failing the second time: told again, and let go.
    m_f->boxes.clear();
    m_window = open();
    QVERIFY(QDir(m_f->dir.path()).mkdir(QStringLiteral("blocked")));
    QVERIFY(QFile::remove(file(QStringLiteral("Templ.set"))));
    QVERIFY(QDir(m_f->dir.path()).rename(QStringLiteral("blocked"), QStringLiteral("Templ.set")));
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QVERIFY(m_window->isVisible());
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_f->boxes.size(), 2);
}

void TestTemplateWindow::unreadableTableOpensNothing()
{
    QVERIFY(QDir(m_f->dir.path()).mkdir(QStringLiteral("Templ.set")));
    WhenShown guard(TFTempl::staticMetaObject, [](QDialog* d) { d->reject(); });
    ShowTemplateWindow(nullptr, m_workDir, [this] { ++m_helpRuns; });
    QVERIFY(!guard.fired());
    QCOMPARE(m_f->boxes.size(), 1);
    QCOMPARE(m_f->boxes.at(0).kind, Kind::AppError);
    QVERIFY(QFileInfo(file(QStringLiteral("Templ.set"))).isDir());
}

void TestTemplateWindow::placedAndShownModally()
{
    const auto mainWindow = makeMainWindow();
    QPoint at;
    bool modal = false;
    WhenShown closer(TFTempl::staticMetaObject, [&](QDialog* d) {
        at = d->pos();
        modal = d->isModal();
        d->findChild<QPushButton*>(QStringLiteral("Bc"))->click();
    });
    ShowTemplateWindow(mainWindow.get(), m_workDir, [this] { ++m_helpRuns; });
    QVERIFY(closer.fired());
    QCOMPARE(at, mainWindow->pos() + QPoint(10, 10));
    QVERIFY(modal);
    QCOMPARE(table(), QByteArray("\r\n").repeated(8));
    QVERIFY(!mainWindow->findChild<TFTempl*>()); // disposed of
}

QTEST_MAIN(TestTemplateWindow)
#include "tst_template_window.moc"
