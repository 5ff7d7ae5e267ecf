#include "windows/UCheck.h"

#include "records/ProgramFacts.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/KeyRule.h"
#include "windows/ui/SharedTexts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TFCheck::TFCheck(const QList<QPair<QString, QString>>& rows, std::function<void()> help,
                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TFCheck"));
    setWindowTitle(ProgramFacts::ProgramName);
    setFont(Fonts::arial(11));
    resize(DesignWidth, DesignHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_vl = new QTableWidget(int(rows.size()), 2, this);
    m_vl->setObjectName(QStringLiteral("VL"));
    m_vl->setHorizontalHeaderLabels({SharedTexts::StudentColumn, FindingsTitleText});
    m_vl->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vl->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_vl->verticalHeader()->setVisible(false);
    m_vl->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_vl->horizontalHeader()->setStretchLastSection(true);
    m_vl->setColumnWidth(0, 250);
    for (int row = 0; row < rows.size(); ++row) {
        m_vl->setItem(row, 0, new QTableWidgetItem(rows.at(row).first));
        auto* finding = new QTableWidgetItem(rows.at(row).second);
        finding->setToolTip(rows.at(row).second);
        m_vl->setItem(row, 1, finding);
    }
    layout->addWidget(m_vl, 1);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("Panel1"));
    bottom->setFixedHeight(36);
    auto* buttons = new QHBoxLayout(bottom);
    buttons->setContentsMargins(8, 0, 8, 0);
    m_bc = new QPushButton(SharedTexts::CloseButton, bottom);
    m_bc->setObjectName(QStringLiteral("Bc"));
    m_bc->setFixedSize(103, 25);
    m_bc->setAutoDefault(false);
    buttons->addWidget(m_bc);
    buttons->addStretch(1);
    layout->addWidget(bottom);
    connect(m_bc, &QPushButton::clicked, this, &QDialog::reject);

    KeyRule::install(this, std::move(help));
    KeyRule::installCancel(this, m_bc);
}
