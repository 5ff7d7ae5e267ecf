#include "windows/ui/LinkButton.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace LinkLook {

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::ButtonText, colour);
        p.setColor(g, QPalette::WindowText, colour);
        p.setColor(g, QPalette::Text, colour);
    }
    widget->setPalette(p);
}

static void underline(QWidget* widget)
{
    QFont f = widget->font();
    f.setUnderline(true);
    widget->setFont(f);
}

QPushButton* makeLinkButton(QWidget* parent, const QString& objectName, const QString& caption,
                            const QString& hint)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setFlat(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus); // like a speed button: never takes the focus
    setTextColour(b, Navy);
    underline(b);
    return b;
}

void makeLinkLabel(QLabel* label, const QString& hint)
{
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(hint);
    setTextColour(label, Navy);
    underline(label);
}

} // namespace LinkLook
