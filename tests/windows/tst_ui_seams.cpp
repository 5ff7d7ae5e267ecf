// The pieces every window shares: the general error box, the command runner
// and the key rules.
#include "windows/ui/Commands.h"
#include "windows/ui/KeyRule.h"
#include "records/LumarelError.h"
#include "windows/ui/MessageBoxes.h"
#include "windows/ui/ToolkitTranslation.h"

#include <QApplication>
#include <QMessageBox>
#include <QAbstractButton>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

using MessageBoxes::Kind;
using MessageBoxes::Shown;

class TestUiSeams : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void fullStopRule_data();
    void fullStopRule();
    void runCommand_data();
    void runCommand();
    void exportErrorIsPlacedAtTheOffset();
    void exportBoxFrameAtTheOffset_data();
    void exportBoxFrameAtTheOffset();
    void toolkitSpeaksUkrainian_data();
    void toolkitSpeaksUkrainian();
    void keyRules_data();
    void keyRules();
    void escapeNeedsAUsableButton_data();
    void escapeNeedsAUsableButton();

private:
    QList<Shown> m_boxes;
};

void TestUiSeams::init()
{
    m_boxes.clear();
    MessageBoxes::setRecorder([this](const Shown& s) { m_boxes.append(s); });
}

void TestUiSeams::cleanup()
{
    MessageBoxes::clearRecorder();
}

void TestUiSeams::fullStopRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QStringLiteral("abc") << QStringLiteral("abc.");
    QTest::newRow("Cyrillic") << QStringLiteral("Помилка") << QStringLiteral("Помилка.");
    QTest::newRow("digit") << QStringLiteral("рядок 7") << QStringLiteral("рядок 7.");
    QTest::newRow("slash sorts after") << QStringLiteral("C:/") << QStringLiteral("C:/.");
    QTest::newRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
    QTest::newRow("exclamation") << QStringLiteral("Увага!") << QStringLiteral("Увага!");
    QTest::newRow("closing quote") << QStringLiteral("файл \"a\"") << QStringLiteral("файл \"a\"");
    QTest::newRow("parenthesis") << QStringLiteral("(x)") << QStringLiteral("(x)");
    QTest::newRow("hyphen") << QStringLiteral("a-") << QStringLiteral("a-");
    QTest::newRow("trailing space") << QStringLiteral("a ") << QStringLiteral("a ");
    QTest::newRow("empty") << QString() << QString();
}

void TestUiSeams::fullStopRule()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(MessageBoxes::appErrorText(text), shown);
    MessageBoxes::appError(nullptr, text);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).kind, Kind::AppError);
    QCOMPARE(m_boxes.at(0).text, shown);
}

void TestUiSeams::runCommand_data()
{
    QTest::addColumn<int>("failure"); // 0 none, 1 LumarelError, 2 std::exception
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("boxText");
    QTest::newRow("no failure") << 0 << true << QString();
    QTest::newRow("raised error") << 1 << false << QStringLiteral("Не вдалося записати файл.");
    QTest::newRow("other exception") << 2 << false << QStringLiteral("out of range.");
}

void TestUiSeams::runCommand()
{
    QFETCH(int, failure);
    QFETCH(bool, result);
    QFETCH(QString, boxText);
    QWidget parent;
    bool after = false;
    const bool ok = RunCommand(&parent, [&] {
        if (failure == 1)
            throw LumarelError(QStringLiteral("Не вдалося записати файл"));
        if (failure == 2)
            throw std::out_of_range("out of range");
        after = true;
    });
    QCOMPARE(ok, result);
    QCOMPARE(after, result); // a failure ends the command where it arose
    if (boxText.isEmpty()) {
        QVERIFY(m_boxes.isEmpty());
    } else {
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.at(0).kind, Kind::AppError);
        QCOMPARE(m_boxes.at(0).text, boxText);
    }
}

void TestUiSeams::exportErrorIsPlacedAtTheOffset()
{
    QWidget anchor;
    anchor.move(30, 40);
    anchor.show();
    MessageBoxes::exportError(&anchor, QStringLiteral("Не обрано"), QPoint(100, 10));
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).kind, Kind::ExportError);
    QVERIFY(m_boxes.at(0).topLeft.has_value());
    QCOMPARE(*m_boxes.at(0).topLeft, anchor.frameGeometry().topLeft() + QPoint(100, 10));
}

void TestUiSeams::exportBoxFrameAtTheOffset_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("offset");
    QTest::newRow("nobody checked") << QStringLiteral("Студента не обрано!") << QPoint(300, 20);
    QTest::newRow("nobody checked, batch")
        << QStringLiteral("Жодного студента не обрано!") << QPoint(300, 20);
    QTest::newRow("no template")
        << QStringLiteral("Шаблон для документа даного типу не задано!") << QPoint(20, 20);
    // The long one wraps: its box changes its size as it is shown.
    QTest::newRow("template unusable, wraps")
        << QStringLiteral("Шаблон для документа даного типу не відповідає вимогам до його "
                          "структури  або відсутній!")
        << QPoint(20, 20);
    QTest::newRow("demonstration template unusable")
        << QStringLiteral("Шаблон для документа даного типу не відповідає вимогам до його "
                          "структури або відсутній!")
        << QPoint(20, 20);
}

// Shown for real: the box's frame, not its client area, sits at the offset,
// whatever size the box takes as it is shown.
void TestUiSeams::exportBoxFrameAtTheOffset()
{
    QFETCH(QString, text);
    QFETCH(QPoint, offset);
    MessageBoxes::clearRecorder();
    QWidget anchor;
    anchor.resize(600, 300);
    anchor.move(30, 40);
    anchor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&anchor));
    QPoint frameTopLeft;
    QRect client;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (!QTest::qWaitForWindowExposed(box))
            qWarning("the box was never exposed");
        frameTopLeft = box->frameGeometry().topLeft();
        client = box->geometry();
        box->accept();
    });
    MessageBoxes::exportError(&anchor, text, offset);
    const QPoint expected = anchor.frameGeometry().topLeft() + offset;
    QCOMPARE(frameTopLeft, expected);
    // The client area lies inside the frame, below its top edge or on it.
    QVERIFY(client.top() >= expected.y());
}

void TestUiSeams::toolkitSpeaksUkrainian_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("shown");
    QTest::newRow("box and dialog button") << u"QPlatformTheme"_qs << u"Cancel"_qs << u"Скасувати"_qs;
    QTest::newRow("open dialog caption") << u"QFileDialog"_qs << u"Open"_qs << u"Відкрити"_qs;
    QTest::newRow("open dialog folder") << u"QFileDialog"_qs << u"Look in:"_qs << u"Перегляд в:"_qs;
    QTest::newRow("open dialog filter") << u"QFileDialog"_qs << u"Files of type:"_qs
                                        << u"Тип файлів:"_qs;
    QTest::newRow("edit field menu") << u"QLineEdit"_qs << u"&Copy"_qs << u"&Копіювати"_qs;
    QTest::newRow("edit field select all") << u"QLineEdit"_qs << u"Select All"_qs
                                           << u"Виділити все"_qs;
}

// The toolkit's catalogue is installed (install-deps, the package's
// dependencies) and loaded from the toolkit's own folder.
void TestUiSeams::toolkitSpeaksUkrainian()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, shown);
    static const bool installed = ToolkitTranslation::install();
    QVERIFY2(installed, "qtbase_uk not found in the toolkit's translation folder");
    QCOMPARE(QCoreApplication::translate(context.toLatin1().constData(),
                                         source.toLatin1().constData()),
             shown);
    // What a box really shows; its own text stays as given.
    QMessageBox box(QMessageBox::Critical, u"Error"_qs, u"Студента не обрано!"_qs,
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), u"Скасувати"_qs);
    QCOMPARE(box.text(), u"Студента не обрано!"_qs);
}

void TestUiSeams::keyRules_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("inOtherWindow");
    QTest::addColumn<int>("helps");
    QTest::addColumn<int>("closes");
    QTest::newRow("F1") << int(Qt::Key_F1) << false << 1 << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false << 0 << 1;
    QTest::newRow("F2") << int(Qt::Key_F2) << false << 0 << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return) << false << 0 << 0;
    QTest::newRow("F1 in another window") << int(Qt::Key_F1) << true << 0 << 0;
    QTest::newRow("Escape in another window") << int(Qt::Key_Escape) << true << 0 << 0;
}

void TestUiSeams::keyRules()
{
    QFETCH(int, key);
    QFETCH(bool, inOtherWindow);
    QFETCH(int, helps);
    QFETCH(int, closes);
    QWidget window, other;
    auto* layout = new QVBoxLayout(&window);
    auto* close = new QPushButton(QStringLiteral("Закрити"), &window);
    auto* field = new QPushButton(QStringLiteral("x"), &window);
    layout->addWidget(close);
    layout->addWidget(field);
    auto* otherButton = new QPushButton(&other);
    int helped = 0;
    KeyRule::install(&window, [&] { ++helped; });
    KeyRule::installCancel(&window, close);
    QSignalSpy clicked(close, &QPushButton::clicked);
    window.show();
    other.show();
    QTest::keyClick(inOtherWindow ? otherButton : field, Qt::Key(key));
    QCOMPARE(helped, helps);
    QCOMPARE(clicked.count(), closes);
}

void TestUiSeams::escapeNeedsAUsableButton_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<int>("clicks");
    QTest::newRow("usable") << true << false << 1;
    QTest::newRow("disabled") << false << false << 0;
    QTest::newRow("hidden") << true << true << 0;
}

void TestUiSeams::escapeNeedsAUsableButton()
{
    QFETCH(bool, enabled);
    QFETCH(bool, hidden);
    QFETCH(int, clicks);
    QWidget window;
    auto* close = new QPushButton(&window);
    auto* other = new QPushButton(&window);
    close->setEnabled(enabled);
    close->setHidden(hidden);
    KeyRule::installCancel(&window, close);
    QSignalSpy clicked(close, &QPushButton::clicked);
    QTest::keyClick(other, Qt::Key_Escape);
    QCOMPARE(clicked.count(), clicks);
}

QTEST_MAIN(TestUiSeams)
#include "tst_ui_seams.moc"
