#include "windows/UDemo.h"

#include "records/ProgramFacts.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/KeyRule.h"
#include "windows/ui/LinkButton.h"
#include "windows/ui/SharedTexts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

} // namespace

TFDemo::TFDemo(std::function<void()> help, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TFDemo"));
    setWindowTitle(ProgramFacts::ProgramName);
    setFixedSize(ClientWidth, ClientHeight);

    const QString texts[] = {
        QStringLiteral("Далі буде продемонстровано процес генерації файла  з використанням  "
                       "демо-шаблона диплома бакалавра."),
        QStringLiteral("Отже, кваліфікаційний рівень студента у демо-режимі може відрізнятись "
                       "від реального!"),
        QStringLiteral("Демо-шаблон з іменем \"template-dip-bak-2015.doc\" знаходиться у папці:"),
    };
    int top = 8;
    int n = 1;
    for (const QString& text : texts) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("Label%1").arg(n++));
        label->setFont(Fonts::arial(13));
        LinkLook::setTextColour(label, LinkLook::DarkTeal);
        label->setGeometry(8, top, ClientWidth - 16, 17);
        top += 19;
    }
    m_l = new QLabel(this);
    m_l->setObjectName(QStringLiteral("L"));
    m_l->setFont(Fonts::arial(11));
    LinkLook::setTextColour(m_l, Qt::black);
    m_l->setGeometry(8, top + 2, ClientWidth - 16, 15);
    m_l->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_continue = new QPushButton(SharedTexts::ContinueButton, this);
    m_continue->setObjectName(QStringLiteral("BOk"));
    m_continue->setGeometry(ClientWidth - 8 - 103, ClientHeight - 8 - 25, 103, 25);
    m_continue->setDefault(true);
    m_continue->setAutoDefault(true);
    m_continue->setFocus();
    connect(m_continue, &QPushButton::clicked, this, &QDialog::accept);

    KeyRule::install(this, std::move(help));
}

void TFDemo::SetTemplateFolder(const QString& folder)
{
    m_l->setText(folder);
}

void TFDemo::keyPressEvent(QKeyEvent* event)
{
    // No cancel button: Escape would otherwise reject the notice.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
