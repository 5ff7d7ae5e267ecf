// The template check right after a template is picked in the template
// window, on the real office: the message helps, the row is assigned anyway.
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

QTEST_MAIN(TestTemplatePick)
#include "tst_template_pick.moc"
