#include "tests/support/PdfTools.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

QByteArray run(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(120000) || tool.exitCode() != 0)
        qWarning("%s failed: %s", qPrintable(program), tool.readAllStandardError().constData());
    return tool.readAllStandardOutput();
}

} // namespace

namespace PdfTools {

QString text(const QString& pdf, int page)
{
    QStringList arguments;
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    arguments << pdf << QStringLiteral("-");
    return QString::fromUtf8(run(QStringLiteral("pdftotext"), arguments));
}

int pages(const QString& pdf)
{
    static const QRegularExpression line(QStringLiteral("^Pages:\\s+(\\d+)"),
                                         QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(run(QStringLiteral("pdfinfo"), {pdf}))).captured(1).toInt();
}

QByteArray png(const QString& pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), number,
         QStringLiteral("-l"), number, QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
         root});
    QFile file(root + QStringLiteral(".png"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QSize pngSize(const QByteArray& png)
{
    // Signature (8), chunk length and "IHDR" (8), then width and height.
    if (png.size() < 24 || !png.startsWith("\x89PNG\r\n\x1a\n"))
        return QSize();
    return QSize(qFromBigEndian<qint32>(png.constData() + 16),
                 qFromBigEndian<qint32>(png.constData() + 20));
}

} // namespace PdfTools
