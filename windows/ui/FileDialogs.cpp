#include "windows/ui/FileDialogs.h"

#include <QFileDialog>

namespace FileDialogs {

namespace {
std::function<QString(const QString&, const QString&)>& answerer()
{
    static std::function<QString(const QString&, const QString&)> a;
    return a;
}
} // namespace

QString openFile(QWidget* parent, const QString& initialFolder, const QString& filter)
{
    if (answerer())
        return answerer()(initialFolder, filter);
    QFileDialog dialog(parent, QString(), initialFolder, filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void setAnswerer(std::function<QString(const QString&, const QString&)> f)
{
    answerer() = std::move(f);
}
void clearAnswerer()
{
    answerer() = nullptr;
}

} // namespace FileDialogs
