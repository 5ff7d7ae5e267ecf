#include "windows/UPack.h"

#include "export/BatchPool.h"
#include "records/LumarelError.h"
#include "records/ProgramFacts.h"
#include "settings/SettingsFiles.h"
#include "windows/ui/BusyCursor.h"
#include "windows/ui/Commands.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/KeyRule.h"
#include "windows/ui/LinkButton.h"
#include "windows/ui/SharedTexts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

} // namespace

TFPack::TFPack(QList<int> recordIndexes, const RecordStore& store, WorkDir workDir,
               std::function<void()> help, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_recordIndexes(std::move(recordIndexes)), m_store(store), m_workDir(std::move(workDir))
{
    setObjectName(QStringLiteral("TFPack"));
    setWindowTitle(ProgramFacts::ProgramName);
    setMinimumWidth(FixedWidth);
    setMaximumWidth(FixedWidth);
    setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_vl = new QTableWidget(0, 2, this);
    m_vl->setObjectName(QStringLiteral("VL"));
    m_vl->setHorizontalHeaderLabels({SharedTexts::StudentColumn, QStringLiteral("Результат")});
    m_vl->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vl->verticalHeader()->setVisible(false);
    m_vl->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_vl->setColumnWidth(0, 306);
    m_vl->setColumnWidth(1, 482);
    layout->addWidget(m_vl, 1);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("BottomPanel"));
    bottom->setFixedHeight(BottomPanelHeight);
    auto* panel = new QVBoxLayout(bottom);
    panel->setContentsMargins(0, 2, 0, 0);
    panel->setSpacing(2);

    makeResultsPanel(bottom);
    panel->addWidget(m_pr);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    m_bc = new QPushButton(SharedTexts::CloseButton, bottom);
    m_bc->setObjectName(QStringLiteral("Bc"));
    m_bc->setFixedSize(103, 25);
    m_bc->setEnabled(false);
    m_bc->setAutoDefault(false);
    buttons->addWidget(m_bc);
    buttons->addStretch(1);
    panel->addLayout(buttons);
    panel->addStretch(1);

    m_pb = new QProgressBar(bottom);
    m_pb->setObjectName(QStringLiteral("PB"));
    m_pb->setFixedHeight(ProgressHeight);
    m_pb->setRange(0, 0);
    m_pb->setValue(0);
    m_pb->setRange(0, 1);
    m_pb->setTextVisible(false);
    panel->addWidget(m_pb);
    layout->addWidget(bottom);

    m_ts = new QTimer(this);
    m_ts->setObjectName(QStringLiteral("Ts"));
    m_ts->setSingleShot(true);
    m_ts->setInterval(100);
    connect(m_ts, &QTimer::timeout, this, [this] { RunCommand(this, [this] { TsTimer(); }); });
    connect(m_bc, &QPushButton::clicked, this, &QDialog::reject);

    KeyRule::install(this, std::move(help));
    KeyRule::installCancel(this, m_bc);
}

// Where the results are, shown once the batch has ended.
void TFPack::makeResultsPanel(QWidget* bottom)
{
    m_pr = new QWidget(bottom);
    m_pr->setObjectName(QStringLiteral("Pr"));
    m_pr->setFixedHeight(40);
    auto* prLayout = new QVBoxLayout(m_pr);
    prLayout->setContentsMargins(8, 0, 8, 0);
    prLayout->setSpacing(2);
    auto* caption = new QLabel(QStringLiteral("Файли з результатами знаходяться у папці:"), m_pr);
    caption->setObjectName(QStringLiteral("PrCaption"));
    caption->setFont(Fonts::arial(13));
    LinkLook::setTextColour(caption, LinkLook::DarkTeal);
    m_l = new QLabel(m_pr);
    m_l->setObjectName(QStringLiteral("L"));
    m_l->setFont(Fonts::arial(11));
    LinkLook::setTextColour(m_l, Qt::black);
    m_l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    prLayout->addWidget(caption);
    prLayout->addWidget(m_l);
    // Hidden, the panel keeps its room so that the button does not move.
    QSizePolicy keep = m_pr->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_pr->setSizePolicy(keep);
    m_pr->hide();
}

void TFPack::SetResultsFolder(const QString& folder)
{
    m_l->setText(folder);
}

void TFPack::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFPack::FormShow()
{
    if (!m_ran)
        m_ts->start();
}

// No way to stop the batch: the window stays until it has ended.
void TFPack::closeEvent(QCloseEvent* event)
{
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TFPack::done(int r)
{
    if (!m_running)
        QDialog::done(r);
}

void TFPack::appendRow(const QString& name, const QString& result)
{
    const int row = m_vl->rowCount();
    m_vl->insertRow(row);
    m_vl->setItem(row, 0, new QTableWidgetItem(name));
    m_vl->setItem(row, 1, new QTableWidgetItem(result));
    m_vl->scrollToItem(m_vl->item(row, 0));
}

void TFPack::TsTimer()
{
    m_ts->stop();
    if (m_ran)
        return;
    m_ran = true;

    m_pb->setRange(0, static_cast<int>(m_recordIndexes.size()));
    m_pb->setValue(0);

    m_running = true;
    BusyCursor busy;
    // The offices work on threads of their own; this one draws the rows as
    // they come, in list order, and keeps the window painted meanwhile.
    BatchPool pool(m_store, m_workDir, m_recordIndexes, 0, {},
                   SettingsFiles::LoadExportOptions(m_workDir));
    for (qsizetype k = 0; k < m_recordIndexes.size();) {
        std::optional<BatchRow> row;
        try {
            row = pool.nextRow(40);
        } catch (...) {
            // The error ends the batch; its row stays, and the window can
            // be closed the ordinary way.
            const QString text = CurrentErrorText();
            appendRow(m_store.Record(m_recordIndexes.at(k)).DisplayName, text);
            m_running = false;
            m_bc->setEnabled(true);
            throw;
        }
        if (row) {
            appendRow(row->name, row->result);
            ++k;
            m_pb->setValue(m_pb->value() + 1);
        }
        // Let the table and the bar be drawn; the user's input waits.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    pool.finish();
    try {
        if (const std::optional<QString> printFile = pool.writePrintFile())
            appendRow(PrintFileRowText, *printFile);
    } catch (...) {
        appendRow(PrintFileRowText, CurrentErrorText());
        m_running = false;
        m_bc->setEnabled(true);
        throw;
    }
    busy.release();
    m_running = false;
    m_bc->setEnabled(true);
    m_pr->show();
}
