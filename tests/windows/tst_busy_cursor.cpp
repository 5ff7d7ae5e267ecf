// The busy cursor: the guard itself, and the open command wearing it.
#include "windows/ui/BusyCursor.h"
#include "windows/ui/Commands.h"
#include "tests/support/GuiFixture.h"
#include "records/LumarelError.h"

#include <stdexcept>

namespace {

// Shapes of the override cursor stack, top first, popping it to look.
int overrideDepth()
{
    int depth = 0;
    QList<Qt::CursorShape> seen;
    while (const QCursor* c = QApplication::overrideCursor()) {
        seen.append(c->shape());
        QApplication::restoreOverrideCursor();
        ++depth;
    }
    for (qsizetype i = seen.size() - 1; i >= 0; --i)
        QApplication::setOverrideCursor(QCursor(seen.at(i)));
    return depth;
}

} // namespace

class TestBusyCursor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void guard_data();
    void guard();
    void failingCommandUnderAnotherCursor_data();
    void failingCommandUnderAnotherCursor();
    void openCommand_data();
    void openCommand();
};

void TestBusyCursor::guard_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("scope") << QStringLiteral("scope");
    QTest::newRow("nested") << QStringLiteral("nested");
    QTest::newRow("released early, then destroyed") << QStringLiteral("release");
    QTest::newRow("work throws") << QStringLiteral("throw");
    QTest::newRow("under a cursor of someone else") << QStringLiteral("outer");
}

void TestBusyCursor::guard()
{
    QFETCH(QString, how);
    QCOMPARE(overrideDepth(), 0);
    if (how == QLatin1String("outer"))
        QApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    const int base = overrideDepth();
    try {
        BusyCursor busy;
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QCOMPARE(overrideDepth(), base + 1);
        if (how == QLatin1String("nested")) {
            {
                BusyCursor inner;
                QCOMPARE(overrideDepth(), base + 2);
            }
            QCOMPARE(overrideDepth(), base + 1);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        } else if (how == QLatin1String("release")) {
            busy.release();
            QCOMPARE(overrideDepth(), base);
            busy.release();
            QCOMPARE(overrideDepth(), base);
        } else if (how == QLatin1String("throw")) {
            throw std::runtime_error("work failed");
        }
    } catch (const std::runtime_error&) {
    }
    QCOMPARE(overrideDepth(), base);
    if (how == QLatin1String("outer")) {
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QApplication::restoreOverrideCursor();
    }
    QCOMPARE(overrideDepth(), 0);
}

void TestBusyCursor::failingCommandUnderAnotherCursor_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("ok");
    QTest::newRow("succeeds") << QStringLiteral("none") << true;
    QTest::newRow("program error") << QStringLiteral("lumarel") << false;
    QTest::newRow("other error") << QStringLiteral("std") << false;
}

// A command run while someone else shows a cursor (a window busy with its
// own work) gives back exactly what it took.
void TestBusyCursor::failingCommandUnderAnotherCursor()
{
    QFETCH(QString, ending);
    QFETCH(bool, ok);
    QList<MessageBoxes::Shown> boxes;
    QList<int> depthAtBox;
    MessageBoxes::setRecorder([&](const MessageBoxes::Shown& s) {
        boxes.append(s);
        depthAtBox.append(overrideDepth());
    });
    QApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    const bool result = RunCommand(nullptr, [&] {
        BusyCursor busy;
        if (ending == QLatin1String("lumarel"))
            throw LumarelError(QStringLiteral("Не вдалося записати файл"));
        if (ending == QLatin1String("std"))
            throw std::runtime_error("write failed");
    });
    MessageBoxes::clearRecorder();
    QCOMPARE(result, ok);
    QCOMPARE(boxes.size(), ok ? 0 : 1);
    for (int depth : std::as_const(depthAtBox))
        QCOMPARE(depth, 1);
    QCOMPARE(overrideDepth(), 1);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
}

void TestBusyCursor::openCommand_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("boxes");
    QTest::newRow("accepted") << TestFiles::edeboFile(graduate(1, QStringLiteral("Бойко Олена"))) << 0;
    QTest::newRow("refused") << TestFiles::edeboFile("<item/><item/>") << 1;
    QTest::newRow("malformed") << QByteArray("<?xml version=\"1.0\"?><documents><document>") << 1;
}

// No message appears under the busy cursor, and none is left behind.
void TestBusyCursor::openCommand()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, boxes);
    GuiFixture f;
    QList<int> depthAtBox;
    MessageBoxes::setRecorder([&](const MessageBoxes::Shown& s) {
        f.boxes.append(s);
        depthAtBox.append(overrideDepth());
    });
    int depthAtDialog = -1;
    FileDialogs::setAnswerer([&](const QString&, const QString&) {
        depthAtDialog = overrideDepth();
        return f.path(QStringLiteral("a.xml"));
    });
    TestFiles::write(f.path(QStringLiteral("a.xml")), bytes);
    f.find<QToolButton>("B1")->click();
    QCOMPARE(depthAtDialog, 0);
    QCOMPARE(f.boxes.size(), boxes);
    for (int depth : std::as_const(depthAtBox))
        QCOMPARE(depth, 0);
    QCOMPARE(overrideDepth(), 0);
}

QTEST_MAIN(TestBusyCursor)
#include "tst_busy_cursor.moc"
