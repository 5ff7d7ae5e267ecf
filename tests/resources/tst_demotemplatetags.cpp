#include "resources/ExtractResourceFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// Reads the embedded sample template back through the office as plain text
// and checks that the export can fill it: every tag whole, every line there,
// in the order of the form.
class TestDemoTemplateTags : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_text;
    QStringList m_lines;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ExtractResourceFile(m_dir.path(), QStringLiteral("DemoTempl"), QStringLiteral("template-dip-bak-2015.doc"));

        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        QVERIFY2(!soffice.isEmpty(), "soffice is not installed (scripts/install-deps)");
        QProcess office;
        office.setProcessChannelMode(QProcess::MergedChannels);
        office.start(soffice,
                     {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                      QStringLiteral("-env:UserInstallation=")
                          + QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("profile"))).toString(),
                      QStringLiteral("--convert-to"), QStringLiteral("txt:Text (encoded):UTF8"),
                      QStringLiteral("--outdir"), m_dir.path(),
                      m_dir.filePath(QStringLiteral("template-dip-bak-2015.doc"))});
        QVERIFY(office.waitForFinished(180000));
        QFile txt(m_dir.filePath(QStringLiteral("template-dip-bak-2015.txt")));
        QVERIFY2(txt.open(QIODevice::ReadOnly), office.readAll().constData());
        m_text = QString::fromUtf8(txt.readAll());
        if (m_text.startsWith(QChar(0xFEFF)))
            m_text.remove(0, 1);
        m_text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_lines = m_text.split(QLatin1Char('\n'));
    }

    void containsTag_data()
    {
        QTest::addColumn<QString>("tag");
        const QStringList tags{
            QStringLiteral("#Серія диплома#"), QStringLiteral("#Номер диплома#"), QStringLiteral("#Прізвище#"),
            QStringLiteral("#Last name#"), QStringLiteral("#Ім`я#"), QStringLiteral("#По батькові#"),
            QStringLiteral("#First name#"), QStringLiteral("#З_Рід#"), QStringLiteral("#РікДп#"),
            QStringLiteral("#ВНЗ#"), QStringLiteral("#Universityname#"), QStringLiteral("#Напрям/спеціальність#"),
            QStringLiteral("#field of study#"), QStringLiteral("#Кваліфікація#"), QStringLiteral("#qualification#"),
            QStringLiteral("#Посада керівника#"), QStringLiteral("#Керівник#"), QStringLiteral("#ДатаДп#"),
            QStringLiteral("#МісДп#"), QStringLiteral("#bossworkpost#"), QStringLiteral("#boss#"),
            QStringLiteral("#AddDateEnDp#"), QStringLiteral("#MonthDp#")};
        for (const QString& tag : tags)
            QTest::newRow(tag.toUtf8().constData()) << tag;
    }
    void containsTag()
    {
        QFETCH(QString, tag);
        QVERIFY2(m_text.contains(tag), qPrintable(tag));
    }

    // The tags use the Ukrainian letters І/і, never the Latin ones.
    void noLatinIInsideCyrillicWords()
    {
        static const QRegularExpression mixed(QStringLiteral("[\\x{0400}-\\x{04FF}][Ii]|[Ii][\\x{0400}-\\x{04FF}]"));
        const QRegularExpressionMatch m = mixed.match(m_text);
        QVERIFY2(!m.hasMatch(), qPrintable(m.captured()));
    }

    void linesInOrder()
    {
        const QStringList expected{
            QStringLiteral("ДИПЛОМ БАКАЛАВРА"),
            QStringLiteral("BACHELOR'S DIPLOMA"),
            QStringLiteral("#Серія диплома# № #Номер диплома#"),
            QStringLiteral("(Series, registration number of the diploma)"),
            QStringLiteral("#Прізвище#"),
            QStringLiteral("#Last name#"),
            QStringLiteral("#Ім`я# #По батькові#"),
            QStringLiteral("#First name#"),
            QStringLiteral("закінчи#З_Рід# у 20#РікДп# році"),
            QStringLiteral("in 20#РікДп# completed the full course of"),
            QStringLiteral("#ВНЗ#"),
            QStringLiteral("#Universityname#"),
            QStringLiteral("здобу#З_Рід#  ступінь бакалавра"),
            QStringLiteral("and obtained the Bachelor's degree"),
            QStringLiteral("за спеціальністю #Напрям/спеціальність#"),
            QStringLiteral("field of study #field of study#"),
            QStringLiteral("здобу#З_Рід#  кваліфікацію #Кваліфікація#"),
            QStringLiteral("and obtained the qualification of #qualification#"),
            QStringLiteral("#Посада керівника#\t______\t#Керівник#"),
            QStringLiteral("\"#ДатаДп#\" #МісДп# 20#РікДп# р."),
            QStringLiteral("(дата видачі)"),
            QStringLiteral("#bossworkpost#\t______\t#boss#"),
            QStringLiteral("\"#ДатаДп##AddDateEnDp#\" #MonthDp# 20#РікДп#"),
        };
        qsizetype at = 0;
        for (const QString& line : expected) {
            const qsizetype found = m_lines.indexOf(line, at);
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("missing or out of order: ") + line));
            at = found + 1;
        }
    }
};

QTEST_GUILESS_MAIN(TestDemoTemplateTags)
#include "tst_demotemplatetags.moc"
