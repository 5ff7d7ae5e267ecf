#pragma once

#include "settings/WorkDir.h"

#include <QDialog>
#include <functional>
#include <memory>

// The chooser's two items, also the main window's menu commands.
inline const QString TemplatesItemText = QStringLiteral("Задати шаблони...");
inline const QString TagsItemText = QStringLiteral("Показати таблицю тегів");

class QButtonGroup;
class QPushButton;

// The settings chooser: the template window or the tag table.
class TFSettings : public QDialog {
    Q_OBJECT
public:
    explicit TFSettings(std::function<void()> help, QWidget* parent = nullptr);

    // The selected item of RG: 0 TemplatesItemText, 1 TagsItemText.
    int ItemIndex() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QButtonGroup* m_items = nullptr;
};

// B2Click's work: the chooser at the main window's top-left + (40, 10); when it
// closed with "Продовжити", the chosen action runs after the chooser has gone
// and before it is destroyed.
void RunSettingsChooser(QWidget* mainWindow, std::function<void()> help,
                        const std::function<void()>& openTemplates,
                        const std::function<void()>& openTags);
// The same with the template window and the tag table as the two actions.
void RunSettingsChooser(QWidget* mainWindow, const WorkDir& workDir, std::function<void()> help);
