#include "mainwindow/Unit1.h"

#include "checks/DataCheck.h"
#include "generate/DocumentGeneration.h"
#include "generate/ResultTexts.h"
#include "import/ImportXmlFile.h"
#include "records/StudentListLine.h"
#include "records/TextRules.h"
#include "resources/ExtractResourceFile.h"
#include "resources/LumarelResources.h"
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
#include "windows/ui/MessageBoxes.h"
#include "windows/ui/ShellOpen.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

namespace {

const QString XmlFilter = QStringLiteral("Файли з ЄДЕБО  (*.xml)");

} // namespace

TFLUMA::~TFLUMA() = default;

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
