#pragma once

#include "records/RecordStore.h"
#include "settings/WorkDir.h"

#include <QDialog>
#include <QList>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class QWidget;

// The batch window: exports every checked entry, one row per entry, with a
// progress bar; the batch starts once the window has been drawn.
class TFPack : public QDialog {
    Q_OBJECT
public:
    static constexpr int FixedWidth = 800;
    static constexpr int BottomPanelHeight = 94;
    static constexpr int ProgressHeight = 17;

    // recordIndexes: the records of the checked entries, in list order, one
    // row each; help: the help command for F1.
    TFPack(QList<int> recordIndexes, const RecordStore& store, WorkDir workDir,
           std::function<void()> help, QWidget* parent = nullptr);

    // The folder that L names.
    void SetResultsFolder(const QString& folder);
    // The batch; runs once. Errors are passed on after the window has shown
    // them as a last row.
    void TsTimer();
    bool running() const { return m_running; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void makeResultsPanel(QWidget* bottom);
    void FormShow();
    void appendRow(const QString& name, const QString& result);
    void done(int r) override;

    QList<int> m_recordIndexes;
    const RecordStore& m_store;
    WorkDir m_workDir;
    bool m_ran = false;
    bool m_running = false;

    QTableWidget* m_vl = nullptr;
    QWidget* m_pr = nullptr;
    QLabel* m_l = nullptr;
    QPushButton* m_bc = nullptr;
    QProgressBar* m_pb = nullptr;
    QTimer* m_ts = nullptr;
};
