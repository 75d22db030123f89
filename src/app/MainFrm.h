// The main window: the single-job editor on the left, the batch list on the right, the menu,
// the status bar with its progress bar, and every command with its enabling rule.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "app/Help.h"
#include "app/UiServices.h"
#include "app/WindowPlacement.h"
#include "batch/BatchList.h"
#include "driver/Catalogue.h"
#include "ksj/ConverterTable.h"

class QAction;
class QCheckBox;
class QMenu;
class QSplitter;
class QTimer;
class QToolButton;
class QComboBox;
class QFontMetrics;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace tolvane::app {

/// Where the window finds its data and keeps its settings.
struct TMainOptions
{
    /// Empty: found when the window is first shown (base::DefaultDefineDir).
    std::filesystem::path DefineDir;
    TSettingsLocation Settings;
    /// Empty: found when the help is first opened (DefaultHelpDir).
    QString HelpDir;
    std::span<const ksj::TConverterEntry> Converters = ksj::kConverterTable;
};

/// The settings of this user and executable; the Define folder and the help pages are found
/// when first needed (from $TOLVANE_DEFINE and $TOLVANE_HELP, the installed share/tolvane, or
/// beside the executable).
TMainOptions DefaultMainOptions();

/// `path` as it fits in `width` pixels: whole when it fits, else with the middle of its folder
/// cut out and its file name kept ("/home/us…/L03-18M-13-jgd.dat"), or, when not even the file
/// name fits, cut in the middle.
QString ElidePath(const QString& path, const QFontMetrics& metrics, int width);

/// The catalogue items whose file mask (wildcards "*" and "?", any letter case; several masks
/// separated by ";") matches the file name of `path`, in catalogue order.
std::vector<std::int64_t> ItemsForFile(const driver::TCatalogue& catalogue, const QString& path);

class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    /// Every message box and file dialog goes through `ui`.
    TfrmMain(TUiServices& ui, TMainOptions options, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Commands, as the user runs them.
    void tvwDataKindChange(QTreeWidgetItem* node);
    void actSrcBrowseExecute();
    void actDstBrowseExecute();
    void btnCmbBrowseClick();
    void actConvertExecute();
    void actAddToBatchExecute();
    void actReplaceToBatchExecute();
    void btnRemoveClick();
    void actBarchClearExecute();
    void lvwBatchDblClick();
    void lvwBatchChange();
    void actBatchExecExecute();
    /// Asks 「変換を中止しますか？」 while a job runs; yes stops it at its next pump.
    void actCancelExecute();
    void O1Click();
    /// Saves the batch list; true when it was written.
    bool S1Click();
    void K1Click();
    void X1Click();
    void H2Click();
    void A1Click();

    /// Files given on the command line or dropped: a batch-list file (by its first line) is
    /// opened, asking first about an unsaved list; one file fills the source (and the
    /// destination beside it), unless `onBatchList`; several files, or files dropped on the
    /// batch list, become one row each for the selected item.
    void OpenFiles(const QStringList& paths, bool onBatchList);
    /// Opens the batch-list file `path`: loaded into a new list that replaces the current one
    /// only when the whole file was read. Asks nothing.
    bool OpenBatchFile(const QString& path);
    /// Asks whether to save a batch list that has unsaved changes; false when the user cancels
    /// (or the save did not happen).
    bool ConfirmDiscardBatchList();
    bool BatchListModified() const noexcept { return m_batchModified; }
    /// The batch-list files opened or saved last, newest first.
    const QStringList& RecentBatchLists() const noexcept { return m_recent; }

    /// Validates the editor; shows the first problem as a warning.
    bool CheckInputs();
    /// Merging is allowed: two or more rows, all of one data item and one coordinate system.
    bool IsCombinable() const;
    void UpdateCombineControls();

    /// Recomputes every command's enabled state (runs whenever the application is idle).
    void UpdateActions();
    void actConvertUpdate();
    void actBatchExecUpdate();

    /// A job or batch is running: commands and inputs are disabled; closing asks whether to
    /// stop it.
    bool IsBusy() const noexcept { return m_busy; }
    /// Why a command is disabled (empty while it is enabled), as its tooltip shows it.
    QString DisabledReason(const QObject* command) const;

    const driver::TCatalogue& Catalogue() const noexcept { return m_catalogue; }
    const batch::TBatchList& BatchList() const noexcept { return m_batch; }
    const TFileDialog& OpenDialog1() const noexcept { return m_openDialog1; }
    const TFileDialog& SaveDialog1() const noexcept { return m_saveDialog1; }
    const TFileDialog& OpenDialog2() const noexcept { return m_openDialog2; }
    const TFileDialog& SaveDialog2() const noexcept { return m_saveDialog2; }
    THelpWindow* HelpWindow() const { return m_help; }

    /// The settings file written when the window last closed (empty when none could be).
    const QString& SavedSettingsFile() const noexcept { return m_savedSettings; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class TBusyScope;

    void FormCreate();
    void FormShow();
    void FormClose();
    void CreateControls();
    void CreateActions();
    void CreateMenu();
    void ConnectHandlers();
    void FillDataKindTree(const driver::TDataKindTree& tree);
    void PlaceProgressBar();
    void LayoutStatusBar();
    void RestoreSession();
    void SaveSession(const QString& iniPath);
    void RebuildRecentMenu();
    void AddRecent(const QString& path);
    void UpdateDisabledReasons();
    void ShowStatus(const QString& text);

    /// Runs `command`; an error it raises is shown in an error box and goes no further.
    template <class TCommand> bool Guard(TCommand&& command);

    /// The selected data item's index: a tree node of level 1 or more with an index of 0 or
    /// more; nothing otherwise.
    std::optional<std::int64_t> SelectedItemIndex() const;
    bool SelectedItemIsLedgerOnly() const;
    bool EditorIsComplete() const;
    bool AddRuleHolds() const;
    int SelectedBatchRow() const;

    batch::TBatchEntry EntryFromEditor() const;
    void ShowBatchRow(int row);
    void RefreshBatchList();
    void FitBatchColumns();
    void SelectBatchRow(int row);
    void SetBusy(bool busy);
    void ProcessPendingEvents();
    void ShowBatchProgress();
    void FinishJob();

    /// Selects the tree node of `index`; false when there is none.
    bool SelectItemNode(std::int64_t index);
    /// Selects the item whose file mask matches `path` and says so in the status bar; several
    /// or no matches leave the selection and are named there.
    void SuggestItemForSource(const QString& path);
    void UseAsSource(const QString& path);
    void AddFilesToBatch(const QStringList& paths);
    void MarkBatchModified() { m_batchModified = true; }

    TUiServices& m_ui;
    TMainOptions m_options;
    driver::TCatalogue m_catalogue;
    batch::TBatchList m_batch;
    bool m_shown = false;
    bool m_busy = false;
    bool m_cancelRequested = false;
    bool m_closeAfterJob = false;
    bool m_batchModified = false;
    bool m_batchRunning = false;
    std::size_t m_batchRow = 0;
    QElapsedTimer m_jobClock;
    QString m_savedSettings;
    QStringList m_recent;
    QString m_statusBeforeHover;
    QString m_hoverText;

    TFileDialog m_openDialog1;
    TFileDialog m_saveDialog1;
    TFileDialog m_openDialog2;
    TFileDialog m_saveDialog2;

    QSplitter* m_splitter = nullptr;
    QTreeWidget* tvwDataKind = nullptr;
    QLineEdit* edtSrcFile = nullptr;
    QPushButton* btnSrcBrows = nullptr;
    QLineEdit* edtDscFile = nullptr;
    QPushButton* btnDscBrows = nullptr;
    QComboBox* cboCoordSys = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnReplace = nullptr;
    QPushButton* btnConvert = nullptr;
    QTreeWidget* lvwBatch = nullptr;
    QCheckBox* chkCombine = nullptr;
    QLineEdit* edtConbineFile = nullptr;
    QPushButton* btnCmbBrowse = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnBatch = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QToolButton* btnCancel = nullptr;
    QTimer* m_clockTimer = nullptr;

    QAction* actSrcBrowse = nullptr;
    QAction* actDstBrowse = nullptr;
    QAction* actAddToBatch = nullptr;
    QAction* actReplaceToBatch = nullptr;
    QAction* actConvert = nullptr;
    QAction* actBarchClear = nullptr;
    QAction* actBatchExec = nullptr;
    QAction* actCancel = nullptr;
    QAction* O1 = nullptr;
    QAction* S1 = nullptr;
    QAction* K1 = nullptr;
    QAction* X1 = nullptr;
    QAction* H2 = nullptr;
    QAction* A1 = nullptr;
    QMenu* m_recentMenu = nullptr;

    QPointer<THelpWindow> m_help;
    QPointer<QWidget> m_focusBeforeJob;
};

} // namespace tolvane::app
