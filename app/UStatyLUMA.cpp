#include "app/UStatyLUMA.h"

#include "mainwindow/Unit1.h"
#include "records/ProgramFacts.h"
#include "resources/Pictures.h"
#include "windows/ui/Commands.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/LinkButton.h"

#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

namespace {

QLabel* makeText(QWidget* parent, const QString& name, const QString& text, int pixels, bool bold,
                 const QColor& colour, int left, int top)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(Fonts::arial(pixels, bold));
    LinkLook::setTextColour(l, colour);
    l->move(left, top);
    l->adjustSize();
    return l;
}

} // namespace

TFStartLUMA::TFStartLUMA(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    FormCreate();
}

void TFStartLUMA::FormCreate()
{
    setObjectName(QStringLiteral("FStartLUMA"));
    setWindowTitle(ProgramFacts::ProgramName);
    setFixedSize(215, 157);
    setFont(Fonts::arial(11));
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);

    auto* shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape1->setLineWidth(1);
    LinkLook::setTextColour(shape1, LinkLook::DarkTeal);
    shape1->setGeometry(0, 0, 215, 157);

    m_im = new QLabel(this);
    m_im->setObjectName(QStringLiteral("Im"));
    m_im->setGeometry(2, 2, 211, 153);
    m_im->setPixmap(QIcon(Pictures::Splash).pixmap(QSize(211, 153)));

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(7, 5, 32, 32);
    m_image1->setPixmap(QIcon(Pictures::Icon).pixmap(QSize(32, 32)));

    makeText(this, QStringLiteral("L1"), QStringLiteral("ЛЮМАРЕЛЬ  ") + ProgramFacts::ShortVersion,
             11, true, Qt::black, 53, 4);
    makeText(this, QStringLiteral("Label4"), QStringLiteral("м. Київ - 2018"), 11, false, Qt::black,
             68, 19);
    QLabel* label1 = makeText(this, QStringLiteral("Label1"),
                              QStringLiteral("Запустіть Програму з правами Адміністратора"), 9,
                              false, QColor(183, 0, 0), 8, 36);
    label1->resize(200, 12);

    QPushButton* b3 = LinkLook::makeLinkButton(this, QStringLiteral("B3"), ProgramFacts::MakerName,
                                               MakerLinkHint);
    b3->setGeometry(7, 52, 200, 20);
    QPushButton* b2 = LinkLook::makeLinkButton(this, QStringLiteral("B2"),
                                               ProgramFacts::SiteAddress + u'/', SiteLinkHint);
    b2->setGeometry(8, 77, 200, 20);
    QPushButton* bb1 =
        LinkLook::makeLinkButton(this, QStringLiteral("BB1"), QStringLiteral("Переглянути довідку"),
                                 QStringLiteral("Переглянути довідку до програми..."));
    bb1->setGeometry(8, 102, 200, 20);

    m_bstart = new QPushButton(QStringLiteral("9"), this);
    m_bstart->setObjectName(QStringLiteral("Bstart"));
    m_bstart->setFlat(true);
    m_bstart->setEnabled(false);
    m_bstart->setCursor(Qt::PointingHandCursor);
    LinkLook::setTextColour(m_bstart, LinkLook::Teal);
    // The countdown digits are drawn on the disabled button: teal there too,
    // not the style's pale grey.
    QPalette bstartPalette = m_bstart->palette();
    bstartPalette.setColor(QPalette::Disabled, QPalette::ButtonText, LinkLook::Teal);
    m_bstart->setPalette(bstartPalette);
    m_bstart->setGeometry(8, 127, 200, 20);

    m_ts = new QTimer(this);
    m_ts->setObjectName(QStringLiteral("Ts"));
    m_ts->setInterval(1000);

    connect(m_ts, &QTimer::timeout, this, [this] { RunCommand(this, [this] { TsTimer(); }); });
    connect(b3, &QPushButton::clicked, this, [this] { RunCommand(this, [this] { B3Click(); }); });
    connect(b2, &QPushButton::clicked, this, [this] { RunCommand(this, [this] { B2Click(); }); });
    connect(bb1, &QPushButton::clicked, this, [this] { RunCommand(this, [this] { BB1Click(); }); });
    connect(m_bstart, &QPushButton::clicked, this,
            [this] { RunCommand(this, [this] { BstartClick(); }); });

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFStartLUMA::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFStartLUMA::FormShow()
{
    m_ts->start();
}

void TFStartLUMA::TsTimer()
{
    if (m_countdown > 0) {
        --m_countdown;
        m_bstart->setText(QString::number(m_countdown));
        repaint();
        return;
    }
    m_ts->stop();
    m_bstart->setEnabled(true);
    m_bstart->setText(QStringLiteral("Почати роботу"));
    m_bstart->setFlat(false);
}

void TFStartLUMA::BstartClick()
{
    hide();
    if (m_main)
        m_main->ShowModal();
    close();
}

// The links run the main window's commands as its own controls do.
void TFStartLUMA::B3Click()
{
    if (m_main)
        m_main->Run(&TFLUMA::B7Click, this);
}

void TFStartLUMA::B2Click()
{
    if (m_main)
        m_main->Run(&TFLUMA::L2Click, this);
}

void TFStartLUMA::BB1Click()
{
    if (m_main)
        m_main->RunHelp(this);
}
