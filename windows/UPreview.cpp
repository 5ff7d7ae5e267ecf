#include "windows/UPreview.h"

#include "records/ProgramFacts.h"
#include "records/TemplateSlot.h"
#include "settings/SettingsFiles.h"
#include "windows/PreviewOffice.h"
#include "windows/UCheck.h"
#include "windows/ui/BusyCursor.h"
#include "windows/ui/Commands.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/KeyRule.h"
#include "windows/ui/LinkButton.h"
#include "windows/ui/MessageBoxes.h"
#include "windows/ui/SharedTexts.h"
#include "windows/ui/ShellOpen.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QString PageOfText = QStringLiteral("Сторінка %1 з %2");
constexpr int FindingsWidth = 300;
constexpr qreal ZoomStep = 1.25;

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

} // namespace

TFPreview::TFPreview(QList<int> records, int position, const RecordStore& store, WorkDir workDir,
                     std::function<void()> help, QWidget* parent, SessionFactory makeSession)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_records(std::move(records)), m_position(position), m_store(store),
      m_workDir(std::move(workDir))
{
    setObjectName(QStringLiteral("TFPreview"));
    setWindowTitle(ProgramFacts::ProgramName);
    setFont(Fonts::arial(11));
    resize(1000, 700);

    m_office = new PreviewOffice(m_store, m_workDir, std::move(makeSession), this);
    connect(m_office, &PreviewOffice::shown, this, &TFPreview::present);
    m_doc = new QPdfDocument(this);
    m_buffer = new QBuffer(this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeHead());
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(makePageArea(), 1);
    middle->addWidget(makeFindings());
    column->addLayout(middle, 1);
    column->addWidget(makeButtons());

    KeyRule::install(this, std::move(help));
    KeyRule::installCancel(this, m_bc);
    updateButtons();
}

TFPreview::~TFPreview()
{
    endOffice();
}

// The office ends and the scratch files go as the window closes.
void TFPreview::endOffice()
{
    delete m_office;
    m_office = nullptr;
}

void TFPreview::done(int r)
{
    endOffice();
    QDialog::done(r);
}

QWidget* TFPreview::makeHead()
{
    auto* head = new QWidget(this);
    head->setObjectName(QStringLiteral("Head"));
    auto* row = new QHBoxLayout(head);
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(24);
    m_name = new QLabel(head);
    m_name->setObjectName(QStringLiteral("LName"));
    m_name->setFont(Fonts::arial(13, true));
    m_template = new QLabel(head);
    m_template->setObjectName(QStringLiteral("LTemplate"));
    m_kind = new QLabel(head);
    m_kind->setObjectName(QStringLiteral("LKind"));
    LinkLook::setTextColour(m_kind, LinkLook::DarkTeal);
    for (QLabel* l : {m_name, m_template, m_kind}) {
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        row->addWidget(l);
    }
    row->addStretch(1);
    return head;
}

QWidget* TFPreview::makePageArea()
{
    m_page = new QStackedWidget(this);
    m_page->setObjectName(QStringLiteral("Page"));
    m_pv = new QPdfView(m_page);
    m_pv->setObjectName(QStringLiteral("PV"));
    m_pv->setDocument(m_doc);
    m_pv->setPageMode(QPdfView::PageMode::MultiPage);
    m_pv->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_pv->installEventFilter(this);
    connect(m_pv->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this,
            &TFPreview::updatePageLabel);
    m_says = new QLabel(m_page);
    m_says->setObjectName(QStringLiteral("LSays"));
    m_says->setAlignment(Qt::AlignCenter);
    m_says->setWordWrap(true);
    m_says->setMargin(24);
    m_says->setFont(Fonts::arial(13));
    LinkLook::setTextColour(m_says, LinkLook::DarkTeal);
    m_page->addWidget(m_pv);
    m_page->addWidget(m_says);
    return m_page;
}

QWidget* TFPreview::makeFindings()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Findings"));
    panel->setFixedWidth(FindingsWidth);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 0, 6, 0);
    auto* caption = new QLabel(FindingsTitleText, panel);
    caption->setObjectName(QStringLiteral("LFindings"));
    caption->setFont(Fonts::arial(11, true));
    m_vf = new QListWidget(panel);
    m_vf->setObjectName(QStringLiteral("VF"));
    m_vf->setWordWrap(true);
    m_vf->setSelectionMode(QAbstractItemView::NoSelection);
    m_vf->setFocusPolicy(Qt::NoFocus);
    column->addWidget(caption);
    column->addWidget(m_vf, 1);
    return panel;
}

QWidget* TFPreview::makeButtons()
{
    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("Panel1"));
    bottom->setFixedHeight(40);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(8, 0, 8, 0);
    m_bc = makeButton(bottom, QStringLiteral("Bc"), SharedTexts::CloseButton);
    m_prev = makeButton(bottom, QStringLiteral("BPrev"), QStringLiteral("Попередній"));
    m_next = makeButton(bottom, QStringLiteral("BNext"), QStringLiteral("Наступний"));
    m_save = makeButton(bottom, QStringLiteral("BSave"), QStringLiteral("Зберегти документ"));
    auto* zoomOut = makeButton(bottom, QStringLiteral("BZoomOut"), QStringLiteral("−"));
    auto* zoomIn = makeButton(bottom, QStringLiteral("BZoomIn"), QStringLiteral("+"));
    auto* fit = makeButton(bottom, QStringLiteral("BFit"), QStringLiteral("За шириною"));
    m_pageLabel = new QLabel(bottom);
    m_pageLabel->setObjectName(QStringLiteral("LPage"));
    m_bc->setFixedWidth(103);
    for (QPushButton* b : {zoomOut, zoomIn})
        b->setFixedWidth(32);
    for (QWidget* w : {static_cast<QWidget*>(m_bc), static_cast<QWidget*>(m_prev),
                       static_cast<QWidget*>(m_next), static_cast<QWidget*>(m_save)})
        row->addWidget(w);
    row->addStretch(1);
    for (QWidget* w : {static_cast<QWidget*>(m_pageLabel), static_cast<QWidget*>(zoomOut),
                       static_cast<QWidget*>(zoomIn), static_cast<QWidget*>(fit)})
        row->addWidget(w);

    connect(m_bc, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_prev, &QPushButton::clicked, this, &TFPreview::BPrevClick);
    connect(m_next, &QPushButton::clicked, this, &TFPreview::BNextClick);
    connect(m_save, &QPushButton::clicked, this,
            [this] { RunCommand(this, [this] { BSaveClick(); }); });
    connect(zoomOut, &QPushButton::clicked, this, [this] { zoomBy(1 / ZoomStep); });
    connect(zoomIn, &QPushButton::clicked, this, [this] { zoomBy(ZoomStep); });
    connect(fit, &QPushButton::clicked, this,
            [this] { m_pv->setZoomMode(QPdfView::ZoomMode::FitToWidth); });
    return bottom;
}

void TFPreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && !m_asked)
        request();
}

void TFPreview::request()
{
    m_asked = true;
    if (!m_office || m_position < 0 || m_position >= m_records.size())
        return;
    m_pending = true;
    m_page->setCursor(Qt::BusyCursor);
    updateButtons();
    m_office->show(m_records.at(m_position));
}

void TFPreview::BPrevClick()
{
    if (m_position <= 0)
        return;
    --m_position;
    Q_EMIT positionChanged(m_position);
    request();
}

void TFPreview::BNextClick()
{
    if (m_position + 1 >= m_records.size())
        return;
    ++m_position;
    Q_EMIT positionChanged(m_position);
    request();
}

void TFPreview::present(const PreviewShown& shown)
{
    // A page asked for earlier: the one asked for now follows.
    if (m_position < 0 || m_position >= m_records.size() ||
        shown.recordIndex != m_records.at(m_position))
        return;
    m_pending = false;
    m_page->unsetCursor();
    showHead(shown.recordIndex, shown.page.templatePath);
    const QString says =
        !shown.error.isEmpty() ? MessageBoxes::appErrorText(shown.error) : shown.page.refusal;
    if (says.isEmpty() && !shown.pdf.isEmpty()) {
        showPages(shown.pdf);
        m_shownRecord = shown.recordIndex;
    } else {
        m_doc->close();
        m_says->setText(says);
        m_page->setCurrentWidget(m_says);
        m_shownRecord = 0;
    }
    m_vf->clear();
    m_vf->addItems(shown.findings.isEmpty() ? QStringList{NothingFoundText} : shown.findings);
    updateButtons();
    updatePageLabel();
    Q_EMIT pageShown();
}

void TFPreview::showHead(int recordIndex, const QString& templatePath)
{
    m_name->setText(m_store.Record(recordIndex).DisplayName);
    m_template->setText(templatePath.isEmpty() ? QStringLiteral("—")
                                               : QFileInfo(templatePath).fileName());
    m_template->setToolTip(templatePath);
    const std::optional<int> slot = m_store.TemplateSlotOf(recordIndex);
    m_kind->setText(slot ? TemplateSlotName(*slot) : QStringLiteral("—"));
}

void TFPreview::showPages(const QByteArray& pdf)
{
    m_doc->close();
    m_buffer->close();
    m_buffer->setData(pdf);
    m_buffer->open(QIODevice::ReadOnly);
    m_doc->load(m_buffer);
    m_page->setCurrentWidget(m_pv);
    m_pv->verticalScrollBar()->setValue(0); // each graduate from the first page
}

void TFPreview::BSaveClick()
{
    if (!m_office || m_shownRecord == 0 || m_pending)
        return;
    SavedDocument saved;
    {
        BusyCursor busy; // gone before the message, also when the export throws
        saved = m_office->save(m_shownRecord, SettingsFiles::LoadExportOptions(m_workDir).alsoPdf);
    }
    if (!saved.path.isEmpty())
        ShellOpen::openFile(this, saved.path);
    else
        MessageBoxes::exportError(this, saved.refusal, QPoint(20, 20));
}

bool TFPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pv && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            stepPage(key == Qt::Key_PageUp ? -1 : 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFPreview::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        stepPage(event->key() == Qt::Key_PageUp ? -1 : 1);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFPreview::stepPage(int by)
{
    const int pages = m_doc->pageCount();
    if (pages <= 0 || m_page->currentWidget() != m_pv)
        return;
    const int page = std::clamp(m_pv->pageNavigator()->currentPage() + by, 0, pages - 1);
    m_pv->pageNavigator()->jump(page, QPointF(), m_pv->zoomFactor());
    updatePageLabel();
}

// From fit-to-width the step starts at the scale the page is drawn at.
void TFPreview::zoomBy(qreal factor)
{
    qreal zoom = m_pv->zoomFactor();
    if (m_pv->zoomMode() != QPdfView::ZoomMode::Custom && m_doc->pageCount() > 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const qreal perPoint = (screen ? screen->logicalDotsPerInch() : 96.0) / 72.0;
        const QMargins margins = m_pv->documentMargins();
        const qreal width = m_pv->viewport()->width() - margins.left() - margins.right();
        zoom = width / (m_doc->pagePointSize(0).width() * perPoint);
    }
    m_pv->setZoomMode(QPdfView::ZoomMode::Custom);
    m_pv->setZoomFactor(std::clamp(zoom * factor, 0.1, 8.0));
}

void TFPreview::updateButtons()
{
    m_prev->setEnabled(m_position > 0);
    m_next->setEnabled(m_position + 1 < m_records.size());
    m_save->setEnabled(!m_pending && m_shownRecord != 0);
}

void TFPreview::updatePageLabel()
{
    const int pages = m_page->currentWidget() == m_pv ? m_doc->pageCount() : 0;
    m_pageLabel->setText(pages > 0
                             ? PageOfText.arg(m_pv->pageNavigator()->currentPage() + 1).arg(pages)
                             : QString());
}

void ShowPreviewWindow(QWidget* mainWindow, QList<int> records, int position,
                       const RecordStore& store, const WorkDir& workDir, std::function<void()> help,
                       std::function<void(int)> moved)
{
    TFPreview window(std::move(records), position, store, workDir, std::move(help), mainWindow);
    QObject::connect(&window, &TFPreview::positionChanged, &window, std::move(moved));
    window.move(mainWindow->x() + 10, mainWindow->y() + 10);
    window.setWindowState(Qt::WindowMaximized);
    window.exec();
}
