#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace TestFiles {

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write test file %s", qPrintable(path));
    f.write(bytes);
}

QByteArray read(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

static QString escape(const QString& v)
{
    QString s = v;
    s.replace(u'&', QStringLiteral("&amp;"));
    s.replace(u'<', QStringLiteral("&lt;"));
    s.replace(u'"', QStringLiteral("&quot;"));
    return s;
}

static QList<QPair<QString, QString>> merge(QList<QPair<QString, QString>> base,
                                            const QList<QPair<QString, QString>>& overrides)
{
    for (const auto& [k, v] : overrides) {
        bool found = false;
        for (auto it = base.begin(); it != base.end(); ++it) {
            if (it->first == k) {
                found = true;
                if (v.isNull())
                    base.erase(it);
                else
                    it->second = v;
                break;
            }
        }
        if (!found && !v.isNull())
            base.append({k, v});
    }
    return base;
}

QByteArray attributeRecord(const QList<QPair<QString, QString>>& overrides)
{
    const QList<QPair<QString, QString>> defaults = {
        {QStringLiteral("iddocument"), QStringLiteral("1001")},
        {QStringLiteral("fio"), QStringLiteral("Шевченко Тарас Григорович")},
        {QStringLiteral("lastname"), QStringLiteral("Шевченко")},
        {QStringLiteral("firstname"), QStringLiteral("Тарас")},
        {QStringLiteral("middlename"), QStringLiteral("Григорович")},
        {QStringLiteral("lastnameen"), QStringLiteral("Shevchenko")},
        {QStringLiteral("firstnameen"), QStringLiteral("Taras")},
        {QStringLiteral("middlenameEn"), QStringLiteral("Hryhorovych")},
        {QStringLiteral("facultetfullname"), QStringLiteral("Факультет філології")},
        {QStringLiteral("universityname"), QStringLiteral("Київський університет")},
        {QStringLiteral("universitynameen"), QStringLiteral("Kyiv University")},
        {QStringLiteral("series"), QStringLiteral("КВ")},
        {QStringLiteral("number"), QStringLiteral("12345678")},
        {QStringLiteral("idtypesex"), QStringLiteral("1")},
        {QStringLiteral("specdirprofcode"), QStringLiteral("6.020303")},
        {QStringLiteral("specdirprofname"), QStringLiteral("Філологія")},
        {QStringLiteral("specdirprofnameen"), QStringLiteral("Philology")},
        {QStringLiteral("educationqualificationname"), QStringLiteral("бакалавр філології")},
        {QStringLiteral("educationqualificationnameen"), QStringLiteral("Bachelor of Philology")},
        {QStringLiteral("bossworkpost"), QStringLiteral("Ректор")},
        {QStringLiteral("bossworkposten"), QStringLiteral("Rector")},
        {QStringLiteral("boss"), QStringLiteral("Іваненко Петро Степанович")},
        {QStringLiteral("bossen"), QStringLiteral("Ivanenko Petro")},
        {QStringLiteral("dategive"), QStringLiteral("30.06.2015")},
        {QStringLiteral("award"), QStringLiteral("0")},
    };
    QByteArray out = "<document><documentdata";
    for (const auto& [k, v] : merge(defaults, overrides))
        out += ' ' + k.toUtf8() + "=\"" + escape(v).toUtf8() + '"';
    out += "/></document>\n";
    return out;
}

QByteArray elementRecord(const QList<QPair<QString, QString>>& overrides)
{
    const QList<QPair<QString, QString>> defaults = {
        {QStringLiteral("LastName"), QStringLiteral("Косач")},
        {QStringLiteral("FirstName"), QStringLiteral("Лариса")},
        {QStringLiteral("MiddleName"), QStringLiteral("Петрівна")},
        {QStringLiteral("LastNameEn"), QStringLiteral("Kosach")},
        {QStringLiteral("FirstNameEn"), QStringLiteral("Larysa")},
        {QStringLiteral("MiddleNameEn"), QStringLiteral("Petrivna")},
        {QStringLiteral("DocumentNumber"), QStringLiteral("40123456")},
        {QStringLiteral("FacultyName"), QStringLiteral("Факультет мистецтв")},
        {QStringLiteral("UniversityPrintName"), QStringLiteral("Львівський університет")},
        {QStringLiteral("UniversityPrintNameEn"), QStringLiteral("Lviv University")},
        {QStringLiteral("DocumentSeries"), QStringLiteral("ЛВ")},
        {QStringLiteral("SexId"), QStringLiteral("2")},
        {QStringLiteral("DocumentTypeId"), QStringLiteral("8")},
        {QStringLiteral("SpecialityName"), QStringLiteral("Музичне мистецтво")},
        {QStringLiteral("SpecialityNameEn"), QStringLiteral("Musical Art")},
        {QStringLiteral("QualificationName"), QStringLiteral("магістр")},
        {QStringLiteral("QualificationNameEn"), QStringLiteral("Master")},
        {QStringLiteral("BossPost"), QStringLiteral("Ректор")},
        {QStringLiteral("BossPostEn"), QStringLiteral("Rector")},
        {QStringLiteral("BossFIO"), QStringLiteral("О.М. Мельник")},
        {QStringLiteral("BossFIOEn"), QStringLiteral("O. Melnyk")},
        {QStringLiteral("IssueDate"), QStringLiteral("01.07.2016 0:00:00")},
        {QStringLiteral("GraduateDate"), QStringLiteral("25.06.2016")},
        {QStringLiteral("AwardTypeName"), QStringLiteral("1")},
    };
    QByteArray out = "<Document>";
    for (const auto& [k, v] : merge(defaults, overrides))
        out += '<' + k.toUtf8() + '>' + escape(v).toUtf8() + "</" + k.toUtf8() + '>';
    out += "</Document>\n";
    return out;
}

QByteArray edeboFile(const QByteArray& children)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<documents>\n" + children +
           "</documents>\n";
}

QByteArray numberedGraduates(int count)
{
    QByteArray all;
    for (int k = 0; k < count; ++k) {
        const QString surname = QStringLiteral("Прізвище%1").arg(k);
        all +=
            attributeRecord({{QStringLiteral("iddocument"), QString::number(100000 + k)},
                             {QStringLiteral("number"), QString::number(500000 + k)},
                             {QStringLiteral("fio"), surname + QStringLiteral(" Ім'я По-батькові")},
                             {QStringLiteral("lastname"), surname}});
    }
    return edeboFile(all);
}

QByteArray flatTemplate(const QByteArray& paragraph)
{
    return flatDocument(QString(), u"<text:p>"_qs + QString::fromUtf8(paragraph) + u"</text:p>"_qs);
}

QByteArray flatDocument(const QString& prelude, const QString& body)
{
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            u"<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            u"xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
            u"xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
            u"xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
            u"xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
            u"xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
            u"xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\" "
            u"xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
            u"xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            u"office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.text\">\n"_qs +
            prelude + u"<office:body><office:text>\n"_qs + body +
            u"</office:text></office:body></office:document>\n"_qs)
        .toUtf8();
}

const QStringList AllTags = {
    QStringLiteral("#Прізвище#"),       QStringLiteral("#Ім`я#"),
    QStringLiteral("#По батькові#"),    QStringLiteral("#Last name#"),
    QStringLiteral("#First name#"),     QStringLiteral("#Middle name#"),
    QStringLiteral("#З_Рід#"),          QStringLiteral("#Напрям/спеціальність#"),
    QStringLiteral("#field of study#"), QStringLiteral("#Кваліфікація#"),
    QStringLiteral("#qualification#"),  QStringLiteral("#Серія диплома#"),
    QStringLiteral("#Номер диплома#"),  QStringLiteral("#ВНЗ#"),
    QStringLiteral("#Universityname#"), QStringLiteral("#Посада керівника#"),
    QStringLiteral("#bossworkpost#"),   QStringLiteral("#Керівник#"),
    QStringLiteral("#boss#"),           QStringLiteral("#ДатаДп#"),
    QStringLiteral("#РікДп#"),          QStringLiteral("#МісДп#"),
    QStringLiteral("#MonthDp#"),        QStringLiteral("#МісДпЧисло#"),
    QStringLiteral("#AddDateEnDp#"),    QStringLiteral("#ДатаЗн#"),
    QStringLiteral("#РікЗн#"),          QStringLiteral("#МісЗн#"),
    QStringLiteral("#MonthZn#"),        QStringLiteral("#МісЗнЧисло#"),
    QStringLiteral("#AddDateEnZn#"),
};

} // namespace TestFiles
