#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QMenu;
class QTableWidget;

// The tag reference: the listed rows of the tag table, from which the user
// copies a tag to the clipboard.
class TFtags : public QDialog {
    Q_OBJECT
public:
    inline static const QString Hint = QStringLiteral(
        "Для копіювання тегів в буфер викликайте локальне меню (права кнопка миші)");

    explicit TFtags(std::function<void()> help, QWidget* parent = nullptr);

    // Copies the tag of the current row as plain text.
    void N1Click();
    QMenu* ContextMenu() const { return m_menu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeTable();

    QTableWidget* m_vl = nullptr;
    QMenu* m_menu = nullptr;
};

// N14Click's work: restored position at the main window's top-left + (10, 10),
// opened maximised, shown modally, destroyed after it has closed.
std::unique_ptr<TFtags> CreateTagTable(QWidget* mainWindow, std::function<void()> help);
void ShowTagTable(QWidget* mainWindow, std::function<void()> help);
