#include "windows/ui/MessageBoxes.h"

#include "records/ProgramFacts.h"
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QScreen>
#include <QSpacerItem>
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

// A short text makes a box narrower than the window manager needs for the
// caption beside its icon and buttons; a spacer across the box keeps it
// wide enough, and the box sizes itself around its layout.
void fitCaption(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(captionWidth(box.windowTitle()), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

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
        fitCaption(*this);
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
    fitCaption(box);
    if (kind == Kind::CentredError) {
        box.adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            box.move(screen->availableGeometry().center() - box.rect().center());
    }
    box.exec();
}
} // namespace

int captionWidth(const QString& title)
{
    // The frame's title is drawn in a bold face, often a little larger than
    // the window's text; the frame gives the icon and three buttons beside it.
    QFont font = QApplication::font();
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.25);
    else
        font.setPixelSize(font.pixelSize() * 5 / 4);
    constexpr int FrameButtons = 140;
    return QFontMetrics(font).horizontalAdvance(title) + FrameButtons;
}

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
