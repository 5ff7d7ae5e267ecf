#include "windows/About.h"

#include "resources/Pictures.h"
#include "windows/ui/Fonts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <memory>

namespace {

const QColor FrameColour{0, 100, 100};

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top,
              bool bold = false)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(p);
    l->move(left, top);
    l->adjustSize();
    return l;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(AboutTitleText);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(323, 133);
    setFont(Fonts::arial(11));
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(8, 7, 32, 32);
    image->setPixmap(QIcon(Pictures::IconPng(32)).pixmap(32, 32));

    label(this, "L1", QStringLiteral("ЛЮМАРЕЛЬ"), 112, 7, true);
    label(this, "Label1", QStringLiteral("м. Київ, ") + ProgramFacts::MakerName, 90, 23);
    label(this, "Label5", QStringLiteral("Версія 2.2"), 136, 39);
    label(this, "Label4", QStringLiteral("2017"), 149, 55);
    label(this, "Label2", Contact, 40, 71);
    label(this, "Label3", MakerName, 82, 87);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(8, 97, 32, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(FrameColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width() - 1, height() - 1);
    painter.drawRect(2, 2, 319 - 1, 129 - 1);
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    // No cancel button: Escape does not close the box.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowAboutBox(QWidget* mainWindow)
{
    const auto box = std::make_unique<TAboutBox>(mainWindow);
    if (mainWindow)
        box->move(mainWindow->pos() + QPoint(254, 20));
    box->exec();
}
