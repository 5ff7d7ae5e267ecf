// The batch window and the demonstration notice: layout, texts, states and
// keys, without an office (no template is assigned, so none is needed).
#include "import/ImportXmlFile.h"
#include "records/StudentListLine.h"
#include "tests/support/ExportFixture.h"
#include "windows/UDemo.h"
#include "windows/UPack.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>

class TestExportWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void packLayout();
    void packTexts_data();
    void packTexts();
    void packRunsOnceAfterShowing();
    void packRowsWithoutTemplates();
    void packClosesOnlyWhenDone_data();
    void packClosesOnlyWhenDone();
    void demoLayout();
    void demoTexts_data();
    void demoTexts();
    void demoResult_data();
    void demoResult();
    void helpKey_data();
    void helpKey();
    void recordOfListEntry_data();
    void recordOfListEntry();

private:
    QTemporaryDir m_work;
    RecordStore m_store;
    QStringList m_entries;
    std::unique_ptr<TFPack> makePack(QList<bool> checked, std::function<void()> help = {});
};

void TestExportWindows::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    QVERIFY(m_work.isValid());
    QStringList lines;
    const QByteArray file = TestFiles::edeboFile(
        graduateOf(5, QStringLiteral("Перший Іван Іванович")) +
        graduateOf(6, QStringLiteral("Другий Петро Петрович")) +
        graduateOf(5, QStringLiteral("Третій Олег Олегович")) +
        graduateOf(8, QStringLiteral("Четвертий Ян Янович")));
    QCOMPARE(ImportXmlBytes(file, QStringLiteral("a.xml"), m_store, lines), std::nullopt);
    m_entries = lines;
    SettingsFiles::EnsureWorkFolders(WorkDir(m_work.path()));
}

std::unique_ptr<TFPack> TestExportWindows::makePack(QList<bool> checked, std::function<void()> help)
{
    QList<int> indexes;
    for (qsizetype k = 0; k < m_entries.size(); ++k) {
        if (checked.value(k))
            indexes.append(RecordOfListEntry(m_store, m_entries.at(k)).value_or(0));
    }
    return std::make_unique<TFPack>(indexes, m_store, WorkDir(m_work.path()), std::move(help));
}

void TestExportWindows::packLayout()
{
    auto pack = makePack({true, false, false, false});
    QCOMPARE(pack->windowTitle(), QStringLiteral("Люмарель"));
    QCOMPARE(pack->minimumWidth(), 800);
    QCOMPARE(pack->maximumWidth(), 800);
    auto* vl = pack->findChild<QTableWidget*>(QStringLiteral("VL"));
    QVERIFY(vl);
    QCOMPARE(vl->columnCount(), 2);
    QCOMPARE(vl->rowCount(), 0);
    QCOMPARE(vl->horizontalHeaderItem(0)->text(), QStringLiteral("Студент"));
    QCOMPARE(vl->horizontalHeaderItem(1)->text(), QStringLiteral("Результат"));
    QCOMPARE(vl->columnWidth(0), 306);
    QCOMPARE(vl->columnWidth(1), 482);
    QCOMPARE(vl->editTriggers(), QAbstractItemView::NoEditTriggers);
    auto* bc = pack->findChild<QPushButton*>(QStringLiteral("Bc"));
    QCOMPARE(bc->text(), QStringLiteral("Закрити"));
    QVERIFY(!bc->isEnabled());
    auto* ts = pack->findChild<QTimer*>(QStringLiteral("Ts"));
    QCOMPARE(ts->interval(), 100);
    QVERIFY(ts->isSingleShot());
    QVERIFY(!ts->isActive());

    pack->resize(800, 600);
    pack->show();
    QVERIFY(QTest::qWaitForWindowExposed(pack.get()));
    auto* pb = pack->findChild<QProgressBar*>(QStringLiteral("PB"));
    QCOMPARE(pb->height(), 17);
    QCOMPARE(pb->mapTo(pack.get(), QPoint(0, pb->height())).y(), pack->height());
    QCOMPARE(pb->width(), pack->width());
    auto* bottom = pack->findChild<QWidget*>(QStringLiteral("BottomPanel"));
    QCOMPARE(bottom->height(), 94);
    QCOMPARE(vl->geometry().bottom() + 1, bottom->geometry().top());
    QVERIFY(!pack->findChild<QWidget*>(QStringLiteral("Pr"))->isVisible());
    // Bc sits below Pr and above PB.
    const QWidget* pr = pack->findChild<QWidget*>(QStringLiteral("Pr"));
    QVERIFY(bc->mapTo(pack.get(), QPoint()).y() >= pr->mapTo(pack.get(), QPoint(0, pr->height())).y());
    QVERIFY(bc->mapTo(pack.get(), QPoint(0, bc->height())).y() <= pb->mapTo(pack.get(), QPoint()).y());
    pack->findChild<QTimer*>(QStringLiteral("Ts"))->stop();
}

void TestExportWindows::packTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("caption") << QStringLiteral("PrCaption")
                             << QStringLiteral("Файли з результатами знаходяться у папці:") << 13
                             << QColor(0, 100, 100);
    QTest::newRow("L") << QStringLiteral("L") << QStringLiteral("/десь/Results") << 11
                       << QColor(Qt::black);
}

void TestExportWindows::packTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, pixels);
    QFETCH(QColor, colour);
    auto pack = makePack({true, false, false, false});
    pack->SetResultsFolder(QStringLiteral("/десь/Results"));
    auto* label = pack->findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->font().pixelSize(), pixels);
    QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), colour);
}

void TestExportWindows::packRunsOnceAfterShowing()
{
    auto pack = makePack({false, true, false, true});
    auto* ts = pack->findChild<QTimer*>(QStringLiteral("Ts"));
    pack->show();
    QVERIFY(ts->isActive());
    auto* vl = pack->findChild<QTableWidget*>(QStringLiteral("VL"));
    QCOMPARE(vl->rowCount(), 0); // not before the timer fires
    QTRY_VERIFY(pack->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled());
    QCOMPARE(vl->rowCount(), 2);
    pack->hide();
    pack->show();
    QTest::qWait(250);
    QCOMPARE(vl->rowCount(), 2);
    pack->TsTimer();
    QCOMPARE(vl->rowCount(), 2);
}

void TestExportWindows::packRowsWithoutTemplates()
{
    // Entries 1 and 3 share the record number 5: both rows name the first.
    auto pack = makePack({true, true, true, false});
    pack->TsTimer();
    const QString none = QStringLiteral("|Шаблон для документа даного типу не задано!");
    QCOMPARE(tableRows(pack.get()), (QStringList{QStringLiteral("Перший Іван Іванович") + none,
                                                 QStringLiteral("Другий Петро Петрович") + none,
                                                 QStringLiteral("Перший Іван Іванович") + none}));
    auto* pb = pack->findChild<QProgressBar*>(QStringLiteral("PB"));
    QCOMPARE(pb->maximum(), 3);
    QCOMPARE(pb->value(), 3);
    QVERIFY(pack->findChild<QPushButton*>(QStringLiteral("Bc"))->isEnabled());
    QVERIFY(!pack->findChild<QWidget*>(QStringLiteral("Pr"))->isHidden());
    QVERIFY(QDir(WorkDir(m_work.path()).resultsFolder()).isEmpty());
}

void TestExportWindows::packClosesOnlyWhenDone_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Escape") << QStringLiteral("escape");
    QTest::newRow("Bc") << QStringLiteral("button");
    QTest::newRow("title bar") << QStringLiteral("close");
}

void TestExportWindows::packClosesOnlyWhenDone()
{
    QFETCH(QString, how);
    auto pack = makePack({true, false, false, false});
    pack->findChild<QTimer*>(QStringLiteral("Ts"))->setInterval(100000);
    pack->show();
    QVERIFY(QTest::qWaitForWindowExposed(pack.get()));
    auto* bc = pack->findChild<QPushButton*>(QStringLiteral("Bc"));
    auto act = [&] {
        if (how == u"escape")
            QTest::keyClick(pack->findChild<QTableWidget*>(QStringLiteral("VL")), Qt::Key_Escape);
        else if (how == u"button")
            bc->click();
        else
            pack->close();
    };
    // Before the batch has run, only the title bar closes it.
    act();
    QCOMPARE(pack->isVisible(), how != u"close");
    pack->show();
    pack->TsTimer();
    act();
    QVERIFY(!pack->isVisible());
}

void TestExportWindows::demoLayout()
{
    TFDemo demo({});
    QCOMPARE(demo.windowTitle(), QStringLiteral("Люмарель"));
    QCOMPARE(demo.size(), QSize(672, 117));
    QCOMPARE(demo.minimumSize(), demo.maximumSize());
    auto* ok = demo.findChild<QPushButton*>(QStringLiteral("BOk"));
    QCOMPARE(ok->text(), QStringLiteral("Продовжити"));
    QVERIFY(ok->isDefault());
    // Lower right.
    QVERIFY(ok->geometry().right() > 672 - 20);
    QVERIFY(ok->geometry().bottom() > 117 - 20);
    // No cancel button.
    QCOMPARE(demo.findChildren<QPushButton*>().size(), 1);
    // Lines from top to bottom, none overlapping the next.
    int last = -1;
    for (const char* n : {"Label1", "Label2", "Label3", "L"}) {
        auto* l = demo.findChild<QLabel*>(QString::fromLatin1(n));
        QVERIFY(l);
        QVERIFY(l->geometry().top() > last);
        last = l->geometry().bottom();
        QVERIFY(l->geometry().right() < 672);
        QVERIFY(l->fontMetrics().horizontalAdvance(l->text()) <= l->width());
    }
}

void TestExportWindows::demoTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QColor>("colour");
    const QColor teal(0, 100, 100);
    QTest::newRow("1") << QStringLiteral("Label1")
                       << QStringLiteral("Далі буде продемонстровано процес генерації файла  з "
                                         "використанням  демо-шаблона диплома бакалавра.")
                       << 13 << teal;
    QTest::newRow("2") << QStringLiteral("Label2")
                       << QStringLiteral("Отже, кваліфікаційний рівень студента у демо-режимі може "
                                         "відрізнятись від реального!")
                       << 13 << teal;
    QTest::newRow("3") << QStringLiteral("Label3")
                       << QStringLiteral("Демо-шаблон з іменем \"template-dip-bak-2015.doc\" "
                                         "знаходиться у папці:")
                       << 13 << teal;
    QTest::newRow("L") << QStringLiteral("L") << QStringLiteral("/робоча/Examples/") << 11
                       << QColor(Qt::black);
}

void TestExportWindows::demoTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, pixels);
    QFETCH(QColor, colour);
    TFDemo demo({});
    demo.SetTemplateFolder(QStringLiteral("/робоча/Examples/"));
    auto* label = demo.findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->font().pixelSize(), pixels);
    QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), colour);
}

void TestExportWindows::demoResult_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("Продовжити") << QStringLiteral("button") << int(QDialog::Accepted);
    QTest::newRow("Enter") << QStringLiteral("enter") << int(QDialog::Accepted);
    QTest::newRow("title bar") << QStringLiteral("close") << int(QDialog::Rejected);
    // No cancel button: Escape leaves the notice open, Enter then continues.
    QTest::newRow("Escape, then Enter") << QStringLiteral("escape") << int(QDialog::Accepted);
}

void TestExportWindows::demoResult()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    TFDemo demo({});
    whenModal("TFDemo", [](QWidget*) { return true; }, [&](QWidget* w) {
        if (how == u"button")
            w->findChild<QPushButton*>(QStringLiteral("BOk"))->click();
        else if (how == u"enter")
            QTest::keyClick(w, Qt::Key_Return);
        else if (how == u"escape") {
            QTest::keyClick(w, Qt::Key_Escape);
            QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
            QTest::keyClick(w, Qt::Key_Return);
        } else
            w->close();
    });
    QCOMPARE(demo.exec(), result);
}

void TestExportWindows::helpKey_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("TFPack F1") << QStringLiteral("pack") << 0;
    QTest::newRow("TFPack Shift+F1") << QStringLiteral("pack") << int(Qt::ShiftModifier);
    QTest::newRow("TFDemo F1") << QStringLiteral("demo") << 0;
    QTest::newRow("TFDemo Ctrl+F1") << QStringLiteral("demo") << int(Qt::ControlModifier);
}

void TestExportWindows::helpKey()
{
    QFETCH(QString, window);
    QFETCH(int, modifiers);
    int help = 0;
    std::unique_ptr<QWidget> w;
    if (window == u"pack")
        w = makePack({true, false, false, false}, [&help] { ++help; });
    else
        w = std::make_unique<TFDemo>([&help] { ++help; });
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QWidget* target = w->focusWidget() ? w->focusWidget() : w.get();
    QTest::keyClick(target, Qt::Key_F1, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(help, 1);
    QTest::keyClick(target, Qt::Key_F2);
    QCOMPARE(help, 1);
    QVERIFY(w->isVisible());
    if (auto* ts = w->findChild<QTimer*>(QStringLiteral("Ts")))
        ts->stop();
}

void TestExportWindows::recordOfListEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("index"); // 0: none
    QTest::newRow("first of a shared number") << QStringLiteral("5           Третій") << 1;
    QTest::newRow("plain") << QStringLiteral("6           Другий") << 2;
    QTest::newRow("unknown number") << QStringLiteral("99          Ніхто") << 0;
    QTest::newRow("no number") << QStringLiteral("абв Ніхто") << 0;
}

void TestExportWindows::recordOfListEntry()
{
    QFETCH(QString, entry);
    QFETCH(int, index);
    const std::optional<int> found = RecordOfListEntry(m_store, entry);
    QCOMPARE(found.value_or(0), index);
}

QTEST_MAIN(TestExportWindows)
#include "tst_export_windows.moc"
