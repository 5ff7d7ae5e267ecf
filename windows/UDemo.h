#pragma once

#include <QDialog>
#include <functional>

class QKeyEvent;
class QLabel;
class QPushButton;
class QWidget;

// The notice shown before the demonstration export: "Продовжити" accepts;
// closing it by its title bar does not. There is no cancel button, so
// Escape does nothing.
class TFDemo : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 672;
    static constexpr int ClientHeight = 117;

    explicit TFDemo(std::function<void()> help, QWidget* parent = nullptr);

    // The folder of the demonstration template, which L names.
    void SetTemplateFolder(const QString& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_l = nullptr;
    QPushButton* m_continue = nullptr;
};
