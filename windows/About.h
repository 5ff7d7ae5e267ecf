#pragma once

#include "records/ProgramFacts.h"

#include <QDialog>

// The about window's caption, also its menu command's.
inline const QString AboutTitleText = QStringLiteral("Ця програма...");

// The about window: a frameless white box with the program's name, version
// and the maker's contact; only "Ok" (or Enter) closes it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    inline static const QString Contact =
        ProgramFacts::MailAddress + QStringLiteral("  ") + ProgramFacts::SiteAddress + u'/';
    inline static const QString MakerName = ProgramFacts::MakerName;

    explicit TAboutBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// N8Click's work: the box at the main window's top-left + (254, 20), shown
// modally, destroyed after it has closed.
void ShowAboutBox(QWidget* mainWindow);
