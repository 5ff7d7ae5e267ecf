#include "windows/Utempl.h"

#include "checks/TemplateReader.h"
#include "generate/DocumentGeneration.h"
#include "records/LumarelError.h"
#include "records/ProgramFacts.h"
#include "records/TemplateSlot.h"
#include "records/TextRules.h"
#include "resources/Pictures.h"
#include "settings/SettingsFiles.h"
#include "windows/ui/BusyCursor.h"
#include "windows/ui/Commands.h"
#include "windows/ui/FileDialogs.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/KeyRule.h"
#include "windows/ui/LinkButton.h"
#include "windows/ui/MessageBoxes.h"
#include "windows/ui/SharedTexts.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>

namespace {

constexpr int ClientWidth = 794;
constexpr int ClientHeight = 294;
constexpr int TopHeight = 83;
constexpr int BottomHeight = 36;
constexpr int SideWidth = 50;
constexpr int HeaderHeight = 19;
constexpr int RowHeight = 19;
// Tops of the button pairs below the top of Panel2, rows 1 to 8. The fifth
// gap is a pixel wider; the grid's fifth row follows it.
constexpr int ButtonTops[TemplateSlotCount] = {20, 39, 58, 77, 96, 116, 135, 154};

const QColor Grey{128, 128, 128};

const QString Hints[TemplateSlotCount] = {
    QStringLiteral("Запам`ятати шаблон для  диплома молодшого спеціаліста"),
    QStringLiteral("Запам`ятати шаблон для  диплома молодшого спеціаліста з відзнакою "),
    QStringLiteral("Запам`ятати шаблон для  диплома  бакалавра"),
    QStringLiteral("Запам`ятати шаблон для  диплома бакалавра з відзнакою "),
    QStringLiteral("Запам`ятати шаблон для диплома спеціаліста "),
    QStringLiteral("Запам`ятати шаблон для диплома спеціаліста з відзнакою "),
    QStringLiteral("Запам`ятати шаблон для  диплома магістра "),
    QStringLiteral("Запам`ятати шаблон для  диплома магістра з відзнакою "),
};

QLabel* textLine(QWidget* parent, const char* name, const QString& text, const QColor& colour,
                 int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(8, top, ClientWidth - 16, 18);
    LinkLook::setTextColour(label, colour);
    return label;
}

QIcon detachPicture(const QStyle* style)
{
    return QIcon(Pictures::Detach);
}

QIcon closePicture(const QStyle* style)
{
    return QIcon(Pictures::Close);
}

} // namespace

TFTempl::TFTempl(const WorkDir& workDir, std::function<void()> help, QWidget* parent)
    : QDialog(parent), m_workDir(workDir), m_help(std::move(help))
{
    setObjectName(QStringLiteral("FTempl"));
    setWindowTitle(ProgramFacts::ProgramName);
    // Dialog border: a title bar with a close box, no resizing.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(Fonts::arial(11));

    makeInstructions();
    const int middleHeight = ClientHeight - TopHeight - BottomHeight;
    makeTable(middleHeight);
    makeSlotButtons(middleHeight);

    auto* panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setGeometry(0, ClientHeight - BottomHeight, ClientWidth, BottomHeight);
    m_bc = new QPushButton(closePicture(style()), SharedTexts::CloseButton, panel1);
    m_bc->setObjectName(QStringLiteral("Bc"));
    m_bc->setAutoDefault(false); // the cancel button, not the default one
    m_bc->setGeometry(4, 5, 103, 25);
    connect(m_bc, &QPushButton::clicked, this, &QDialog::reject);

    KeyRule::install(this, m_help);
    KeyRule::installCancel(this, m_bc);
}

// The two numbered instructions above the table.
void TFTempl::makeInstructions()
{
    auto* p3 = new QWidget(this);
    p3->setObjectName(QStringLiteral("P3"));
    p3->setGeometry(0, 0, ClientWidth, TopHeight);
    textLine(p3, "L1",
             QStringLiteral("1. Підготуйте та збережіть на диску Вашого комп`ютера файли "
                            "шаблонів дипломів у форматі MS Word."),
             LinkLook::Teal, 5);
    textLine(p3, "L3", QStringLiteral("    Файли шаблонів доцільно зберігати у папку: "),
             LinkLook::Teal, 23);
    textLine(p3, "L2", QStringLiteral("   ") + m_workDir.templatesFolder(), Grey, 41);
    textLine(p3, "L4",
             QStringLiteral("2. Вкажіть повну назву файлу шаблона для кожного з варіантів "
                            "документів,  наведених нижче:"),
             LinkLook::Teal, 59);
}

// The table of the eight document kinds and their templates.
void TFTempl::makeTable(int middleHeight)
{
    m_vl = new QTableWidget(TemplateSlotCount, 2, this);
    m_vl->setObjectName(QStringLiteral("VL"));
    m_vl->setGeometry(0, TopHeight, ClientWidth - SideWidth, middleHeight);
    m_vl->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_vl->setLineWidth(1);
    m_vl->setHorizontalHeaderLabels(
        {QStringLiteral("ТИП ДОКУМЕНТА"), QStringLiteral("ФАЙЛ ШАБЛОНА")});
    m_vl->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vl->setSelectionMode(QAbstractItemView::SingleSelection);
    m_vl->setWordWrap(false);
    QHeaderView* columns = m_vl->horizontalHeader();
    columns->setFixedHeight(HeaderHeight);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(false);
    columns->setSectionsClickable(false);
    columns->setHighlightSections(false);
    columns->resizeSection(0, 180);
    columns->resizeSection(1, 558);
    QHeaderView* rows = m_vl->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(RowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    const QStringList names = TemplateSlotNames();
    for (int k = 0; k < TemplateSlotCount; ++k) {
        const int next = k + 1 < TemplateSlotCount ? ButtonTops[k + 1] : ButtonTops[k] + RowHeight;
        rows->resizeSection(k, next - ButtonTops[k]);
        // The key column is a heading column: drawn like the header, never selected.
        auto* key = new QTableWidgetItem(names.at(k));
        key->setFlags(Qt::ItemIsEnabled);
        key->setBackground(palette().button());
        key->setForeground(palette().buttonText());
        m_vl->setItem(k, 0, key);
        auto* value = new QTableWidgetItem();
        value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_vl->setItem(k, 1, value);
    }
}

// Beside each row: choose a template, detach it.
void TFTempl::makeSlotButtons(int middleHeight)
{
    auto* panel2 = new QWidget(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setGeometry(ClientWidth - SideWidth, TopHeight, SideWidth, middleHeight);
    QFont bold = font();
    bold.setBold(true);
    const QIcon detach = detachPicture(style());
    for (int k = 1; k <= TemplateSlotCount; ++k) {
        auto* choose = new QToolButton(panel2);
        choose->setObjectName(QStringLiteral("B%1").arg(k));
        choose->setText(QStringLiteral("..."));
        choose->setFont(bold);
        choose->setAutoRaise(true);
        choose->setToolTip(Hints[k - 1]);
        choose->setGeometry(2, ButtonTops[k - 1], 23, 19);
        connect(choose, &QToolButton::clicked, this,
                [this, k] { RunCommand(this, [this, k] { BClick(k); }); });

        auto* drop = new QToolButton(panel2);
        drop->setObjectName(QStringLiteral("B%1s").arg(k));
        drop->setIcon(detach);
        drop->setIconSize(QSize(16, 16));
        drop->setAutoRaise(true);
        drop->setToolTip(QStringLiteral("Відкріпити шаблон..."));
        drop->setGeometry(25, ButtonTops[k - 1], 23, 19);
        connect(drop, &QToolButton::clicked, this, [this, k] { BsClick(k); });
    }
}

void TFTempl::setValue(int slot, const QString& path)
{
    QTableWidgetItem* item = m_vl->item(slot - 1, 1);
    item->setText(path);
    item->setToolTip(path);
}

QString TFTempl::Value(int slot) const
{
    return m_vl->item(slot - 1, 1)->text();
}

QStringList TFTempl::Values() const
{
    QStringList values;
    for (int k = 1; k <= TemplateSlotCount; ++k)
        values.append(Value(k));
    return values;
}

bool TFTempl::FormShow()
{
    m_loaded = RunCommand(this, [this] {
        const std::optional<QStringList> table = SettingsFiles::LoadTemplateTable(m_workDir);
        for (int k = 1; k <= TemplateSlotCount; ++k)
            setValue(k, table && k <= table->size() ? table->at(k - 1) : QString());
    });
    return m_loaded;
}

void TFTempl::BClick(int slot)
{
    const QString folder =
        SettingsFiles::ReadRememberedFolder(m_workDir, SettingsFiles::CurDirTemplFile);
    const QString path = TextRules::TrimControls(FileDialogs::openFile(this, folder, Filter));
    if (path.isEmpty())
        return;
    // Templ.set holds Windows-1251 only: a path it cannot hold would come back
    // with "?" in it and name a file that is not there.
    if (!SettingsFiles::IsStorable(path)) {
        MessageBoxes::plain(this, UnstorableText);
        return;
    }
    // The folder first: when it cannot be remembered the row stays as it was.
    SettingsFiles::RememberFolder(m_workDir, SettingsFiles::CurDirTemplFile, path);
    setValue(slot, path);
    const QStringList problems = TemplateProblems(path);
    if (!problems.isEmpty())
        MessageBoxes::plain(this,
                            QStringLiteral("Шаблон «%1» призначено, але в ньому є недоліки:\n\n")
                                    .arg(QFileInfo(path).fileName()) +
                                problems.join(u'\n'));
}

QStringList TemplateProblems(const QString& path)
{
    // The check only helps: a file not there yet, no office, or an office
    // that fails under it leaves the assignment as the user made it.
    if (!QFileInfo(path).isFile() || !CheckWordInstalled())
        return {};
    BusyCursor busy;
    try {
        TemplateReader reader;
        const Refusable<TemplateTexts> parts = reader.partsOf(path);
        if (parts)
            return TemplateLint::Check(*parts).problems;
        qWarning("Template not checked: %s", qUtf8Printable(parts.why()));
    } catch (const LumarelError& e) {
        qWarning("Template not checked: %s", qUtf8Printable(e.text()));
    }
    return {};
}

void TFTempl::BsClick(int slot)
{
    setValue(slot, QString());
}

void TFTempl::FormClose()
{
    SettingsFiles::SaveTemplateTable(m_workDir, Values());
}

void TFTempl::done(int result)
{
    // Every closing saves. A window whose rows were never loaded must not
    // write them, or an unreadable file would be replaced by empty rows.
    if (m_loaded && !RunCommand(this, [this] { FormClose(); })) {
        // The first failed save keeps the window and its rows, so the user can
        // free the file and close again; a second one lets it go, so a
        // read-only work folder cannot hold the user in a modal window.
        if (!m_saveFailed) {
            m_saveFailed = true;
            return;
        }
    }
    QDialog::done(result);
}

std::unique_ptr<TFTempl> CreateTemplateWindow(QWidget* mainWindow, const WorkDir& workDir,
                                              std::function<void()> help)
{
    auto window = std::make_unique<TFTempl>(workDir, std::move(help), mainWindow);
    if (mainWindow)
        window->move(mainWindow->pos() + QPoint(10, 10));
    return window;
}

void ShowTemplateWindow(QWidget* mainWindow, const WorkDir& workDir, std::function<void()> help)
{
    const std::unique_ptr<TFTempl> window =
        CreateTemplateWindow(mainWindow, workDir, std::move(help));
    if (!window->FormShow())
        return;
    window->exec();
}
