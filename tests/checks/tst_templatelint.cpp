#include "checks/TemplateLint.h"

#include <QTest>

// The template check on texts as an office reads them.
class TestTemplateLint : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void report_data();
    void report();
    void trackedChanges_data();
    void trackedChanges();
    void marks_data();
    void marks();
};

void TestTemplateLint::report_data()
{
    QTest::addColumn<QStringList>("texts"); // the body, then a header, a table
    QTest::addColumn<QStringList>("lines");
    const QString main = u"\tосновний текст"_qs;
    const QString noSurname = u"Немає тегу #Прізвище#: шаблон буде відхилено"_qs;

    QTest::newRow("clean, counted")
        << QStringList{u"#Прізвище# #ВНЗ#, #внз#\n#ВНЗ#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main, u"#ВНЗ#\t3"_qs + main};
    QTest::newRow("reference order, unlisted tag last")
        << QStringList{u"#Middle name# #boss# #Прізвище# #Серія диплома#"_qs}
        << QStringList{u"#Серія диплома#\t1"_qs + main, u"#Прізвище#\t1"_qs + main,
                       u"#boss#\t1"_qs + main, u"#Middle name#\t1"_qs + main};
    QTest::newRow("parts") << QStringList{u"#Прізвище#"_qs, u"#boss# #Прізвище#"_qs,
                                          u"#boss#\r#Прізвище#"_qs}
                           << QStringList{u"#Прізвище#\t3\tосновний текст, колонтитул, таблиця"_qs,
                                          u"#boss#\t2\tколонтитул, таблиця"_qs};
    QTest::newRow("no pair across parts")
        << QStringList{u"#Прізвище# #ВНЗ"_qs, u"текст#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«#ВНЗ» без закривального «#»; мабуть, #ВНЗ#"_qs};
    QTest::newRow("no surname") << QStringList{u"#ВНЗ#"_qs}
                                << QStringList{u"#ВНЗ#\t1"_qs + main, noSurname};
    QTest::newRow("empty") << QStringList{QString()} << QStringList{noSurname};
    QTest::newRow("surname in other letter case")
        << QStringList{u"#ПРІЗВИЩЕ#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"Тег #Прізвище# написано іншими літерами («#ПРІЗВИЩЕ#»): шаблон буде "
                       "відхилено, потрібно точно #Прізвище#"_qs};
    QTest::newRow("Latin look-alike letter")
        << QStringList{u"#Прізвищe# #ВНЗ#"_qs}
        << QStringList{u"#ВНЗ#\t1"_qs + main, noSurname,
                       u"«#Прізвищe#» не є тегом таблиці; мабуть, #Прізвище# («#Прізвищ[e]#» — "
                       "латинська e)"_qs};
    // Each wrong letter in brackets, each named once, a capital one too.
    QTest::newRow("several Latin letters, repeated")
        << QStringList{u"#Прізвище# #Kвaлiфiкaцiя#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«#Kвaлiфiкaцiя#» не є тегом таблиці; мабуть, #Кваліфікація# "
                       "(«#[K]в[a]л[i]ф[i]к[a]ц[i]я#» — латинські K, a, i)"_qs};
    QTest::newRow("Latin capital in a short tag")
        << QStringList{u"#Прізвище# #ВHЗ#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«#ВHЗ#» не є тегом таблиці; мабуть, #ВНЗ# («#В[H]З#» — латинська H)"_qs};
    QTest::newRow("Latin letter and an extra space")
        << QStringList{u"#Прізвище# #Прізвищe #"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«#Прізвищe #» не є тегом таблиці; мабуть, #Прізвище# («#Прізвищ[e] #» — "
                       "латинська e)"_qs};
    QTest::newRow("Cyrillic look-alike in a Latin tag")
        << QStringList{u"#Прізвище# #bоss#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«#bоss#» не є тегом таблиці; мабуть, #boss# («#b[о]ss#» — кирилична "
                       "о)"_qs};
    QTest::newRow("two Cyrillic letters in a Latin tag")
        << QStringList{u"#Прізвище# #Lаst nаmе#"_qs}
        << QStringList{
               u"#Прізвище#\t1"_qs + main,
               u"«#Lаst nаmе#» не є тегом таблиці; мабуть, #Last name# («#L[а]st n[а]m[е]#» — "
               "кириличні а, е)"_qs};
    QTest::newRow("extra space")
        << QStringList{u"#Прізвище# #ВНЗ #"_qs}
        << QStringList{
               u"#Прізвище#\t1"_qs + main,
               u"«#ВНЗ #» не є тегом таблиці; мабуть, #ВНЗ# (зайві або пропущені пробіли)"_qs};
    QTest::newRow("misspelt")
        << QStringList{u"#Прізвище# #Кваліфикація#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«#Кваліфикація#» не є тегом таблиці; мабуть, #Кваліфікація# (схоже "
                       "написання)"_qs};
    QTest::newRow("unknown, nothing near")
        << QStringList{u"#Прізвище# #Декан#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main, u"«#Декан#» не є тегом таблиці"_qs};
    QTest::newRow("closing # missing")
        << QStringList{u"#Прізвище# #ВНЗ та інше"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«#ВНЗ» без закривального «#»; мабуть, #ВНЗ#"_qs};
    QTest::newRow("opening # missing, the longest name")
        << QStringList{u"#Прізвище# Посада керівника# тут"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«Посада керівника#» без початкового «#»; мабуть, #Посада керівника#"_qs};
    QTest::newRow("doubled #") << QStringList{u"#Прізвище# ##ВНЗ# #boss##"_qs}
                               << QStringList{u"#Прізвище#\t1"_qs + main, u"#ВНЗ#\t1"_qs + main,
                                              u"#boss#\t1"_qs + main,
                                              u"Подвоєний «#» у «##ВНЗ#»; мабуть, #ВНЗ#"_qs,
                                              u"Подвоєний «#» у «#boss##»; мабуть, #boss#"_qs};
    QTest::newRow("tags side by side are fine")
        << QStringList{u"#Прізвище##Ім`я# #ДатаДп##AddDateEnDp#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main, u"#Ім`я#\t1"_qs + main, u"#ДатаДп#\t1"_qs + main,
                       u"#AddDateEnDp#\t1"_qs + main};
    QTest::newRow("a # of the text itself")
        << QStringList{u"#Прізвище# кімната # 5, тел. 12-34 # 2"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main};
    QTest::newRow("no pair across paragraphs")
        << QStringList{u"#Прізвище# #ВНЗ\nтекст#"_qs}
        << QStringList{u"#Прізвище#\t1"_qs + main,
                       u"«#ВНЗ» без закривального «#»; мабуть, #ВНЗ#"_qs};
}

void TestTemplateLint::report()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, lines);
    const DocumentPart kinds[] = {DocumentPart::Body, DocumentPart::HeaderFooter,
                                  DocumentPart::Table};
    TemplateTexts read;
    for (qsizetype k = 0; k < texts.size(); ++k)
        read.parts.append({TemplateLint::PartName(kinds[k]), texts.at(k)});
    QCOMPARE(TemplateLint::Lines(TemplateLint::Check(read)), lines);
}

void TestTemplateLint::trackedChanges_data()
{
    QTest::addColumn<bool>("recording");
    QTest::addColumn<QString>("rejected");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<QStringList>("problems");
    const QString fix = u"прийміть або відхиліть виправлення в MS Word, вимкніть запис "
                        "виправлень і збережіть шаблон"_qs;
    const QString recordingOn =
        u"У шаблоні ввімкнено запис виправлень: вимкніть його в MS Word і збережіть шаблон"_qs;
    QTest::newRow("none") << false << QString() << QString() << QStringList();
    QTest::newRow("recording on") << true << QString() << QString() << QStringList{recordingOn};
    QTest::newRow("changes away from the tags")
        << false << u"#Прізвище# старе\r"_qs << u"#Прізвище# нове\r"_qs << QStringList();
    QTest::newRow("tag whole only when accepted")
        << true << u"#Прі #ВНЗ#\r"_qs << u"#Прізвище# #ВНЗ#\r"_qs
        << QStringList{recordingOn,
                       u"Тег #Прізвище# цілий лише після прийняття виправлень: "_qs + fix};
    QTest::newRow("tag only in deleted text, other letter case")
        << false << u"#Прізвище# #внз#\r"_qs << u"#Прізвище# \r"_qs
        << QStringList{u"Тег #ВНЗ# стоїть у вилученому виправленнями тексті й не буде "
                       "заповнений: "_qs +
                       fix};
}

// What the office noted of the changes as saved, against the accepted texts.
void TestTemplateLint::trackedChanges()
{
    QFETCH(bool, recording);
    QFETCH(QString, rejected);
    QFETCH(QString, accepted);
    QFETCH(QStringList, problems);
    TemplateTexts read{{{TemplateLint::PartName(DocumentPart::Body), u"#Прізвище#"_qs}},
                       {recording, rejected, accepted},
                       {}};
    QCOMPARE(TemplateLint::Check(read).problems, problems);
}

void TestTemplateLint::marks_data()
{
    using Kind = DocumentMark::Kind;
    QTest::addColumn<QString>("body");
    QTest::addColumn<QList<DocumentMark>>("marks");
    QTest::addColumn<QStringList>("lines");
    const QString main = u"\tосновний текст"_qs;
    QTest::newRow("a bookmark around a tag, counted once")
        << u"#Прізвище# #ВНЗ#"_qs
        << QList<DocumentMark>{{Kind::Bookmark, u"Surname"_qs, u"#Прізвище#"_qs}}
        << QStringList{u"#Прізвище#\t1\tосновний текст, закладка «Surname»"_qs,
                       u"#ВНЗ#\t1"_qs + main};
    QTest::newRow("fields, named once")
        << u"#Прізвище# #Прізвище# #Ім`я#"_qs
        << QList<DocumentMark>{{Kind::Field, QString(), u"#Прізвище# #Ім`я#"_qs},
                               {Kind::Field, QString(), u"#прізвище#"_qs}}
        << QStringList{u"#Прізвище#\t2\tосновний текст, поле"_qs,
                       u"#Ім`я#\t1\tосновний текст, поле"_qs};
    QTest::newRow("marks without tags")
        << u"#Прізвище#"_qs
        << QList<DocumentMark>{{Kind::Bookmark, u"Дата"_qs, u"1 липня"_qs},
                               {Kind::Field, QString(), u"1"_qs}}
        << QStringList{u"#Прізвище#\t1"_qs + main};
    QTest::newRow("a tag in a bookmark alone")
        << u"#Прізвище#"_qs
        << QList<DocumentMark>{{Kind::Bookmark, u"B"_qs, u"#boss# і #boss#"_qs}}
        << QStringList{u"#Прізвище#\t1"_qs + main, u"#boss#\t2\tзакладка «B»"_qs};
}

// A bookmark or a field holds no tag of its own: it is named among the
// parts of the tags in it, which are counted where they stand.
void TestTemplateLint::marks()
{
    QFETCH(QString, body);
    QFETCH(QList<DocumentMark>, marks);
    QFETCH(QStringList, lines);
    TemplateTexts read;
    read.parts.append({TemplateLint::PartName(DocumentPart::Body), body});
    read.marks = marks;
    QCOMPARE(TemplateLint::Lines(TemplateLint::Check(read)), lines);
}

QTEST_GUILESS_MAIN(TestTemplateLint)
#include "tst_templatelint.moc"
