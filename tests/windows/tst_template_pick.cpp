// The template check right after a template is picked in the template
// window, on the real office: the message helps, the row is assigned anyway.
#include "resources/Pictures.h"
#include "tests/support/ExportFixture.h"
#include "windows/Utempl.h"

#include <QTableWidget>

class TestTemplatePick : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void pick_data();
    void pick();
    void findingsNameTheFault_data();
    void findingsNameTheFault();

private:
    QTemporaryDir m_cache;
};

void TestTemplatePick::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    QVERIFY(m_cache.isValid());
    qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
}

void TestTemplatePick::cleanup()
{
    QVERIFY(officesUnder(m_cache.path()).isEmpty());
}

void TestTemplatePick::pick_data()
{
    QTest::addColumn<QString>("text"); // the template's one paragraph; empty: no file yet
    QTest::addColumn<QStringList>("problems");
    QTest::newRow("clean") << u"#Прізвище# #ВНЗ#"_qs << QStringList();
    QTest::newRow("not there yet") << QString() << QStringList();
    QTest::newRow("surname in other case and an extra space")
        << u"#ПРІЗВИЩЕ# #ВНЗ #"_qs
        << QStringList{
               u"Тег #Прізвище# написано іншими літерами («#ПРІЗВИЩЕ#»): шаблон буде "
               "відхилено, потрібно точно #Прізвище#"_qs,
               u"«#ВНЗ #» не є тегом таблиці; мабуть, #ВНЗ# (зайві або пропущені пробіли)"_qs};
    // It looks exactly like the right one: the wrong letter is shown.
    QTest::newRow("Latin look-alike in the surname")
        << u"#Прізвищe# #ВНЗ#"_qs
        << QStringList{u"Немає тегу #Прізвище#: шаблон буде відхилено"_qs,
                       u"«#Прізвищe#» не є тегом таблиці; мабуть, #Прізвище# («#Прізвищ[e]#» — "
                       "латинська e)"_qs};
}

void TestTemplatePick::pick()
{
    QFETCH(QString, text);
    QFETCH(QStringList, problems);
    GuiFixture f;
    const QString path = f.path(u"шаблон.fodt"_qs);
    if (!text.isEmpty())
        TestFiles::write(path, flatTemplate({text}));
    auto window = CreateTemplateWindow(f.window.get(), f.window->workDir(), [] {});
    QVERIFY(window->FormShow());
    f.answer = path;
    window->BClick(4);
    QCOMPARE(window->Value(4), path);
    if (problems.isEmpty()) {
        QVERIFY(f.boxes.isEmpty());
    } else {
        QCOMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes.at(0).text,
                 u"Шаблон «шаблон.fodt» призначено, але в ньому є недоліки:\n\n"_qs +
                     problems.join(u'\n'));
    }
}

void TestTemplatePick::findingsNameTheFault_data()
{
    QTest::addColumn<QByteArray>("bytes"); // of the template file
    QTest::addColumn<QString>("finding");  // %1: the template's path
    QTest::newRow("Latin look-alike in the surname")
        << flatTemplate({u"#Прізвищe# #ВНЗ #"_qs})
        << u"Шаблон «%1» не відповідає вимогам: Немає тегу #Прізвище#: шаблон буде відхилено; "
           "«#Прізвищe#» не є тегом таблиці; мабуть, #Прізвище# («#Прізвищ[e]#» — латинська e)"_qs;
    QTest::newRow("surname in capitals")
        << flatTemplate({u"#ПРІЗВИЩЕ#"_qs})
        << u"Шаблон «%1» не відповідає вимогам: Тег #Прізвище# написано іншими літерами "
           "(«#ПРІЗВИЩЕ#»): шаблон буде відхилено, потрібно точно #Прізвище#"_qs;
    QTest::newRow("a picture, not a text document")
        << TestFiles::read(Pictures::IconPng(32))
        << u"Шаблон «%1» не відкривається як документ MS Word"_qs;
}

// The findings window on the real office: which template, and why the
// export refuses it.
void TestTemplatePick::findingsNameTheFault()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, finding);
    QVERIFY(!bytes.isEmpty());
    ExportFixture f;
    f.open(QStringLiteral("a.xml"), TestFiles::edeboFile(graduateOf(1, u"Бойко Іван"_qs)));
    const QString path = f.path(u"Templates/бакалавр.doc"_qs);
    TestFiles::write(path, bytes);
    f.assign({{3, path}});
    f.check({0});
    QStringList shown;
    whenModal(
        "TFCheck", [](QWidget*) { return true; },
        [&](QWidget* w) {
            shown = tableRows(w);
            w->findChild<QPushButton*>(QStringLiteral("Bc"))->click();
        },
        60000);
    f.window->findChild<QAction*>(QStringLiteral("N15"))->trigger();
    QCOMPARE(shown, QStringList{u"Бойко Іван|"_qs + finding.arg(QDir::toNativeSeparators(path))});
}

QTEST_MAIN(TestTemplatePick)
#include "tst_template_pick.moc"
