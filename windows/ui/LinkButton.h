#pragma once

#include <QColor>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The looks the windows share: link buttons and link texts are flat, navy,
// underlined, with the hand cursor and a hint.
namespace LinkLook {

inline const QColor Navy{0, 0, 128};
inline const QColor Teal{0, 128, 128};
inline const QColor DarkTeal{0, 100, 100};

// A flat push button drawn as a link; objectName is the control's name.
QPushButton* makeLinkButton(QWidget* parent, const QString& objectName, const QString& caption,
                            const QString& hint);
// Gives a label the link look (the click is the owner's business).
void makeLinkLabel(QLabel* label, const QString& hint);
// Sets the text colour of a widget for all its states but the disabled one.
void setTextColour(QWidget* widget, const QColor& colour);

} // namespace LinkLook
