#pragma once

#include "settings/WorkDir.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QLabel;
class QTableWidget;
class QToolButton;
class QPushButton;

// The template assignment window: one template file per document kind,
// loaded from Templ.set when shown and written back whenever it closes.
class TFTempl : public QDialog {
    Q_OBJECT
public:
    inline static const QString Filter = QStringLiteral("Шаблони (файли) MS Word (*.doc)");
    inline static const QString UnstorableText = QStringLiteral(
        "Шлях до файлу шаблона містить символи, які не можна зберегти у файлі налаштувань. "
        "Перейменуйте файл або папку і спробуйте знову.");

    TFTempl(const WorkDir& workDir, std::function<void()> help, QWidget* parent = nullptr);

    // Loads the eight rows from Templ.set; on a read failure shows the general
    // error box and returns false (the window must then not be shown, or its
    // closing would overwrite the file with empty rows).
    bool FormShow();
    // Chooses (B1..B8) or detaches (B1s..B8s) the template of slot 1..8.
    void BClick(int slot);
    void BsClick(int slot);
    // Writes the rows to Templ.set; throws LumarelError when it cannot.
    void FormClose();

    // Row values as the grid holds them, slots 1..8 at 0..7.
    QStringList Values() const;
    QString Value(int slot) const;

    void done(int result) override;

private:
    void makeInstructions();
    void makeTable(int middleHeight);
    void makeSlotButtons(int middleHeight);
    void setValue(int slot, const QString& path);

    WorkDir m_workDir;
    std::function<void()> m_help;
    QTableWidget* m_vl = nullptr;
    QPushButton* m_bc = nullptr;
    bool m_loaded = false;
    bool m_saveFailed = false;
};

// The problems the template check finds in the file at path; none when the
// file is not there or no office can read it.
QStringList TemplateProblems(const QString& path);

// N9Click's work: the window at the main window's top-left + (10, 10), shown
// modally, destroyed after it has closed.
std::unique_ptr<TFTempl> CreateTemplateWindow(QWidget* mainWindow, const WorkDir& workDir,
                                              std::function<void()> help);
void ShowTemplateWindow(QWidget* mainWindow, const WorkDir& workDir, std::function<void()> help);
