// The main window's widgets and menus, laid out as designed.
#include "mainwindow/Unit1.h"

#include "records/ProgramFacts.h"
#include "resources/Pictures.h"
#include "settings/SettingsFiles.h"
#include "windows/About.h"
#include "windows/UPreview.h"
#include "windows/Uset.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/KeyRule.h"
#include "windows/ui/LinkButton.h"
#include "windows/ui/SharedTexts.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString ExportFirstText =
    QStringLiteral("Експортувати першого обраного та відкрити файл у MS Word");
const QString ExportAllText = QStringLiteral("Експортувати всіх обраних у *.doc - файли ...");

QIcon picture(const QString& path)
{
    return QIcon(path);
}

// Every entry of M is 15 pixels high, whatever the font's line spacing.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(15);
        return s;
    }
};

QToolButton* makeToolButton(QWidget* parent, const QString& name, const QString& caption,
                            const QString& pictureName, const QString& hint, int left, int top)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setIcon(picture(pictureName));
    b->setIconSize(QSize(16, 16));
    if (!caption.isEmpty()) {
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    } else {
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    b->setToolTip(hint);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(left, top, 50, 22);
    return b;
}

} // namespace

TFLUMA::TFLUMA(QWidget* parent) : QMainWindow(parent), m_workDir(WorkDir::Capture())
{
    setObjectName(QStringLiteral("FLUMA"));
    setWindowTitle(QStringLiteral("ЛЮМАРЕЛЬ. Версія ") + ProgramFacts::ShortVersion +
                   QStringLiteral(" від 30.01.2018 р."));
    setWindowIcon(picture(Pictures::Icon));
    setFont(Fonts::arial(11));
    setCursor(Qt::PointingHandCursor);

    buildMenu();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Client"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildTopBand(central);
    column->addWidget(m_top);

    // M sits in a holder so the bands keep their places while M is hidden.
    auto* middle = new QWidget(central);
    middle->setObjectName(QStringLiteral("ListArea"));
    auto* middleLayout = new QVBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    m_m = new QListWidget(middle);
    m_m->setObjectName(QStringLiteral("M"));
    m_m->setFont(Fonts::fixedPitch(QStringLiteral("Courier New"), 12));
    m_m->setItemDelegate(new FixedHeightDelegate(m_m));
    m_m->setUniformItemSizes(true);
    m_m->setSelectionMode(QAbstractItemView::SingleSelection);
    m_m->setHidden(true);
    middleLayout->addWidget(m_m);
    column->addWidget(middle, 1);

    buildBottomBand(central);
    column->addWidget(m_bottom);
    setCentralWidget(central);

    setMinimumSize(560, 140);
    setMaximumSize(800, QWIDGETSIZE_MAX);
    resize(DesignWidth, DesignClientHeight + menuBar()->sizeHint().height());
    move(0, 0);

    connect(m_chAll, &QCheckBox::toggled, this, [this] { Run(&TFLUMA::ChAllClick); });
    connect(m_ef, &QLineEdit::textChanged, this, [this] { Run(&TFLUMA::EfChange); });

    KeyRule::install(this, [this] { RunHelp(); });
    KeyRule::installCancel(this, m_bc);
}

void TFLUMA::buildMenu()
{
    auto addAction = [this](QMenu* menu, const QString& name, const QString& caption,
                            const QString& pictureName, void (TFLUMA::*handler)()) {
        QAction* a = menu->addAction(picture(pictureName), caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, handler] { Run(handler); });
        return a;
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
    file->setObjectName(QStringLiteral("MenuFile"));
    m_xml1 = addAction(file, QStringLiteral("XML1"), QStringLiteral("Завантажити XML-файл з ЄДЕБО"),
                       Pictures::OpenXml, &TFLUMA::B1Click);
    file->addSeparator();
    m_n2 = addAction(file, QStringLiteral("N2"), QStringLiteral("Вихід"), Pictures::MenuExit,
                     &TFLUMA::BcClick);

    QMenu* settings = menuBar()->addMenu(QStringLiteral("Налаштування"));
    settings->setObjectName(QStringLiteral("MenuSettings"));
    m_n9 = addAction(settings, QStringLiteral("N9"), TemplatesItemText, Pictures::MenuTemplates,
                     &TFLUMA::N9Click);
    settings->addSeparator();
    m_n14 = addAction(settings, QStringLiteral("N14"), TagsItemText, Pictures::MenuTags,
                      &TFLUMA::N14Click);
    settings->addSeparator();
    const ExportOptions options = SettingsFiles::LoadExportOptions(m_workDir);
    auto addOption = [&](const QString& name, const QString& caption, bool on) {
        QAction* a = settings->addAction(caption);
        a->setObjectName(name);
        a->setCheckable(true);
        a->setChecked(on);
        connect(a, &QAction::triggered, this, [this] { Run(&TFLUMA::ExportOptionsClick); });
        return a;
    };
    m_alsoPdf = addOption(QStringLiteral("NAlsoPdf"), QStringLiteral("Також зберігати PDF"),
                          options.alsoPdf);
    m_printFile = addOption(QStringLiteral("NPrintFile"),
                            QStringLiteral("Один файл для друку (PDF)"), options.printFile);

    QMenu* exportMenu = menuBar()->addMenu(QStringLiteral("Експортувати"));
    exportMenu->setObjectName(QStringLiteral("MenuExport"));
    m_n10 = addAction(exportMenu, QStringLiteral("N10"), ExportFirstText, Pictures::ExportOne,
                      &TFLUMA::N10Click);
    exportMenu->addSeparator();
    m_n13 = addAction(exportMenu, QStringLiteral("N13"), ExportAllText, Pictures::ExportAll,
                      &TFLUMA::N13Click);
    exportMenu->addSeparator();
    m_n15 = addAction(exportMenu, QStringLiteral("N15"),
                      QStringLiteral("Перевірити обраних перед друком..."), Pictures::MenuTags,
                      &TFLUMA::N15Click);
    exportMenu->addSeparator();
    m_n16 = addAction(exportMenu, QStringLiteral("N16"), PreviewItemText, Pictures::MenuPreview,
                      &TFLUMA::N16Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("?"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    m_n11 = addAction(
        help, QStringLiteral("N11"),
        QStringLiteral("Продемонструвати експортування на основі демонстраційного шаблону"),
        Pictures::Demo, &TFLUMA::B5Click);
    help->addSeparator();
    m_n6 = help->addAction(picture(Pictures::Help), QStringLiteral("Довідка"));
    m_n6->setObjectName(QStringLiteral("N6"));
    connect(m_n6, &QAction::triggered, this, [this] { RunHelp(); });
    m_n8 = addAction(help, QStringLiteral("N8"), AboutTitleText, Pictures::MenuAbout,
                     &TFLUMA::N8Click);

    m_n10->setEnabled(false);
    m_n11->setEnabled(false);
    m_n13->setEnabled(false);
    m_n15->setEnabled(false);
    m_n16->setEnabled(false);
}

void TFLUMA::buildTopBand(QWidget* central)
{
    m_top = new QWidget(central);
    m_top->setObjectName(QStringLiteral("TopBand"));
    m_top->setFixedHeight(TopBandHeight);
    m_top->setCursor(Qt::ForbiddenCursor);
    m_top->installEventFilter(this);

    m_b1 = makeToolButton(m_top, QStringLiteral("B1"), QStringLiteral(".XML"), Pictures::OpenXml,
                          QStringLiteral("Відкрити ХМL- файл з даними щодо дипломів (з ЄДЕБО)..."),
                          4, 4);
    m_b2 = makeToolButton(m_top, QStringLiteral("B2"), QString(), Pictures::Settings,
                          QStringLiteral("Налаштування..."), 55, 4);
    m_b3 = makeToolButton(m_top, QStringLiteral("B3"), QString(), Pictures::ExportOne,
                          ExportFirstText, 106, 4);
    m_b4 = makeToolButton(m_top, QStringLiteral("B4"), QString(), Pictures::ExportAll,
                          ExportAllText, 157, 4);
    m_b9 = LinkLook::makeLinkButton(
        m_top, QStringLiteral("B9"), QStringLiteral("Оновити версію..."),
        QStringLiteral("Перевірити наявність нової версії Програми на веб-сайті  ") +
            ProgramFacts::MakerName);
    m_b9->setGeometry(376, 4, 127, 22);
    m_b5 = makeToolButton(m_top, QStringLiteral("B5"), QString(), Pictures::Demo, ExportFirstText,
                          505, 4);
    m_b6 = makeToolButton(m_top, QStringLiteral("B6"), QString(), Pictures::Help,
                          QStringLiteral("Переглянути довідку до Програми ..."), 557, 4);

    connect(m_b1, &QToolButton::clicked, this, [this] { Run(&TFLUMA::B1Click); });
    connect(m_b2, &QToolButton::clicked, this, [this] { Run(&TFLUMA::B2Click); });
    connect(m_b3, &QToolButton::clicked, this, [this] { Run(&TFLUMA::N10Click); });
    connect(m_b4, &QToolButton::clicked, this, [this] { Run(&TFLUMA::N13Click); });
    connect(m_b5, &QToolButton::clicked, this, [this] { Run(&TFLUMA::B5Click); });
    connect(m_b6, &QToolButton::clicked, this, [this] { RunHelp(); });
    connect(m_b9, &QPushButton::clicked, this, [this] { Run(&TFLUMA::B9Click); });
    m_b3->setEnabled(false);
    m_b4->setEnabled(false);
    m_b5->setEnabled(false);

    m_lst = new QLabel(
        QStringLiteral("Програма-конвертор для перетворення даних щодо студентів-дипломників з "
                       "XML-файлів з ЄДЕБО у *.doc-файли"),
        m_top);
    m_lst->setObjectName(QStringLiteral("Lst"));
    m_lst->setAlignment(Qt::AlignCenter);
    m_lst->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_lst->setLineWidth(1);
    LinkLook::setTextColour(m_lst, LinkLook::Teal);

    m_chAll = new QCheckBox(QStringLiteral("Відмітити всіх"), m_top);
    m_chAll->setObjectName(QStringLiteral("ChAll"));
    m_chAll->setCursor(Qt::PointingHandCursor);
    m_chAll->move(2, 48);
    m_chAll->adjustSize();
    m_chAll->setHidden(true);

    m_ln = new QLabel(QStringLiteral("Прізвище починається з"), m_top);
    m_ln->setObjectName(QStringLiteral("Ln"));
    LinkLook::setTextColour(m_ln, QColor(128, 128, 128));
    m_ln->move(105, 31);
    m_ln->adjustSize();
    m_ln->setHidden(true);

    m_ef = new QLineEdit(m_top);
    m_ef->setObjectName(QStringLiteral("Ef"));
    m_ef->setMaxLength(3);
    m_ef->setFrame(true);
    m_ef->setGeometry(105, 46, 124, 21);
    m_ef->setHidden(true);

    layoutBands();
}

void TFLUMA::buildBottomBand(QWidget* central)
{
    m_bottom = new QWidget(central);
    m_bottom->setObjectName(QStringLiteral("BottomBand"));
    m_bottom->setFixedHeight(BottomBandHeight);

    m_bc = new QPushButton(picture(Pictures::Close), SharedTexts::CloseButton, m_bottom);
    m_bc->setObjectName(QStringLiteral("Bc"));
    m_bc->setGeometry(2, 1, 103, 25);
    m_bc->setCursor(Qt::PointingHandCursor);
    connect(m_bc, &QPushButton::clicked, this, [this] { Run(&TFLUMA::BcClick); });

    m_l1 = new QLabel(ProgramFacts::MakerName, m_bottom);
    m_l1->setObjectName(QStringLiteral("L1"));
    m_l1->setCursor(Qt::ForbiddenCursor);
    LinkLook::setTextColour(m_l1, Qt::black);
    m_l1->move(112, 7);
    m_l1->adjustSize();

    m_b7 = LinkLook::makeLinkButton(m_bottom, QStringLiteral("B7"),
                                    QStringLiteral("Про розробки..."), MakerLinkHint);
    m_b7->setGeometry(232, 3, 127, 22);
    connect(m_b7, &QPushButton::clicked, this, [this] { Run(&TFLUMA::B7Click); });

    m_l2 = new QLabel(ProgramFacts::SiteAddress + u' ', m_bottom);
    m_l2->setObjectName(QStringLiteral("L2"));
    LinkLook::makeLinkLabel(m_l2, SiteLinkHint);
    m_l2->move(380, 7);
    m_l2->adjustSize();
    m_l2->installEventFilter(this);
}

void TFLUMA::layoutBands()
{
    // B9, B5 and B6 keep their distance from the right edge; Lst spans the band.
    const int w = m_top->width() > 0 ? m_top->width() : DesignWidth;
    const int shift = w - DesignWidth;
    m_b9->move(376 + shift, 4);
    m_b5->move(505 + shift, 4);
    m_b6->move(557 + shift, 4);
    m_lst->setGeometry(0, TopBandHeight - 18, w, 18);
}
