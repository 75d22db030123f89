// The main window: the single-job editor on the left, the batch list on the right, the menu,
// the status bar with its progress bar, and every command with its enabling rule.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include "app/Help.h"
#include "app/UiServices.h"
#include "app/WindowPlacement.h"
#include "batch/BatchList.h"
#include "driver/Catalogue.h"
#include "ksj/ConverterTable.h"

class QAction;
class QCheckBox;
class QComboBox;
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
    std::filesystem::path DefineDir;
    TSettingsLocation Settings;
    QString HelpDir;
    std::span<const ksj::TConverterEntry> Converters = ksj::kConverterTable;
};

/// The Define folder, the settings INI and the help pages beside the executable.
TMainOptions DefaultMainOptions();

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
    void O1Click();
    void S1Click();
    void K1Click();
    void X1Click();
    void H2Click();
    void A1Click();

    /// Validates the editor; shows the first problem as a warning.
    bool CheckInputs();
    /// Merging is allowed: two or more rows, all of one data item and one coordinate system.
    bool IsCombinable() const;
    void UpdateCombineControls();

    /// Recomputes every command's enabled state (runs whenever the application is idle).
    void UpdateActions();
    void actConvertUpdate();
    void actBatchExecUpdate();

    /// A job or batch is running: commands and inputs are disabled, closing is refused.
    bool IsBusy() const noexcept { return m_busy; }

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
    void SelectBatchRow(int row);
    void SetBusy(bool busy);
    void ProcessPendingEvents();

    TUiServices& m_ui;
    TMainOptions m_options;
    driver::TCatalogue m_catalogue;
    batch::TBatchList m_batch;
    bool m_shown = false;
    bool m_busy = false;
    QString m_savedSettings;

    TFileDialog m_openDialog1;
    TFileDialog m_saveDialog1;
    TFileDialog m_openDialog2;
    TFileDialog m_saveDialog2;

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

    QAction* actSrcBrowse = nullptr;
    QAction* actDstBrowse = nullptr;
    QAction* actAddToBatch = nullptr;
    QAction* actReplaceToBatch = nullptr;
    QAction* actConvert = nullptr;
    QAction* actBarchClear = nullptr;
    QAction* actBatchExec = nullptr;
    QAction* O1 = nullptr;
    QAction* S1 = nullptr;
    QAction* K1 = nullptr;
    QAction* X1 = nullptr;
    QAction* H2 = nullptr;
    QAction* A1 = nullptr;

    QPointer<THelpWindow> m_help;
    QPointer<QWidget> m_focusBeforeJob;
};

} // namespace tolvane::app
