// The pieces every window shares: the general error box, the command runner
// and the key rules.
#include "windows/ui/Commands.h"
#include "windows/ui/FileDialogs.h"
#include "windows/ui/KeyRule.h"
#include "records/LumarelError.h"
#include "windows/ui/MessageBoxes.h"
#include "windows/ui/ToolkitTranslation.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QStyle>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>
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
    void ownCatalogueFillsTheGaps_data();
    void ownCatalogueFillsTheGaps();
    void boxWideEnoughForItsCaption_data();
    void boxWideEnoughForItsCaption();
    void openDialogColumnsReadWhole_data();
    void openDialogColumnsReadWhole();
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

void TestUiSeams::ownCatalogueFillsTheGaps_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("disambiguation");
    QTest::addColumn<QString>("shown");
    QTest::newRow("the boxes' button")
        << u"QPlatformTheme"_qs << u"OK"_qs << QString() << u"Гаразд"_qs;
    QTest::newRow("open dialog, type of a folder")
        << u"QAbstractFileIconProvider"_qs << u"Folder"_qs << u"All other platforms"_qs
        << u"Тека"_qs;
    QTest::newRow("open dialog, type of a drive")
        << u"QAbstractFileIconProvider"_qs << u"Drive"_qs << QString() << u"Диск"_qs;
    // The toolkit's own Ukrainian drops the space before the column's name.
    QTest::newRow("open dialog, column menu")
        << u"QFileDialog"_qs << u"Show "_qs << QString() << u"Показати: "_qs;
}

// Each text of the program's catalogue is one the toolkit's Ukrainian leaves
// in English (or spoils), and it wins where both have it.
void TestUiSeams::ownCatalogueFillsTheGaps()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, disambiguation);
    QFETCH(QString, shown);
    static const bool installed = ToolkitTranslation::install();
    QVERIFY(installed);
    const QByteArray c = context.toLatin1(), s = source.toLatin1(), d = disambiguation.toLatin1();
    const char* dis = disambiguation.isEmpty() ? nullptr : d.constData();
    QCOMPARE(QCoreApplication::translate(c.constData(), s.constData(), dis), shown);

    QTranslator toolkit;
    QVERIFY(toolkit.load(u"qtbase_uk"_qs, QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    const QString theirs = toolkit.translate(c.constData(), s.constData(), dis);
    const bool lacking =
        theirs.isEmpty() || theirs == source || (source.endsWith(u' ') && !theirs.endsWith(u' '));
    QVERIFY2(lacking, qPrintable(u"the toolkit has it: "_qs + theirs));
}

void TestUiSeams::boxWideEnoughForItsCaption_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("nothing found") << int(Kind::Plain) << u"Зауважень немає."_qs << u"Люмарель"_qs;
    QTest::newRow("one letter") << int(Kind::AppError) << u"x"_qs << u"Люмарель"_qs;
    QTest::newRow("centred") << int(Kind::CentredError) << u"MS Word не встановлено!"_qs
                             << u"Люмарель"_qs;
    QTest::newRow("placed at an offset")
        << int(Kind::ExportError) << u"Не обрано"_qs << u"Error"_qs;
}

// However short its text, a box leaves the frame room for the whole caption
// beside its icon and buttons; its button reads in Ukrainian.
void TestUiSeams::boxWideEnoughForItsCaption()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QString, title);
    static const bool installed = ToolkitTranslation::install();
    QVERIFY(installed);
    MessageBoxes::clearRecorder();
    QWidget anchor;
    anchor.show();
    int width = 0;
    QString shownTitle, button;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        width = box->width();
        shownTitle = box->windowTitle();
        button = box->button(QMessageBox::Ok)->text();
        box->accept();
    });
    switch (Kind(kind)) {
    case Kind::Plain:
        MessageBoxes::plain(&anchor, text);
        break;
    case Kind::AppError:
        MessageBoxes::appError(&anchor, text);
        break;
    case Kind::CentredError:
        MessageBoxes::centredError(text);
        break;
    case Kind::ExportError:
        MessageBoxes::exportError(&anchor, text, QPoint(20, 20));
        break;
    }
    QCOMPARE(shownTitle, title);
    QVERIFY2(width >= MessageBoxes::captionWidth(title),
             qPrintable(u"%1 < %2"_qs.arg(width).arg(MessageBoxes::captionWidth(title))));
    // Bold and a quarter larger than the text, with room for the frame's buttons.
    QVERIFY(MessageBoxes::captionWidth(title) >
            QFontMetrics(QApplication::font()).horizontalAdvance(title) + 100);
    QCOMPARE(button, u"Гаразд"_qs);
}

void TestUiSeams::openDialogColumnsReadWhole_data()
{
    QTest::addColumn<QStringList>("files"); // name, then its size in bytes
    QTest::newRow("templates and a folder")
        << QStringList{u"диплом бакалавра.doc"_qs, u"22800"_qs, u"Шаблони/"_qs, QString()};
    QTest::newRow("an export of megabytes")
        << QStringList{u"edebo.xml"_qs, u"1572864"_qs, u"старе.doc"_qs, u"1023"_qs};
    QTest::newRow("gigabytes") << QStringList{u"архів.xml"_qs, u"1234567890123"_qs};
}

// The real open dialog at its default size: size, type and date of every row
// read whole, and no column hides beyond the view's right edge.
void TestUiSeams::openDialogColumnsReadWhole()
{
    QFETCH(QStringList, files);
    QTemporaryDir dir;
    for (qsizetype k = 0; k + 1 < files.size(); k += 2) {
        const QString name = files.at(k);
        if (name.endsWith(u'/')) {
            QVERIFY(QDir(dir.path()).mkpath(name));
            continue;
        }
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(files.at(k + 1).toLongLong())); // sparse: no disk used
    }
    QStringList problems;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        auto* view = dialog->findChild<QTreeView*>(u"treeView"_qs);
        QAbstractItemModel* model = view->model();
        const int rows = int(files.size() / 2);
        const auto check = [&] {
            QStringList found;
            if (model->rowCount(view->rootIndex()) != rows)
                return QStringList{u"the folder was not read"_qs};
            QHeaderView* header = view->header();
            const QFontMetrics fm(view->font());
            // The room the style leaves on each side of a cell's text.
            const int margin =
                view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
            int total = 0;
            for (int c = 0; c < header->count(); ++c)
                total += header->sectionSize(c);
            if (total > view->viewport()->width())
                found.append(u"columns %1 wider than the view %2"_qs.arg(total).arg(
                    view->viewport()->width()));
            for (int r = 0; r < rows; ++r) {
                for (int c = 1; c < header->count(); ++c) {
                    const QString cell = model->index(r, c, view->rootIndex()).data().toString();
                    if (cell.isEmpty() && c == 2)
                        found.append(u"row %1 column %2 not read yet"_qs.arg(r).arg(c));
                    if (fm.horizontalAdvance(cell) + 2 * margin > header->sectionSize(c))
                        found.append(u"«%1» in %2 px"_qs.arg(cell).arg(header->sectionSize(c)));
                }
            }
            return found;
        };
        // The folder is read, and the columns fit, a moment after the dialog shows.
        QTest::qWaitFor([&] { return (problems = check()).isEmpty(); }, 10000);
        dialog->reject();
    });
    QCOMPARE(FileDialogs::openFile(nullptr, dir.path(), u"Усі файли (*)"_qs), QString());
    QVERIFY(seen);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"; "_qs)));
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
