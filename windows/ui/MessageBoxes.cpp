#include "windows/ui/MessageBoxes.h"

#include "records/ProgramFacts.h"
#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace MessageBoxes {

namespace {
std::function<void(const Shown&)>& recorder()
{
    static std::function<void(const Shown&)> r;
    return r;
}

const QString AppTitle = ProgramFacts::ProgramName;

// A box whose frame's top-left corner goes to a given point. The box takes
// its final size only as it is shown (a long text wraps then), and resizing a
// created window makes the toolkit place it by its client area from then on;
// so it is placed by its frame once it has its final size, before it is
// mapped.
class PlacedBox : public QMessageBox {
public:
    PlacedBox(QMessageBox::Icon icon, const QString& title, const QString& text, QWidget* parent,
              QPoint frameTopLeft)
        : QMessageBox(icon, title, text, QMessageBox::Ok, parent), m_frameTopLeft(frameTopLeft)
    {
        adjustSize();
        move(frameTopLeft);
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        if (QWindow* window = windowHandle())
            window->setFramePosition(m_frameTopLeft);
    }

private:
    QPoint m_frameTopLeft;
};

void show(QWidget* parent, Kind kind, const QString& title, QMessageBox::Icon icon,
          const QString& text, std::optional<QPoint> topLeft)
{
    if (recorder()) {
        recorder()(Shown{kind, text, topLeft});
        return;
    }
    if (topLeft) {
        PlacedBox box(icon, title, text, parent, *topLeft);
        box.exec();
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    if (kind == Kind::CentredError) {
        box.adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            box.move(screen->availableGeometry().center() - box.rect().center());
    }
    box.exec();
}
} // namespace

void plain(QWidget* parent, const QString& text)
{
    show(parent, Kind::Plain, AppTitle, QMessageBox::NoIcon, text, std::nullopt);
}

QString appErrorText(const QString& text)
{
    if (!text.isEmpty() && text.back() > u'.')
        return text + u'.';
    return text;
}

void appError(QWidget* parent, const QString& text)
{
    show(parent, Kind::AppError, AppTitle, QMessageBox::Critical, appErrorText(text), std::nullopt);
}

void exportError(QWidget* anchor, const QString& text, QPoint offset)
{
    const QPoint origin = anchor ? anchor->frameGeometry().topLeft() : QPoint();
    show(anchor, Kind::ExportError, QStringLiteral("Error"), QMessageBox::Critical, text,
         origin + offset);
}

void centredError(const QString& text)
{
    show(nullptr, Kind::CentredError, AppTitle, QMessageBox::Critical, text, std::nullopt);
}

void setRecorder(std::function<void(const Shown&)> r)
{
    recorder() = std::move(r);
}
void clearRecorder()
{
    recorder() = nullptr;
}

} // namespace MessageBoxes
