#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;
class TFLUMA;

// The start window: a borderless splash with a ten-second countdown and three
// links to the main window's commands. It is the application's main window:
// closing it ends the program.
class TFStartLUMA : public QWidget {
    Q_OBJECT
public:
    explicit TFStartLUMA(QWidget* parent = nullptr);

    // The (hidden) main window whose commands the links run.
    void SetMainWindow(TFLUMA* mainWindow) { m_main = mainWindow; }

    quint8 Countdown() const { return m_countdown; }

    // Handlers; TsTimer is public so a test can drive the countdown.
    void TsTimer();
    void BstartClick();
    void B3Click();
    void B2Click();
    void BB1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();

    TFLUMA* m_main = nullptr;
    quint8 m_countdown = 9;
    QTimer* m_ts = nullptr;
    QLabel* m_im = nullptr;
    QLabel* m_image1 = nullptr;
    QPushButton* m_bstart = nullptr;
};
