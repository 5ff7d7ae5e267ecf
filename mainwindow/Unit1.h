#pragma once

#include "records/RecordStore.h"
#include "settings/WorkDir.h"

#include <QMainWindow>
#include <QUrl>
#include <optional>

enum class OutputKind : int;

// The hints of the links to the maker's offer and to the site, on the start
// window too.
inline const QString MakerLinkHint = QStringLiteral(
    "Показати короткий опис та прейскурант на впровадження програмного забезпечення");
inline const QString SiteLinkHint = QStringLiteral("Відвідати веб-сайт");

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class QWidget;

// The main window: owns the record store, the check list M and WorkDir for
// the whole run. Created hidden at start-up; shown once, modally.
class TFLUMA : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 607;
    static constexpr int DesignClientHeight = 223;
    static constexpr int TopBandHeight = 69;
    static constexpr int BottomBandHeight = 34;

    // Captures WorkDir: the process's current directory now.
    explicit TFLUMA(QWidget* parent = nullptr);
    ~TFLUMA() override;

    // The check list, for the export commands: entries 0-based, top to bottom.
    int EntryCount() const;
    QString EntryText(int position) const;
    bool EntryChecked(int position) const;
    // The position of the first checked entry, if any.
    std::optional<int> FirstCheckedEntry() const;
    void SetEntryChecked(int position, bool checked);

    const RecordStore& Store() const { return m_store; }
    const WorkDir& workDir() const { return m_workDir; }
    // The web address as L2 shows it (with its trailing space).
    QString L2Text() const;
    // Test seam: where the update check downloads from (the maker's site
    // unless set).
    void setUpdateBaseUrl(const QUrl& base) { m_updateBaseUrl = base; }

    // Shows the window application-modal and returns when it has closed.
    void ShowModal();

    // Runs a handler the way the window's own controls do: any raised error
    // ends it and shows the general error box (over boxParent, if given:
    // the window the user is looking at).
    void Run(void (TFLUMA::*handler)(), QWidget* boxParent = nullptr);
    // The help command as F1 and every help control run it, for the key rule
    // of the secondary windows too.
    void RunHelp(QWidget* boxParent = nullptr);

    // Command handlers (each normally run through Run).
    void B1Click();
    void BcClick();
    void ChAllClick();
    void EfChange();
    void N10Click();
    void N13Click();
    void N15Click();
    void N16Click();
    void B5Click();
    void N9Click();
    void N14Click();
    void ExportOptionsClick();
    void B2Click();
    void N6Click();
    void B7Click();
    void L2Click();
    void N8Click();
    void B9Click();

Q_SIGNALS:
    // Emitted each time the help command starts, from whichever control.
    void helpCommandStarted();
    // Emitted when the window has closed.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void buildMenu();
    void buildTopBand(QWidget* central);
    void buildBottomBand(QWidget* central);
    void layoutBands();
    void showOpenedState();
    void GenerateAndOpen(int index, const QString& templatePath, OutputKind kind,
                         const QString& notProducedText);
    void addEntry(const QString& line);
    // The window a message of a command belongs over: the modal window the
    // user works in, else this one when shown, else the active one (the
    // start window's links run while this one is hidden).
    QWidget* MessageParent();

    WorkDir m_workDir;
    RecordStore m_store;
    bool m_shownOnce = false;
    QUrl m_updateBaseUrl;

    QWidget* m_top = nullptr;
    QWidget* m_bottom = nullptr;
    QToolButton* m_b1 = nullptr;
    QToolButton* m_b2 = nullptr;
    QToolButton* m_b3 = nullptr;
    QToolButton* m_b4 = nullptr;
    QToolButton* m_b5 = nullptr;
    QToolButton* m_b6 = nullptr;
    QPushButton* m_b9 = nullptr;
    QLabel* m_lst = nullptr;
    QCheckBox* m_chAll = nullptr;
    QLabel* m_ln = nullptr;
    QLineEdit* m_ef = nullptr;
    QListWidget* m_m = nullptr;
    QPushButton* m_bc = nullptr;
    QLabel* m_l1 = nullptr;
    QPushButton* m_b7 = nullptr;
    QLabel* m_l2 = nullptr;

    QAction* m_xml1 = nullptr;
    QAction* m_n2 = nullptr;
    QAction* m_n9 = nullptr;
    QAction* m_n14 = nullptr;
    QAction* m_alsoPdf = nullptr;
    QAction* m_printFile = nullptr;
    QAction* m_n10 = nullptr;
    QAction* m_n13 = nullptr;
    QAction* m_n15 = nullptr;
    QAction* m_n16 = nullptr;
    QAction* m_n11 = nullptr;
    QAction* m_n6 = nullptr;
    QAction* m_n8 = nullptr;
};
