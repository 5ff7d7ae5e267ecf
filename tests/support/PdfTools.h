#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// Pages read back with poppler's tools, as a user would check them.
namespace PdfTools {
// The text of one page (1-based), or of every page when page is 0.
QString text(const QString& pdf, int page = 0);
int pages(const QString& pdf);
// Page (1-based) drawn as PNG at dpi, as the preview's picture is drawn.
QByteArray png(const QString& pdf, int page, int dpi = 150);
// The width and height a PNG's header gives.
QSize pngSize(const QByteArray& png);
} // namespace PdfTools
