#include "mainwindow/Unit1.h"

#include "checks/DataCheck.h"
#include "generate/DocumentGeneration.h"
#include "generate/ResultTexts.h"
#include "import/ImportXmlFile.h"
#include "records/ProgramFacts.h"
#include "records/StudentListLine.h"
#include "records/TextRules.h"
#include "resources/ExtractResourceFile.h"
#include "resources/LumarelResources.h"
#include "resources/Pictures.h"
#include "settings/SettingsFiles.h"
#include "update/UpdateCheck.h"
#include "windows/About.h"
#include "windows/UCheck.h"
#include "windows/UDemo.h"
#include "windows/UPack.h"
#include "windows/UPreview.h"
#include "windows/Uset.h"
#include "windows/Utags.h"
#include "windows/Utempl.h"
#include "windows/ui/BoxNotifier.h"
#include "windows/ui/BusyCursor.h"
#include "windows/ui/Commands.h"
#include "windows/ui/FileDialogs.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/KeyRule.h"
#include "windows/ui/LinkButton.h"
#include "windows/ui/MessageBoxes.h"
#include "windows/ui/SharedTexts.h"
#include "windows/ui/ShellOpen.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
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
const QString XmlFilter = QStringLiteral("Файли з ЄДЕБО  (*.xml)");

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

TFLUMA::~TFLUMA() = default;

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

bool TFLUMA::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_top && event->type() == QEvent::Resize) {
        layoutBands();
    } else if (watched == m_l2 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_l2->rect().contains(mouse->position().toPoint()))
            Run(&TFLUMA::L2Click);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFLUMA::Run(void (TFLUMA::*handler)(), QWidget* boxParent)
{
    RunCommand(boxParent ? boxParent : this, [this, handler] { (this->*handler)(); });
}

void TFLUMA::RunHelp(QWidget* boxParent)
{
    Q_EMIT helpCommandStarted();
    Run(&TFLUMA::N6Click, boxParent);
}

void TFLUMA::ShowModal()
{
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &TFLUMA::closed, &loop, &QEventLoop::quit);
    show();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
}

void TFLUMA::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        Run(&TFLUMA::FormShow);
}

void TFLUMA::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

void TFLUMA::FormShow()
{
    SettingsFiles::EnsureWorkFolders(m_workDir);
}

// ---- The check list, offered to the export commands ----

int TFLUMA::EntryCount() const
{
    return m_m->count();
}

QString TFLUMA::EntryText(int position) const
{
    const QListWidgetItem* item = m_m->item(position);
    return item ? item->text() : QString();
}

bool TFLUMA::EntryChecked(int position) const
{
    const QListWidgetItem* item = m_m->item(position);
    return item && item->checkState() == Qt::Checked;
}

std::optional<int> TFLUMA::FirstCheckedEntry() const
{
    for (int k = 0; k < EntryCount(); ++k) {
        if (EntryChecked(k))
            return k;
    }
    return std::nullopt;
}

void TFLUMA::SetEntryChecked(int position, bool checked)
{
    if (QListWidgetItem* item = m_m->item(position))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QString TFLUMA::L2Text() const
{
    return m_l2->text();
}

void TFLUMA::addEntry(const QString& line)
{
    auto* item = new QListWidgetItem(line, m_m);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
}

// ---- Open, select, filter ----

void TFLUMA::B1Click()
{
    const QString folder =
        SettingsFiles::ReadRememberedFolder(m_workDir, SettingsFiles::CurDirXmlFile);
    const QString path = FileDialogs::openFile(this, folder, XmlFilter);
    if (path.isEmpty())
        return;
    SettingsFiles::RememberFolder(m_workDir, SettingsFiles::CurDirXmlFile, path);

    // A raised error leaves the store and M exactly as they were.
    BusyCursor busy;
    QStringList lines;
    const std::optional<QString> refusal = ImportXmlFile(path, m_store, lines);
    m_m->clear();
    if (refusal) {
        busy.release();
        MessageBoxes::plain(this, *refusal);
    } else {
        for (const QString& line : std::as_const(lines))
            addEntry(line);
    }
    showOpenedState();
}

void TFLUMA::showOpenedState()
{
    m_m->setHidden(false);
    m_chAll->setHidden(false);
    m_ef->setHidden(false);
    m_ln->setHidden(false);
    m_lst->setHidden(true);
    for (QWidget* w :
         {static_cast<QWidget*>(m_b3), static_cast<QWidget*>(m_b4), static_cast<QWidget*>(m_b5)})
        w->setEnabled(true);
    for (QAction* a : {m_n10, m_n11, m_n13, m_n15, m_n16})
        a->setEnabled(true);
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TFLUMA::ChAllClick()
{
    if (m_m->isHidden() || m_m->count() == 0)
        return;
    const Qt::CheckState state = m_chAll->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < m_m->count(); ++i)
        m_m->item(i)->setCheckState(state);
}

void TFLUMA::EfChange()
{
    const QString filter = TextRules::TrimControls(m_ef->text().toUpper());
    m_m->clear();
    if (m_store.RecordCount() == 0)
        return;
    m_chAll->setChecked(false);
    for (int index = 1; index <= m_store.RecordCount(); ++index) {
        const StudentRecord& r = m_store.Record(index);
        if (filter.isEmpty() || r.DisplayName.toUpper().startsWith(filter))
            addEntry(FormatListLine(QString::number(r.RecordNumber), r.DisplayName, r.FacultyName));
    }
}

void TFLUMA::BcClick()
{
    close();
}

// ---- Commands whose work arrives with their own issues ----

// Export the first checked graduate and open it in Word (B3, N10).
void TFLUMA::N10Click()
{
    if (EntryCount() == 0)
        return;
    SettingsFiles::EnsureWorkFolders(m_workDir);
    const std::optional<int> first = FirstCheckedEntry();
    if (!first) {
        MessageBoxes::exportError(this, NobodyCheckedText, QPoint(300, 20));
        return;
    }
    if (!CheckWordInstalled()) {
        MessageBoxes::centredError(WordMissingText);
        return;
    }
    const std::optional<int> index = RecordOfListEntry(m_store, EntryText(*first));
    if (!index)
        return;
    const QString templatePath = FindTemplatePath(m_workDir, m_store, *index);
    if (templatePath.isEmpty()) {
        MessageBoxes::exportError(this, NoTemplateText, QPoint(20, 20));
        return;
    }
    GenerateAndOpen(*index, templatePath, OutputKind::Regular, BadTemplateSingleText);
}

// Export all checked graduates in the batch window (B4, N13).
void TFLUMA::N13Click()
{
    if (EntryCount() == 0)
        return;
    SettingsFiles::EnsureWorkFolders(m_workDir);
    // An entry of no record cannot come from the list; it gets no row.
    QList<int> indexes;
    bool anyChecked = false;
    for (int k = 0; k < EntryCount(); ++k) {
        if (!EntryChecked(k))
            continue;
        anyChecked = true;
        if (const std::optional<int> index = RecordOfListEntry(m_store, EntryText(k)))
            indexes.append(*index);
    }
    if (!anyChecked) {
        MessageBoxes::exportError(this, NoneCheckedText, QPoint(300, 20));
        return;
    }
    if (!CheckWordInstalled()) {
        MessageBoxes::centredError(WordMissingText);
        return;
    }
    TFPack pack(
        indexes, m_store, m_workDir, [this, &pack] { RunHelp(&pack); }, this);
    pack.move(x() + 10, y() + 10);
    pack.SetResultsFolder(m_workDir.resultsFolder());
    pack.setWindowState(Qt::WindowMaximized);
    pack.exec();
}

// Check the checked graduates' data against their templates before printing (N15).
void TFLUMA::N15Click()
{
    if (EntryCount() == 0)
        return;
    QList<int> indexes;
    bool anyChecked = false;
    for (int k = 0; k < EntryCount(); ++k) {
        if (!EntryChecked(k))
            continue;
        anyChecked = true;
        const std::optional<int> index = RecordOfListEntry(m_store, EntryText(k));
        if (index && !indexes.contains(*index))
            indexes.append(*index);
    }
    if (!anyChecked) {
        MessageBoxes::exportError(this, NoneCheckedText, QPoint(300, 20));
        return;
    }
    QList<DataFinding> findings;
    {
        BusyCursor busy;
        TemplateReader reader;
        findings = DataCheck(m_store, m_workDir, reader).check(indexes);
    }
    if (findings.isEmpty()) {
        MessageBoxes::plain(this, NothingFoundText);
        return;
    }
    QList<QPair<QString, QString>> rows;
    for (const DataFinding& finding : std::as_const(findings))
        rows.append({finding.name, finding.text});
    TFCheck window(
        rows, [this, &window] { RunHelp(&window); }, this);
    window.move(x() + 10, y() + 10);
    window.exec();
}

// The graduate of the current line as the export would fill the document,
// before anything is saved (N16); ticked or not.
void TFLUMA::N16Click()
{
    const int current = m_m->currentRow();
    if (current < 0 || current >= EntryCount()) {
        MessageBoxes::exportError(this, NoneCheckedText, QPoint(300, 20));
        return;
    }
    if (!CheckWordInstalled()) {
        MessageBoxes::centredError(WordMissingText);
        return;
    }
    // «Зберегти документ» saves into Results, as the single export does.
    SettingsFiles::EnsureWorkFolders(m_workDir);
    // Lines of no record cannot come from the list; they are not stepped to.
    QList<int> records;
    QList<int> lines;
    for (int k = 0; k < EntryCount(); ++k) {
        if (const std::optional<int> index = RecordOfListEntry(m_store, EntryText(k))) {
            records.append(*index);
            lines.append(k);
        }
    }
    const int position = int(lines.indexOf(current));
    if (position < 0)
        return;
    ShowPreviewWindow(
        this, records, position, m_store, m_workDir,
        [this] { RunHelp(QApplication::activeModalWidget()); },
        [this, lines](int at) { m_m->setCurrentRow(lines.at(at)); });
}

// Demonstration export (B5, N11).
void TFLUMA::B5Click()
{
    if (EntryCount() == 0)
        return;
    const QString demoTemplate = EnsureDemoTemplate(m_workDir);
    const QString folder = m_workDir.examplesFolder() + u'/';
    const std::optional<int> first = FirstCheckedEntry();
    if (!first) {
        MessageBoxes::exportError(this, NobodyCheckedText, QPoint(300, 20));
        return;
    }
    if (!CheckWordInstalled()) {
        MessageBoxes::centredError(WordMissingText);
        return;
    }
    {
        TFDemo notice([this, &notice] { RunHelp(&notice); }, this);
        notice.move(x() + 100, y() + 10);
        notice.SetTemplateFolder(folder);
        if (notice.exec() != QDialog::Accepted)
            return;
    }
    const std::optional<int> index = RecordOfListEntry(m_store, EntryText(*first));
    if (!index)
        return;
    GenerateAndOpen(*index, demoTemplate, OutputKind::Demonstration, BadTemplateDemoText);
}

// Generates one document with the office shown and opens it; says why not
// when nothing was produced.
void TFLUMA::GenerateAndOpen(int index, const QString& templatePath, OutputKind kind,
                             const QString& notProducedText)
{
    GenerationContext context{m_store, m_workDir, nullptr, {}};
    // The .doc is what opens; its PDF only lies beside it.
    context.pdf =
        kind == OutputKind::Regular && SettingsFiles::LoadExportOptions(m_workDir).alsoPdf;
    std::optional<QString> saved;
    QString refusal;
    {
        BusyCursor busy; // gone before the message, also when generation throws
        saved = GenerateDocument(context, index, templatePath, false, kind, &refusal);
    }
    if (saved)
        ShellOpen::openFile(this, *saved);
    else
        MessageBoxes::exportError(this, refusal.isEmpty() ? notProducedText : refusal,
                                  QPoint(20, 20));
}

// Template assignment window (N9).
void TFLUMA::N9Click()
{
    ShowTemplateWindow(this, m_workDir, [this] { RunHelp(QApplication::activeModalWidget()); });
}

// The two export options: remembered in Export.set at once. When it cannot
// be written the entries show what the file still holds.
void TFLUMA::ExportOptionsClick()
{
    try {
        SettingsFiles::SaveExportOptions(m_workDir,
                                         {m_alsoPdf->isChecked(), m_printFile->isChecked()});
    } catch (...) {
        const ExportOptions kept = SettingsFiles::LoadExportOptions(m_workDir);
        m_alsoPdf->setChecked(kept.alsoPdf);
        m_printFile->setChecked(kept.printFile);
        throw;
    }
}

// Tag table (N14).
void TFLUMA::N14Click()
{
    ShowTagTable(this, [this] { RunHelp(QApplication::activeModalWidget()); });
}

// Settings chooser (B2).
void TFLUMA::B2Click()
{
    RunSettingsChooser(this, m_workDir, [this] { RunHelp(QApplication::activeModalWidget()); });
}

// Help document (N6, B6, F1, start window BB1); run it through RunHelp.
void TFLUMA::N6Click()
{
    const QString file = m_workDir.filePath(QStringLiteral("Lumarel.pdf"));
    if (QFileInfo(file).isFile()) {
        ShellOpen::openFile(MessageParent(), file);
        return;
    }
    // Over the window the user pressed F1 in, not over a hidden main window.
    MessageBoxes::plain(MessageParent(), QStringLiteral("Файл довідки не знайдено! "));
}

QWidget* TFLUMA::MessageParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return isVisible() ? this : QApplication::activeWindow();
}

// Price list (B7, start window B3).
void TFLUMA::B7Click()
{
    const QString folder = m_workDir.addInfoFolder() + u'/';
    const QString name = QStringLiteral("Price34_2015.pdf");
    // Throws when the copy cannot be written; nothing is opened then.
    ExtractResourceFile(folder, QStringLiteral("Price"), name);
    ShellOpen::openFile(MessageParent(), folder + name);
}

// Web site (L2, start window B2): the address is the text of L2.
void TFLUMA::L2Click()
{
    ShellOpen::openAddress(MessageParent(), L2Text());
}

// About window (N8).
void TFLUMA::N8Click()
{
    ShowAboutBox(this);
}

// Update check (B9).
void TFLUMA::B9Click()
{
    UpdateCheck check(m_workDir,
                      m_updateBaseUrl.isEmpty() ? UpdateCheck::defaultBaseUrl() : m_updateBaseUrl);
    UpdateCheck::Outcome outcome;
    {
        // B9 and the windows show the busy cursor until the download ends,
        // also when it throws.
        struct HandBack {
            QPushButton* b;
            ~HandBack() { b->setCursor(Qt::PointingHandCursor); }
        } handBack{m_b9};
        BusyCursor busy;
        m_b9->setCursor(Qt::WaitCursor);
        // Once, so the cursor and pending painting show; clicks wait.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        outcome = check.run();
    }
    BoxNotifier notifier;
    if (ConcludeUpdate(outcome, m_workDir, notifier))
        close(); // as Bc: the start window closes after it and the program ends
}
