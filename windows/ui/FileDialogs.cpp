#include "windows/ui/FileDialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace FileDialogs {

namespace {
std::function<QString(const QString&, const QString&)>& answerer()
{
    static std::function<QString(const QString&, const QString&)> a;
    return a;
}

// Room for the names beside a size, a type such as «Документ Microsoft Word»
// and a date.
constexpr QSize DefaultSize(780, 460);
constexpr int LeastNameWidth = 160;

// The toolkit's columns are made for "128.88 GB" and a short type: a size
// with a decimal comma and a localised type read cut. Once a folder is read,
// size, type and date take what their texts need and the names the rest.
void fitColumns(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!view || !model)
        return;
    const auto fit = [view] {
        QHeaderView* header = view->header();
        int others = 0;
        for (int column = 1; column < header->count(); ++column) {
            view->resizeColumnToContents(column);
            others += header->sectionSize(column);
        }
        header->resizeSection(0, std::max(LeastNameWidth, view->viewport()->width() - others));
    };
    QObject::connect(model, &QFileSystemModel::directoryLoaded, view, fit);
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
    const QScreen* screen = dialog.screen();
    const QSize room = screen ? screen->availableSize() : DefaultSize;
    dialog.resize(dialog.size().expandedTo(DefaultSize).boundedTo(room));
    fitColumns(dialog);
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
