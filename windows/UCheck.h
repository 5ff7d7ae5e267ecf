#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

class QPushButton;
class QTableWidget;

inline const QString NothingFoundText = QStringLiteral("Зауважень немає.");
// The title of the findings, over their column here and beside the preview's page.
inline const QString FindingsTitleText = QStringLiteral("Зауваження");

// The findings of the check before printing: one row per finding, the
// graduate's name and what is wrong.
class TFCheck : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 800;
    static constexpr int DesignHeight = 400;

    // rows: (name, finding) in the order found; help: the help command for F1.
    TFCheck(const QList<QPair<QString, QString>>& rows, std::function<void()> help,
            QWidget* parent = nullptr);

private:
    QTableWidget* m_vl = nullptr;
    QPushButton* m_bc = nullptr;
};
