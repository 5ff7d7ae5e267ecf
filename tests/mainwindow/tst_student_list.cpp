// The open command, the check list, "Відмітити всіх" and the surname filter.
#include "tests/support/GuiFixture.h"

#include "import/ImportXmlFile.h"
#include "records/StudentListLine.h"

#include <QFileInfo>

using Kind = MessageBoxes::Kind;
Q_DECLARE_METATYPE(MessageBoxes::Kind)

namespace {

QByteArray fiveGraduates()
{
    return TestFiles::edeboFile(
        graduate(11, QStringLiteral("Шевченко Тарас Григорович")) +
        graduate(12, QStringLiteral("Іваненко Шевченко Петро")) +
        graduate(13, QStringLiteral("шевчук Іван Петрович"), QString()) +
        graduate(14, QStringLiteral("Ґудзь Олена Іванівна")) +
        graduate(15, QStringLiteral("Шевель Ольга Тарасівна")));
}

QByteArray twoGraduates()
{
    return TestFiles::edeboFile(graduate(1, QStringLiteral("Бойко Ірина")) +
                                graduate(2, QStringLiteral("Мельник Остап")));
}

QByteArray manyGraduates(int n)
{
    QByteArray children;
    for (int i = 1; i <= n; ++i)
        children += graduate(i, QStringLiteral("Студент %1").arg(i));
    return TestFiles::edeboFile(children);
}

} // namespace

class TestStudentList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void acceptedFileFillsTheListInFileOrder();
    void openRemembersFolderAndStartsThere();
    void cancelChangesNothing();
    void secondOpen_data();
    void secondOpen();
    void raisedErrorOnFirstOpenKeepsTheStartState_data();
    void raisedErrorOnFirstOpenKeepsTheStartState();
    void refusedFileKeepsStoreForTheFilter();
    void openIgnoresFilterTextAndKeepsChAll();
    void filter_data();
    void filter();
    void filterLosesCheckMarksAndUnchecksChAll();
    void filterWithEmptyStoreKeepsChAll();
    void chAllChecksOnlyListedEntries();
    void chAllDoesNothingWhileListHidden();
    void filterIsAtMostThreeCharacters();
};

void TestStudentList::acceptedFileFillsTheListInFileOrder()
{
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), fiveGraduates());
    QVERIFY(f.boxes.isEmpty());
    // The number in 12 columns, the name up to column 51, then the faculty.
    const QStringList expected = {
        QStringLiteral("11          Шевченко Тарас Григорович              Факультет"),
        QStringLiteral("12          Іваненко Шевченко Петро                Факультет"),
        QStringLiteral("13          шевчук Іван Петрович"),
        QStringLiteral("14          Ґудзь Олена Іванівна                   Факультет"),
        QStringLiteral("15          Шевель Ольга Тарасівна                 Факультет"),
    };
    QCOMPARE(f.entries(), expected);
    QCOMPARE(f.checks(), QList<bool>(5, false));
    QCOMPARE(f.window->Store().RecordCount(), 5);
    QVERIFY(f.M()->item(0)->flags() & Qt::ItemIsUserCheckable);
    // The opened state.
    for (const char* name : {"M", "ChAll", "Ef", "Ln"})
        QVERIFY2(!f.find<QWidget>(name)->isHidden(), name);
    QVERIFY(f.find<QLabel>("Lst")->isHidden());
    for (const char* name : {"B3", "B4", "B5"})
        QVERIFY2(f.find<QToolButton>(name)->isEnabled(), name);
    for (const char* name : {"N10", "N11", "N13"})
        QVERIFY2(f.find<QAction>(name)->isEnabled(), name);
    QVERIFY(f.window->windowState() & Qt::WindowMaximized);
}

void TestStudentList::openRemembersFolderAndStartsThere()
{
    GuiFixture f;
    f.open(QStringLiteral("sub/a.xml"), twoGraduates());
    f.open(QStringLiteral("a.xml"), twoGraduates());
    QCOMPARE(f.dialogFilters.value(0), QStringLiteral("Файли з ЄДЕБО  (*.xml)"));
    QCOMPARE(f.dialogFolders.value(0), f.window->workDir().path());
    QCOMPARE(f.dialogFolders.value(1), f.path(QStringLiteral("sub/")));
    QCOMPARE(TestFiles::read(f.path(QStringLiteral("CurDirXML.set"))),
             (f.dir.path() + u'/').toUtf8());
}

void TestStudentList::cancelChangesNothing()
{
    GuiFixture f;
    f.openPath(QString());
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(f.dialogFolders.size(), 1);
    QVERIFY(!QFileInfo::exists(f.path(QStringLiteral("CurDirXML.set"))));
    QVERIFY(f.M()->isHidden());
    QVERIFY(!f.find<QLabel>("Lst")->isHidden());
    QVERIFY(!f.find<QToolButton>("B3")->isEnabled());

    // After a file: a cancelled dialog keeps the list and its check marks.
    f.open(QStringLiteral("a.xml"), twoGraduates());
    f.window->SetEntryChecked(1, true);
    const QByteArray remembered = TestFiles::read(f.path(QStringLiteral("CurDirXML.set")));
    TestFiles::write(f.path(QStringLiteral("CurDirXML.set")), "elsewhere/");
    f.openPath(QString());
    QCOMPARE(f.entries().size(), 2);
    QCOMPARE(f.checks(), (QList<bool>{false, true}));
    QCOMPARE(TestFiles::read(f.path(QStringLiteral("CurDirXML.set"))), QByteArray("elsewhere/"));
    QVERIFY(!remembered.isEmpty());
}

// A second open after a file of two graduates, the second one checked.
void TestStudentList::secondOpen_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: the file does not exist
    QTest::addColumn<int>("entries");      // -1: the previous two, check marks kept
    QTest::addColumn<int>("boxKind");      // -1: no box
    QTest::addColumn<QString>("boxText");  // empty: any text
    QTest::addColumn<int>("storeCount");

    QTest::newRow("accepted") << fiveGraduates() << 5 << -1 << QString() << 5;
    QTest::newRow("wrong structure")
        << TestFiles::edeboFile("<item/><item/>") << 0 << int(Kind::Plain) << WrongStructureText << 2;
    QTest::newRow("more than 1000")
        << manyGraduates(1001) << 0 << int(Kind::Plain) << TooManyRecordsText << 2;
    QTest::newRow("exactly 1000") << manyGraduates(1000) << 1000 << -1 << QString() << 1000;
    QTest::newRow("malformed")
        << QByteArray("<?xml version=\"1.0\"?><documents><document>") << -1 << int(Kind::AppError)
        << QString() << 2;
    QTest::newRow("bad number half-way")
        << TestFiles::edeboFile(graduate(7, QStringLiteral("Гнатюк Ніна")) +
                                TestFiles::attributeRecord({{QStringLiteral("iddocument"),
                                                             QStringLiteral("x7")}}))
        << -1 << int(Kind::AppError) << QString() << 2;
    QTest::newRow("missing file") << QByteArray() << -1 << int(Kind::AppError) << QString() << 2;
}

void TestStudentList::secondOpen()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, entries);
    QFETCH(int, boxKind);
    QFETCH(QString, boxText);
    QFETCH(int, storeCount);

    GuiFixture f;
    f.open(QStringLiteral("first.xml"), twoGraduates());
    f.window->SetEntryChecked(1, true);
    const QStringList before = f.entries();
    TestFiles::write(f.path(QStringLiteral("CurDirXML.set")), "x/");

    const QString second = f.path(QStringLiteral("other/second.xml"));
    if (bytes.isEmpty())
        QDir().mkpath(f.path(QStringLiteral("other")));
    else
        TestFiles::write(second, bytes);
    f.openPath(second);

    // The folder is remembered whatever the outcome.
    QCOMPARE(TestFiles::read(f.path(QStringLiteral("CurDirXML.set"))),
             f.path(QStringLiteral("other/")).toUtf8());
    if (boxKind < 0) {
        QVERIFY(f.boxes.isEmpty());
    } else {
        QCOMPARE(f.boxes.size(), 1);
        QCOMPARE(int(f.boxes.at(0).kind), boxKind);
        QVERIFY(!f.boxes.at(0).text.isEmpty());
        if (!boxText.isEmpty())
            QCOMPARE(f.boxes.at(0).text, boxText);
    }
    if (entries < 0) {
        QCOMPARE(f.entries(), before);
        QCOMPARE(f.checks(), (QList<bool>{false, true}));
    } else {
        QCOMPARE(f.window->EntryCount(), entries);
        QVERIFY(!f.checks().contains(true));
    }
    QCOMPARE(f.window->Store().RecordCount(), storeCount);
    QVERIFY(!f.M()->isHidden());
    QVERIFY(f.find<QLabel>("Lst")->isHidden());
}

void TestStudentList::raisedErrorOnFirstOpenKeepsTheStartState_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("malformed") << QByteArray("<documents><document>");
    QTest::newRow("empty file") << QByteArray(" ");
    QTest::newRow("not xml") << QByteArray("PK\x03\x04 binary");
}

void TestStudentList::raisedErrorOnFirstOpenKeepsTheStartState()
{
    QFETCH(QByteArray, bytes);
    GuiFixture f;
    f.open(QStringLiteral("dir/bad.xml"), bytes);
    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.boxes.at(0).kind, Kind::AppError);
    for (const char* name : {"M", "ChAll", "Ef", "Ln"})
        QVERIFY2(f.find<QWidget>(name)->isHidden(), name);
    QVERIFY(!f.find<QLabel>("Lst")->isHidden());
    for (const char* name : {"B3", "B4", "B5"})
        QVERIFY2(!f.find<QToolButton>(name)->isEnabled(), name);
    for (const char* name : {"N10", "N11", "N13"})
        QVERIFY2(!f.find<QAction>(name)->isEnabled(), name);
    QCOMPARE(f.window->EntryCount(), 0);
    QCOMPARE(TestFiles::read(f.path(QStringLiteral("CurDirXML.set"))),
             f.path(QStringLiteral("dir/")).toUtf8());
}

void TestStudentList::refusedFileKeepsStoreForTheFilter()
{
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), twoGraduates());
    f.open(QStringLiteral("b.xml"), TestFiles::edeboFile("<x/>"));
    QCOMPARE(f.window->EntryCount(), 0);
    // The filter lists what the store still holds: the previous file.
    f.Ef()->setText(QStringLiteral("м"));
    QCOMPARE(f.entries(), QStringList{QStringLiteral(
                              "2           Мельник Остап                          Факультет")});
}

void TestStudentList::openIgnoresFilterTextAndKeepsChAll()
{
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), twoGraduates());
    f.Ef()->setText(QStringLiteral("Бо"));
    f.ChAll()->setChecked(true);
    QCOMPARE(f.checks(), QList<bool>{true});
    f.open(QStringLiteral("b.xml"), fiveGraduates());
    QCOMPARE(f.window->EntryCount(), 5);
    QVERIFY(!f.checks().contains(true));
    QCOMPARE(f.Ef()->text(), QStringLiteral("Бо"));
    QVERIFY(f.ChAll()->isChecked());
}

void TestStudentList::filter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("ids");
    const QList<int> all = {11, 12, 13, 14, 15};
    QTest::newRow("empty") << QString() << all;
    QTest::newRow("spaces") << QStringLiteral("   ") << all;
    QTest::newRow("tab") << QStringLiteral("\t") << all;
    QTest::newRow("upper case") << QStringLiteral("ШЕВ") << QList<int>{11, 13, 15};
    QTest::newRow("lower-case Cyrillic") << QStringLiteral("шев") << QList<int>{11, 13, 15};
    QTest::newRow("mixed case") << QStringLiteral("шЕв") << QList<int>{11, 13, 15};
    QTest::newRow("Latin e is not Cyrillic е") << QStringLiteral("шe") << QList<int>{};
    QTest::newRow("leading space trimmed") << QStringLiteral(" ше") << QList<int>{11, 13, 15};
    QTest::newRow("Ukrainian letters") << QStringLiteral("ґу") << QList<int>{14};
    QTest::newRow("і and І") << QStringLiteral("іва") << QList<int>{12};
    QTest::newRow("second word does not match") << QStringLiteral("тар") << QList<int>{};
    QTest::newRow("one letter") << QStringLiteral("Ш") << QList<int>{11, 13, 15};
    QTest::newRow("no match") << QStringLiteral("Я") << QList<int>{};
}

void TestStudentList::filter()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, ids);
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), fiveGraduates());
    f.Ef()->setText(QStringLiteral("x")); // a change is what runs the filter
    f.Ef()->setText(text);
    QList<int> listed;
    for (const QString& entry : f.entries()) {
        qint32 number = 0;
        QVERIFY(ListLineNumber(entry, &number));
        listed.append(number);
    }
    QCOMPARE(listed, ids);
    QVERIFY(!f.checks().contains(true));
}

void TestStudentList::filterLosesCheckMarksAndUnchecksChAll()
{
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), fiveGraduates());
    f.ChAll()->click();
    QCOMPARE(f.checks(), QList<bool>(5, true));
    typeText(f.Ef(), QStringLiteral("ш"));
    QCOMPARE(f.window->EntryCount(), 3);
    QVERIFY(!f.checks().contains(true));
    QVERIFY(!f.ChAll()->isChecked());

    f.window->SetEntryChecked(0, true);
    QTest::keyClick(f.Ef(), Qt::Key_Backspace);
    QCOMPARE(f.checks(), QList<bool>(5, false));
}

void TestStudentList::filterWithEmptyStoreKeepsChAll()
{
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile("<x/>")); // refused: store empty
    f.ChAll()->setChecked(true);
    f.Ef()->setText(QStringLiteral("а"));
    QVERIFY(f.ChAll()->isChecked());
    QCOMPARE(f.window->EntryCount(), 0);
}

void TestStudentList::chAllChecksOnlyListedEntries()
{
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), fiveGraduates());
    f.Ef()->setText(QStringLiteral("шев"));
    f.ChAll()->click();
    QCOMPARE(f.checks(), QList<bool>(3, true));
    f.ChAll()->click();
    QCOMPARE(f.checks(), QList<bool>(3, false));
    f.window->SetEntryChecked(2, true);
    f.ChAll()->click();
    QCOMPARE(f.checks(), QList<bool>(3, true));
    // Clearing the filter rebuilds the whole list, unchecked.
    f.Ef()->clear();
    QCOMPARE(f.checks(), QList<bool>(5, false));
    QVERIFY(!f.ChAll()->isChecked());
}

void TestStudentList::chAllDoesNothingWhileListHidden()
{
    GuiFixture f;
    f.ChAll()->setChecked(true);
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(f.window->EntryCount(), 0);
}

void TestStudentList::filterIsAtMostThreeCharacters()
{
    GuiFixture f;
    f.open(QStringLiteral("a.xml"), fiveGraduates());
    QCOMPARE(f.Ef()->maxLength(), 3);
    typeText(f.Ef(), QStringLiteral("шевч"));
    QCOMPARE(f.Ef()->text(), QStringLiteral("шев"));
    QCOMPARE(f.window->EntryCount(), 3);
}

QTEST_MAIN(TestStudentList)
#include "tst_student_list.moc"
