#pragma once

#include "generate/office/DocumentSession.h"
#include "records/RecordStore.h"
#include "settings/WorkDir.h"

#include <QDialog>
#include <QList>
#include <functional>

class PreviewOffice;
class QBuffer;
class QLabel;
class QListWidget;
class QPdfDocument;
class QPdfView;
class QPushButton;
class QStackedWidget;
struct PreviewShown;

inline const QString PreviewItemText = QStringLiteral("Переглянути документ...");

// The preview: a graduate's document as the office lays it out, before
// anything is saved, beside what the check before printing finds for that
// graduate; steps through the list lines without closing.
class TFPreview : public QDialog {
    Q_OBJECT
public:
    // records: the record (1-based) of each list line, in list order;
    // position: the line shown first; help: the help command for F1.
    TFPreview(QList<int> records, int position, const RecordStore& store, WorkDir workDir,
              std::function<void()> help, QWidget* parent = nullptr,
              SessionFactory makeSession = {});
    ~TFPreview() override;

    // The list line whose page is asked for.
    int position() const { return m_position; }
    // The pages on screen; none loaded while the page's place holds a text.
    QPdfDocument* document() const { return m_doc; }

    void BPrevClick();
    void BNextClick();
    // Saves what the single export saves and opens it as it does.
    void BSaveClick();

Q_SIGNALS:
    // The line asked for changed.
    void positionChanged(int position);
    // The page asked for, or the text in its place, is on screen.
    void pageShown();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int r) override;

private:
    void endOffice();
    QWidget* makeHead();
    QWidget* makePageArea();
    QWidget* makeFindings();
    QWidget* makeButtons();
    void request();
    void present(const PreviewShown& shown);
    void showHead(int recordIndex, const QString& templatePath);
    void showPages(const QByteArray& pdf);
    void stepPage(int by);
    void zoomBy(qreal factor);
    void updateButtons();
    void updatePageLabel();

    QList<int> m_records;
    int m_position = 0;
    const RecordStore& m_store;
    WorkDir m_workDir;
    PreviewOffice* m_office = nullptr;
    bool m_asked = false;
    bool m_pending = false;
    int m_shownRecord = 0; // the record whose pages are on screen; 0: none

    QLabel* m_name = nullptr;
    QLabel* m_template = nullptr;
    QLabel* m_kind = nullptr;
    QStackedWidget* m_page = nullptr;
    QPdfView* m_pv = nullptr;
    QLabel* m_says = nullptr;
    QListWidget* m_vf = nullptr;
    QPushButton* m_prev = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_save = nullptr;
    QLabel* m_pageLabel = nullptr;
    QPushButton* m_bc = nullptr;
    QPdfDocument* m_doc = nullptr;
    QBuffer* m_buffer = nullptr;
};

// The preview command's window: restored position at the main window's
// top-left + (10, 10), opened maximised, shown modally, destroyed after it
// has closed. moved: told each line the window steps to.
void ShowPreviewWindow(QWidget* mainWindow, QList<int> records, int position,
                       const RecordStore& store, const WorkDir& workDir, std::function<void()> help,
                       std::function<void(int)> moved);
