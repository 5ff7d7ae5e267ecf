#include "windows/Utags.h"

#include "generate/tags/TagTable.h"
#include "records/ProgramFacts.h"
#include "resources/Pictures.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/KeyRule.h"
#include "windows/ui/LinkButton.h"
#include "windows/ui/SharedTexts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int WindowWidth = 814;
constexpr int RestoredHeight = 500;

// Cell text 2 px from the left edge, as in a plain grid: with the style's wider
// margins the longest tag would not fit in its 128-pixel column.
class NarrowMarginDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        const QRect r = opt.rect.adjusted(2, 0, 0, 0);
        const QPalette::ColorGroup group =
            opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, opt.state & QStyle::State_Selected
                                                     ? QPalette::HighlightedText
                                                     : QPalette::Text));
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          opt.fontMetrics.elidedText(text, Qt::ElideRight, r.width()));
        painter->restore();
    }
};

} // namespace

TFtags::TFtags(std::function<void()> help, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Ftags"));
    setWindowTitle(ProgramFacts::ProgramName);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(Fonts::arial(11));
    setMinimumWidth(WindowWidth);
    setMaximumWidth(WindowWidth);
    resize(WindowWidth, RestoredHeight);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* p3 = new QWidget(this);
    p3->setObjectName(QStringLiteral("P3"));
    p3->setFixedHeight(29);
    auto* l1 = new QLabel(
        QStringLiteral("1. У шаблони документів про освіту (у форматі MS Word)  у відповідні "
                       "місця документа слід вставити  потрібні теги.  Генерація файлів "
                       "відбувається шляхом копіювання шаблону у новий файл з наступною "
                       "автоматичною заміненою тегів  на відповідні дані з XML-файлу."),
        p3);
    l1->setObjectName(QStringLiteral("L1"));
    l1->setTextFormat(Qt::PlainText);
    l1->setWordWrap(true);
    l1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l1->setGeometry(4, 1, WindowWidth - 8, 27);
    LinkLook::setTextColour(l1, LinkLook::Teal);
    column->addWidget(p3);

    makeTable();
    column->addWidget(m_vl, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu"));
    QAction* n1 = m_menu->addAction(QStringLiteral("Копіювати тег в буфер"));
    n1->setObjectName(QStringLiteral("N1"));
    connect(n1, &QAction::triggered, this, &TFtags::N1Click);
    m_vl->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_vl, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menu->popup(m_vl->viewport()->mapToGlobal(pos)); });
    // The right button only opens the menu: it must not move the current row.
    m_vl->viewport()->installEventFilter(this);

    auto* panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFixedHeight(30);
    const QIcon closeIcon(Pictures::Close);
    auto* bc = new QPushButton(closeIcon, SharedTexts::CloseButton, panel1);
    bc->setObjectName(QStringLiteral("Bc"));
    bc->setAutoDefault(false);
    bc->setGeometry(4, 3, 103, 25);
    connect(bc, &QPushButton::clicked, this, &QDialog::reject);
    column->addWidget(panel1);

    KeyRule::install(this, std::move(help));
    KeyRule::installCancel(this, bc);
}

// The listed tags of the tag table and their explanations, one row each.
void TFtags::makeTable()
{
    QList<const TagRow*> rows;
    for (const TagRow& row : TagTable::Rows()) {
        if (row.Listed)
            rows.append(&row);
    }
    m_vl = new QTableWidget(static_cast<int>(rows.size()), 2, this);
    m_vl->setObjectName(QStringLiteral("VL"));
    m_vl->setHorizontalHeaderLabels({QStringLiteral("ТЕГ"), QStringLiteral("ПОЯСНЕННЯ")});
    m_vl->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vl->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_vl->setSelectionMode(QAbstractItemView::SingleSelection);
    m_vl->setWordWrap(false);
    m_vl->setToolTip(Hint);
    m_vl->viewport()->setCursor(Qt::PointingHandCursor);
    m_vl->setItemDelegate(new NarrowMarginDelegate(m_vl));
    QHeaderView* columns = m_vl->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(false);
    columns->setSectionsClickable(false);
    columns->setHighlightSections(false);
    columns->resizeSection(0, 128);
    columns->resizeSection(1, 658);
    m_vl->verticalHeader()->hide();
    m_vl->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_vl->verticalHeader()->setDefaultSectionSize(19);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem(c == 0 ? rows.at(r)->Tag : rows.at(r)->Description);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setToolTip(Hint);
            m_vl->setItem(r, c, item);
        }
    }
    m_vl->setCurrentCell(0, 0);
}

bool TFtags::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_vl->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                return true;
            break;
        case QEvent::MouseMove:
            if (static_cast<QMouseEvent*>(event)->buttons() & Qt::RightButton)
                return true;
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFtags::N1Click()
{
    const int row = m_vl->currentRow();
    if (row < 0)
        return;
    QGuiApplication::clipboard()->setText(m_vl->item(row, 0)->text());
}

std::unique_ptr<TFtags> CreateTagTable(QWidget* mainWindow, std::function<void()> help)
{
    auto window = std::make_unique<TFtags>(std::move(help), mainWindow);
    if (mainWindow)
        window->move(mainWindow->pos() + QPoint(10, 10));
    window->setWindowState(Qt::WindowMaximized);
    return window;
}

void ShowTagTable(QWidget* mainWindow, std::function<void()> help)
{
    const std::unique_ptr<TFtags> window = CreateTagTable(mainWindow, std::move(help));
    window->exec();
}
