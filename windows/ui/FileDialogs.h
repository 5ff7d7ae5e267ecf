#pragma once

#include <QString>
#include <functional>

class QWidget;

// The file-open dialogs, behind a seam so tests can answer with a path.
namespace FileDialogs {

// Shows an open dialog starting in initialFolder with the given filter
// ("Description (*.xml)"); the chosen path, or empty when cancelled.
// The file need not exist.
QString openFile(QWidget* parent, const QString& initialFolder, const QString& filter);

// Test seam: while set, openFile returns the answer without showing anything.
// The answerer gets the initial folder and the filter.
void setAnswerer(std::function<QString(const QString& initialFolder, const QString& filter)> f);
void clearAnswerer();

} // namespace FileDialogs
