// The tag reference: its fixed rows, and copying the current row's tag.
#include "tests/windows/WindowFixture.h"
#include "windows/Utags.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

class TestTagTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void rows_data();
    void rows();
    void listsTheTagTable();
    void layout();
    void copyAtOnce();
    void copyAfterRightClick_data();
    void copyAfterRightClick();
    void contextMenuOffersCopy();
    void keys();
    void placedMaximisedAndModal();

private:
    QTableWidget* vl() const { return m_window->findChild<QTableWidget*>(QStringLiteral("VL")); }
    QAction* n1() const { return m_window->findChild<QAction*>(QStringLiteral("N1")); }
    QPoint cellCentre(int row) const
    {
        return vl()->visualRect(vl()->model()->index(row, 1)).center();
    }

    std::unique_ptr<TFtags> m_window;
    int m_helpRuns = 0;
};

void TestTagTable::init()
{
    m_helpRuns = 0;
    m_window = std::make_unique<TFtags>([this] { ++m_helpRuns; });
    m_window->show();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
}

void TestTagTable::cleanup()
{
    m_window.reset();
}

void TestTagTable::rows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("explanation");
    const char* const table[][2] = {
        {"#Серія диплома#", ""},
        {"#Номер диплома#", ""},
        {"#Прізвище#", ""},
        {"#Last name#", ""},
        {"#Ім`я#", ""},
        {"#First name#", ""},
        {"#По батькові#", ""},
        {"#З_Рід#", "закінчення, що залежить від роду (чол. або жін.). Наприклад текст "
                    "\"закінчи#З_Рід#\" перетвориться у \"закінчив\" або \"закінчила\" "},
        {"#РікДп#", "рік, коли закінчене навчання у закладі (рік видачі диплому)"},
        {"#ВНЗ#", "Назва вищого навчального закладу, що видає документ"},
        {"#Universityname#", "Назва вищого навчального закладу, що видає документ, англійською"},
        {"#Напрям/спеціальність#", ""},
        {"#field of study#", "Напрям/спеціальність англійською"},
        {"#Кваліфікація#", ""},
        {"#qualification#", ""},
        {"#Посада керівника#", ""},
        {"#bossworkpost#", "Посада керівника англійською"},
        {"#Керівник#", ""},
        {"#boss#", ""},
        {"#ДатаДп#", "Дата видачі документа"},
        {"#МісДп#", "Місяць видачі документа"},
        {"#МісДпЧисло#", "Місяць видачі документа числом"},
        {"#MonthDp#", "Місяць видачі документа англійською"},
        {"#РікДп#", "Рік видачі документа"},
        {"#AddDateEnDp#", "Закінчення дати в англійському правописі"},
        {"#ДатаЗн#", "Дата закінчення навчання"},
        {"#МісЗн#", "Місяць закінчення навчання"},
        {"#МісЗнЧисло#", "Місяць закінчення навчання числом"},
        {"#MonthZn#", "Місяць закінчення навчання англійською"},
        {"#РікЗн#", "Рік закінчення навчання"},
        {"#AddDateEnZn#", "Закінчення дати закінчення навчання в англійському правописі"},
    };
    for (int r = 0; r < 31; ++r)
        QTest::addRow("row %d", r + 1)
            << r << QString::fromUtf8(table[r][0]) << QString::fromUtf8(table[r][1]);
}

void TestTagTable::rows()
{
    QFETCH(int, row);
    QFETCH(QString, tag);
    QFETCH(QString, explanation);
    QCOMPARE(vl()->rowCount(), 31);
    QCOMPARE(vl()->item(row, 0)->text(), tag);
    QCOMPARE(vl()->item(row, 1)->text(), explanation);
    QVERIFY(!(vl()->item(row, 0)->flags() & Qt::ItemIsEditable));
    QVERIFY(!(vl()->item(row, 1)->flags() & Qt::ItemIsEditable));
}

// The reference rows only: the tag replaced without being listed is left out.
void TestTagTable::listsTheTagTable()
{
    QStringList tags;
    for (int r = 0; r < vl()->rowCount(); ++r)
        tags << vl()->item(r, 0)->text();
    QCOMPARE(tags.size(), 31);
    QCOMPARE(tags.count(u"#РікДп#"_qs), 2); // listed twice, with two explanations
    QVERIFY(!tags.contains(u"#Middle name#"_qs));
}

void TestTagTable::layout()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Люмарель"));
    QCOMPARE(m_window->minimumWidth(), 814);
    QCOMPARE(m_window->maximumWidth(), 814);
    QCOMPARE(m_window->width(), 814);
    QCOMPARE(m_window->font().pixelSize(), 11);
    QCOMPARE(m_window->findChild<QWidget*>(QStringLiteral("P3"))->height(), 29);
    QCOMPARE(m_window->findChild<QWidget*>(QStringLiteral("Panel1"))->height(), 30);
    auto* l1 = m_window->findChild<QLabel*>(QStringLiteral("L1"));
    QCOMPARE(l1->text(),
             QStringLiteral("1. У шаблони документів про освіту (у форматі MS Word)  у відповідні "
                            "місця документа слід вставити  потрібні теги.  Генерація файлів "
                            "відбувається шляхом копіювання шаблону у новий файл з наступною "
                            "автоматичною заміненою тегів  на відповідні дані з XML-файлу."));
    QVERIFY(l1->wordWrap());
    QCOMPARE(l1->height(), 27);
    QCOMPARE(l1->palette().color(QPalette::WindowText), QColor(0, 128, 128));
    QVERIFY(l1->heightForWidth(l1->width()) <= l1->height()); // two lines fit
    QCOMPARE(vl()->horizontalHeaderItem(0)->text(), QStringLiteral("ТЕГ"));
    QCOMPARE(vl()->horizontalHeaderItem(1)->text(), QStringLiteral("ПОЯСНЕННЯ"));
    QCOMPARE(vl()->columnWidth(0), 128);
    QCOMPARE(vl()->columnWidth(1), 658);
    QCOMPARE(vl()->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
    QCOMPARE(vl()->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(vl()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(vl()->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(vl()->toolTip(), TFtags::Hint);
    QCOMPARE(vl()->currentRow(), 0);
}

void TestTagTable::copyAtOnce()
{
    n1()->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("#Серія диплома#"));
}

void TestTagTable::copyAfterRightClick_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("rightClicked");
    QTest::addColumn<QString>("copied");
    QTest::newRow("row 3, right click on row 5") << 2 << 4 << QStringLiteral("#Прізвище#");
    QTest::newRow("row 24, right click on row 9") << 23 << 8 << QStringLiteral("#РікДп#");
    QTest::newRow("row 8, right click on row 1") << 7 << 0 << QStringLiteral("#З_Рід#");
    QTest::newRow("same row") << 12 << 12 << QStringLiteral("#field of study#");
}

void TestTagTable::copyAfterRightClick()
{
    QFETCH(int, selected);
    QFETCH(int, rightClicked);
    QFETCH(QString, copied);
    QTest::mouseClick(vl()->viewport(), Qt::LeftButton, {}, cellCentre(selected));
    QCOMPARE(vl()->currentRow(), selected);
    QTest::mouseClick(vl()->viewport(), Qt::RightButton, {}, cellCentre(rightClicked));
    QTest::mouseDClick(vl()->viewport(), Qt::RightButton, {}, cellCentre(rightClicked));
    QCOMPARE(vl()->currentRow(), selected);
    QCOMPARE(vl()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(vl()->selectionModel()->selectedRows().at(0).row(), selected);
    n1()->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
}

void TestTagTable::contextMenuOffersCopy()
{
    QTest::keyClick(vl(), Qt::Key_Down);
    QTest::keyClick(vl(), Qt::Key_Down);
    QCOMPARE(vl()->currentRow(), 2);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, cellCentre(6),
                                vl()->viewport()->mapToGlobal(cellCentre(6)));
    QCoreApplication::sendEvent(vl()->viewport(), &menuEvent);
    QMenu* menu = m_window->ContextMenu();
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().at(0), n1());
    QCOMPARE(n1()->text(), QStringLiteral("Копіювати тег в буфер"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(n1()).center());
    QVERIFY(!menu->isVisible());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("#Прізвище#"));
    QCOMPARE(vl()->currentRow(), 2);
}

void TestTagTable::keys()
{
    QTest::keyClick(vl(), Qt::Key_F1);
    QCOMPARE(m_helpRuns, 1);
    QVERIFY(m_window->isVisible());
    QTest::keyClick(vl(), Qt::Key_Escape);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->result(), int(QDialog::Rejected));
}

void TestTagTable::placedMaximisedAndModal()
{
    m_window.reset();
    const auto mainWindow = makeMainWindow();
    QRect normal;
    Qt::WindowStates state;
    int width = 0;
    bool modal = false;
    WhenShown closer(TFtags::staticMetaObject, [&](QDialog* d) {
        normal = d->normalGeometry();
        state = d->windowState();
        width = d->width();
        modal = d->isModal();
        d->findChild<QPushButton*>(QStringLiteral("Bc"))->click();
    });
    ShowTagTable(mainWindow.get(), [this] { ++m_helpRuns; });
    QVERIFY(closer.fired());
    QVERIFY(state & Qt::WindowMaximized);
    QCOMPARE(width, 814);
    QCOMPARE(normal.topLeft(), mainWindow->pos() + QPoint(10, 10));
    QVERIFY(modal);
    QVERIFY(!mainWindow->findChild<TFtags*>());
}

QTEST_MAIN(TestTagTable)
#include "tst_tag_table.moc"
