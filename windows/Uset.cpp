#include "windows/Uset.h"

#include "records/ProgramFacts.h"
#include "windows/Utags.h"
#include "windows/Utempl.h"
#include "windows/ui/Fonts.h"
#include "windows/ui/KeyRule.h"
#include "windows/ui/SharedTexts.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

TFSettings::TFSettings(std::function<void()> help, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FSettings"));
    setWindowTitle(ProgramFacts::ProgramName);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(195, 95);
    setFont(Fonts::arial(11));

    auto* rg = new QGroupBox(this);
    rg->setObjectName(QStringLiteral("RG"));
    rg->setGeometry(4, 2, 187, 61);
    m_items = new QButtonGroup(this);
    const QString captions[] = {TemplatesItemText, TagsItemText};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(captions[i], rg);
        item->setObjectName(QStringLiteral("RGItem%1").arg(i));
        item->setGeometry(10, 10 + 22 * i, 170, 18);
        m_items->addButton(item, i);
    }
    m_items->button(0)->setChecked(true);

    auto* bok = new QPushButton(SharedTexts::ContinueButton, this);
    bok->setObjectName(QStringLiteral("Bok"));
    bok->setGeometry(52, 67, 91, 25);
    bok->setDefault(true);
    connect(bok, &QPushButton::clicked, this, &QDialog::accept);

    KeyRule::install(this, std::move(help));
}

int TFSettings::ItemIndex() const
{
    return m_items->checkedId();
}

void TFSettings::keyPressEvent(QKeyEvent* event)
{
    // No cancel button: Escape does not close the chooser.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RunSettingsChooser(QWidget* mainWindow, std::function<void()> help,
                        const std::function<void()>& openTemplates,
                        const std::function<void()>& openTags)
{
    const auto chooser = std::make_unique<TFSettings>(std::move(help), mainWindow);
    if (mainWindow)
        chooser->move(mainWindow->pos() + QPoint(40, 10));
    // exec() hides the chooser before it returns, so the chosen window opens
    // after it has gone.
    if (chooser->exec() != QDialog::Accepted)
        return;
    const std::function<void()>& chosen = chooser->ItemIndex() == 0 ? openTemplates : openTags;
    if (chosen)
        chosen();
}

void RunSettingsChooser(QWidget* mainWindow, const WorkDir& workDir, std::function<void()> help)
{
    RunSettingsChooser(
        mainWindow, help, [&] { ShowTemplateWindow(mainWindow, workDir, help); },
        [&] { ShowTagTable(mainWindow, help); });
}
