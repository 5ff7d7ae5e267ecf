#include "cli/PreviewCommand.h"

#include "checks/DataCheck.h"
#include "cli/CheckCommand.h"
#include "cli/CliOutput.h"
#include "generate/DocumentPreview.h"
#include "records/LumarelError.h"
#include "records/Refusal.h"
#include "records/TextRules.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

const QString Usage =
    QStringLiteral("usage: lumarel-convert preview FILE.xml NUMBER --png OUT.png [--page K]");
const QString Prefix = QStringLiteral("lumarel-convert preview: ");
// The resolution of the picture, in dots per inch.
const QString Dpi = QStringLiteral("150");
constexpr int ToolTimeoutMs = 120000;

struct PreviewArgs {
    QString xml;
    qint32 number = 0;
    QString png;
    int page = 1;
};

// The arguments, or none after the usage or the reason was said.
std::optional<PreviewArgs> parse(const QStringList& args)
{
    PreviewArgs parsed;
    QStringList positional;
    for (qsizetype k = 0; k < args.size(); ++k) {
        const QString& arg = args.at(k);
        if (arg == u"--png" || arg == u"--page") {
            if (k + 1 >= args.size()) {
                CliOutput::err(Usage);
                return std::nullopt;
            }
            const QString value = args.at(++k);
            if (arg == u"--png") {
                parsed.png = value;
            } else {
                qint32 page = 0;
                if (!TextRules::ParseInt32(value, &page) || page < 1) {
                    CliOutput::err(Prefix +
                                   QStringLiteral("\"%1\" is not a page number").arg(value));
                    return std::nullopt;
                }
                parsed.page = page;
            }
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 2 || parsed.png.isEmpty()) {
        CliOutput::err(Usage);
        return std::nullopt;
    }
    parsed.xml = positional.at(0);
    if (!TextRules::ParseInt32(positional.at(1), &parsed.number)) {
        CliOutput::err(Prefix +
                       QStringLiteral("\"%1\" is not a record number").arg(positional.at(1)));
        return std::nullopt;
    }
    return parsed;
}

// Standard output of a poppler tool, or why it gave none.
Refusable<QByteArray> runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForStarted())
        return Refusal{program + QStringLiteral(" не запускається (потрібен пакет poppler-utils)")};
    if (!tool.waitForFinished(ToolTimeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return Refusal{program + QStringLiteral(" не завершився")};
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return Refusal{program + QStringLiteral(": ") +
                       QString::fromLocal8Bit(tool.readAllStandardError()).trimmed()};
    return tool.readAllStandardOutput();
}

// Page `page` of the PDF drawn at 150 dpi, as PNG bytes; the picture is made
// in the scratch folder beside the PDF.
Refusable<QByteArray> renderPage(const QString& pdf, int page)
{
    const Refusable<QByteArray> info = runTool(QStringLiteral("pdfinfo"), {pdf});
    if (!info)
        return Refusal{info.why()};
    static const QRegularExpression pagesLine(QStringLiteral("^Pages:\\s+(\\d+)"),
                                              QRegularExpression::MultilineOption);
    const int pages = pagesLine.match(QString::fromUtf8(*info)).captured(1).toInt();
    if (page > pages)
        return Refusal{
            QStringLiteral("у документі %1 стор., сторінки %2 немає").arg(pages).arg(page)};
    const QString root = QFileInfo(pdf).path() + QStringLiteral("/picture");
    const QString number = QString::number(page);
    const Refusable<QByteArray> drawn =
        runTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), Dpi, QStringLiteral("-f"), number, QStringLiteral("-l"),
                 number, QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, root});
    if (!drawn)
        return Refusal{drawn.why()};
    QFile picture(root + QStringLiteral(".png"));
    if (!picture.open(QIODevice::ReadOnly))
        return Refusal{QStringLiteral("pdftoppm не створив зображення")};
    const QByteArray bytes = picture.readAll();
    picture.close();
    picture.remove();
    return bytes;
}

// Writes the picture to a file that did not exist: a file there is never replaced.
std::optional<QString> writeNew(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return WriteFileFailedText.arg(path, out.errorString());
    if (out.write(bytes) != bytes.size() || !out.flush()) {
        const QString why = WriteFileFailedText.arg(path, out.errorString());
        out.close();
        out.remove();
        return why;
    }
    return std::nullopt;
}

} // namespace

int RunPreviewCommand(const QStringList& given)
{
    const std::optional<PreviewArgs> args = parse(given);
    if (!args)
        return ExitUsage;
    const WorkDir workDir = WorkDir::Capture();
    RecordStore store;
    if (const auto failed = ImportForCli(args->xml, store))
        return *failed;
    const std::optional<int> index = store.FindRecordByNumber(args->number);
    if (!index) {
        CliOutput::err(Prefix + QStringLiteral("no record numbered %1").arg(args->number));
        return ExitError;
    }
    if (QFileInfo(args->png).exists() || QFileInfo(args->png).isSymLink()) {
        CliOutput::err(Prefix +
                       QStringLiteral("файл %1 уже існує, його не буде замінено").arg(args->png));
        return ExitError;
    }
    if (!CheckWordInstalled()) {
        CliOutput::err(WordMissingText);
        return ExitError;
    }
    try {
        DocumentPreview preview(store, workDir);
        QString notShown;
        PreviewPage page;
        try {
            page = preview.make(*index);
            notShown = page.refusal;
        } catch (const LumarelError& e) {
            notShown = e.text();
        }
        // The check reads the templates in the same office.
        TemplateReader reader(preview.lentOffice());
        const QList<DataFinding> findings = DataCheck(store, workDir, reader).check({*index});
        PrintFindings(findings);
        if (!notShown.isEmpty()) {
            CliOutput::err(notShown);
            return ExitError;
        }
        const Refusable<QByteArray> png = renderPage(page.pdf, args->page);
        if (!png) {
            CliOutput::err(Prefix + png.why());
            return ExitError;
        }
        if (const std::optional<QString> failed = writeNew(args->png, *png)) {
            CliOutput::err(*failed);
            return ExitError;
        }
        return findings.isEmpty() ? ExitOk : ExitSomeRowsFailed;
    } catch (const LumarelError& e) {
        CliOutput::err(e.text());
        return ExitError;
    }
}
