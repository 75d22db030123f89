// The main window.
#include "app/MainFrm.h"

#include <exception>
#include <string>

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "app/AboutDlg.h"
#include "app/AppResources.h"
#include "app/GuiObserver.h"
#include "app/Help.h"
#include "app/VersionInfo.h"
#include "app/uniQtText.h"
#include "base/AppError.h"
#include "base/uniMessages.h"
#include "base/uniPaths.h"
#include "batch/BatchRunner.h"
#include "driver/ConvertDriver.h"

namespace tolvane::app {

namespace {

// Client area: 866 x 478 below the menu bar, the status bar (19 high) at its bottom.
constexpr int kClientWidth = 866;
constexpr int kClientHeight = 478;
constexpr int kStatusBarHeight = 19;
constexpr int kPanel0Width = 390;
constexpr int kPanel1Width = 50;

const QString kCaption = QStringLiteral("Tolvane Converter");
const QString kDownloadPage = QStringLiteral("https://nlftp.mlit.go.jp/ksj/");

const QString kMsgSelectItem = QStringLiteral("変換を行うデータ項目を選択してください。");
const QString kMsgBadSource = QStringLiteral("変換元のファイル名が不正です。");
const QString kMsgBadDestination = QStringLiteral("変換後のファイル名が不正です。");

const QString kFilterMif = QStringLiteral("MapInfo インポート/エクスポート (*.mif)|*.mif");
const QString kFilterCsv = QStringLiteral("CSVファイル (*.csv)|*.csv");
const QString kFilterBatch =
    QStringLiteral("Tolvaneバッチファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*");

constexpr int kItemIndexRole = Qt::UserRole;

// The hourglass, taken back however the scope ends.
class TWaitCursor
{
public:
    TWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

std::int64_t ItemIndexOf(const QTreeWidgetItem* node)
{
    return node->data(0, kItemIndexRole).toLongLong();
}

bool IsExistingFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

template <class TWidget>
TWidget* AddControl(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* widget = new TWidget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QAction* NewAction(QObject* parent, const char* name, const QString& caption)
{
    auto* action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// The button shows the action's caption, runs the action and follows its enabled state.
void BindAction(QPushButton* button, QAction* action)
{
    button->setText(action->text());
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
}

} // namespace

// Marks the window busy for one job or batch: the inputs and the commands that would change
// them or start another job are disabled, and closing is refused until the scope ends.
class TfrmMain::TBusyScope
{
public:
    explicit TBusyScope(TfrmMain& form) : m_form(form) { m_form.SetBusy(true); }
    ~TBusyScope() { m_form.SetBusy(false); }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    TfrmMain& m_form;
};

TMainOptions DefaultMainOptions()
{
    TMainOptions options;
    options.DefineDir = base::DefaultDefineDir();
    options.Settings = DefaultSettingsLocation();
    options.HelpDir = DefaultHelpDir();
    return options;
}

TfrmMain::TfrmMain(TUiServices& ui, TMainOptions options, QWidget* parent)
    : QMainWindow(parent), m_ui(ui), m_options(std::move(options))
{
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

template <class TCommand> bool TfrmMain::Guard(TCommand&& command)
{
    QString error;
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        error = ErrorText(e);
    }
    m_ui.Error(error);
    return false;
}

// ---- Life cycle ----

void TfrmMain::FormCreate()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kCaption);
    setWindowIcon(ProgramIcon());
    setFont(JapaneseGothicFont());
    // Single border with system menu and minimize box; no maximize box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    m_saveDialog1.Filter = kFilterMif;
    m_saveDialog1.DefaultExt = QStringLiteral("mif");
    m_openDialog2.Filter = kFilterBatch;
    m_saveDialog2.Filter = kFilterBatch;
    m_saveDialog2.DefaultExt = QStringLiteral("txt");

    CreateActions();
    CreateMenu();
    CreateControls();
    ConnectHandlers();

    // The window never takes another size: the client area below the menu bar is 866 x 478.
    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);

    // The enabling rules run whenever the application is about to wait for events.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &TfrmMain::UpdateActions);
    }
    UpdateActions();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
    QMainWindow::showEvent(event);
}

void TfrmMain::FormShow()
{
    setWindowTitle(kCaption);
    try {
        m_catalogue = driver::LoadCatalogue(m_options.DefineDir);
        FillDataKindTree(driver::BuildDataKindTree(m_catalogue.Lines()));
    } catch (const std::exception& e) {
        // Shown once the window is up; the tree stays empty, so nothing can be converted.
        const QString text = ErrorText(e);
        QTimer::singleShot(0, this, [this, text] { m_ui.Error(text); });
    }
    LoadWindowPlacement(*this, m_options.Settings);
    PlaceProgressBar();
    UpdateActions();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (m_busy) {
        // The running job uses the window's lists and files until it returns.
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TfrmMain::FormClose()
{
    if (m_help) {
        m_help->close();
    }
    try {
        m_savedSettings = SaveWindowPlacement(*this, m_options.Settings);
    } catch (...) { // NOLINT(bugprone-empty-catch): closing never fails over the settings
        m_savedSettings.clear();
    }
}

// ---- Controls ----

void TfrmMain::CreateActions()
{
    actSrcBrowse = NewAction(this, "actSrcBrowse", QStringLiteral("参照..."));
    actDstBrowse = NewAction(this, "actDstBrowse", QStringLiteral("参照..."));
    actAddToBatch = NewAction(this, "actAddToBatch", QStringLiteral("バッチリストに追加"));
    actReplaceToBatch = NewAction(this, "actReplaceToBatch", QStringLiteral("置換"));
    actConvert = NewAction(this, "actConvert", QStringLiteral("すぐに変換"));
    actBarchClear = NewAction(this, "actBarchClear", QStringLiteral("クリア"));
    actBatchExec = NewAction(this, "actBatchExec", QStringLiteral("バッチ変換開始"));
}

void TfrmMain::CreateMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("F1"));
    O1 = NewAction(file, "O1", QStringLiteral("開く(&O)..."));
    O1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    S1 = NewAction(file, "S1", QStringLiteral("保存(&S)..."));
    S1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    K1 = NewAction(file, "K1", QStringLiteral("国土数値情報のダウンロードページへ(&K)"));
    X1 = NewAction(file, "X1", QStringLiteral("終了(&X)"));
    file->addAction(O1);
    file->addAction(S1);
    file->addSeparator();
    file->addAction(K1);
    file->addSeparator();
    file->addAction(X1);

    QMenu* help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("H1"));
    H2 = NewAction(help, "H2", QStringLiteral("トピックの検索(&H)"));
    H2->setShortcut(QKeySequence(Qt::Key_F1));
    A1 = NewAction(help, "A1", QStringLiteral("バージョン情報(&A)..."));
    help->addAction(H2);
    help->addSeparator();
    help->addAction(A1);
}

void TfrmMain::CreateControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("pnlClient"));
    client->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
    setCentralWidget(client);

    // Created in tab order, each label beside the control it names.
    AddLabel(client, "Label1", QStringLiteral("変換する国土数値情報のデータ項目"), 8, 8);
    tvwDataKind = AddControl<QTreeWidget>(client, "tvwDataKind", 8, 24, 377, 265);
    tvwDataKind->setHeaderHidden(true);
    tvwDataKind->setColumnCount(1);
    tvwDataKind->setIndentation(19);
    tvwDataKind->setIconSize(QSize(16, 16));
    tvwDataKind->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvwDataKind->setSelectionMode(QAbstractItemView::SingleSelection);

    AddLabel(client, "Label2", QStringLiteral("変換元のファイル名"), 8, 296);
    edtSrcFile = AddControl<QLineEdit>(client, "edtSrcFile", 8, 312, 321, 20);
    btnSrcBrows = AddControl<QPushButton>(client, "btnSrcBrows", 336, 312, 49, 21);
    AddLabel(client, "Label3", QStringLiteral("変換後のファイル名"), 8, 344);
    edtDscFile = AddControl<QLineEdit>(client, "edtDscFile", 8, 360, 321, 20);
    btnDscBrows = AddControl<QPushButton>(client, "btnDscBrows", 336, 360, 49, 21);
    AddLabel(client, "Label6", QStringLiteral("投影法"), 8, 392);
    cboCoordSys = AddControl<QComboBox>(client, "cboCoordSys", 8, 408, 377, 20);
    for (const shapes::TCoordSys& coordSys : shapes::kCoordSystems) {
        cboCoordSys->addItem(Utf8ToQString(coordSys.Name));
    }
    cboCoordSys->setCurrentIndex(0);
    btnAdd = AddControl<QPushButton>(client, "btnAdd", 112, 432, 115, 21);
    btnReplace = AddControl<QPushButton>(client, "btnReplace", 232, 432, 57, 21);
    btnConvert = AddControl<QPushButton>(client, "btnConvert", 312, 432, 75, 21);

    AddLabel(client, "Label4", QStringLiteral("バッチリスト"), 400, 8);
    lvwBatch = AddControl<QTreeWidget>(client, "lvwBatch", 400, 24, 457, 337);
    lvwBatch->setColumnCount(5);
    lvwBatch->setHeaderLabels({QString(), QStringLiteral("データ項目"),
                               QStringLiteral("元ファイル"), QStringLiteral("先ファイル"),
                               QStringLiteral("座標系")});
    const int widths[] = {18, 90, 110, 110, 110};
    for (int column = 0; column < 5; ++column) {
        lvwBatch->setColumnWidth(column, widths[column]);
    }
    lvwBatch->header()->setStretchLastSection(false);
    lvwBatch->header()->setSectionsClickable(false);
    lvwBatch->header()->setSectionsMovable(false);
    lvwBatch->setRootIsDecorated(false);
    lvwBatch->setItemsExpandable(false);
    lvwBatch->setUniformRowHeights(true);
    lvwBatch->setAllColumnsShowFocus(true);
    lvwBatch->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwBatch->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwBatch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwBatch->setSortingEnabled(false);
    lvwBatch->setIconSize(QSize(16, 16));
    lvwBatch->setTextElideMode(Qt::ElideRight);
    lvwBatch->viewport()->installEventFilter(this);

    chkCombine = AddControl<QCheckBox>(client, "chkCombine", 400, 368, 441, 17);
    chkCombine->setText(
        QStringLiteral("ファイルを統合する。（同一のデータ項目と投影法の変換時のみ使用可能）"));
    chkCombine->setEnabled(false);
    AddLabel(client, "Label5", QStringLiteral("統合後のファイル名"), 400, 392);
    edtConbineFile = AddControl<QLineEdit>(client, "edtConbineFile", 400, 408, 401, 20);
    edtConbineFile->setEnabled(false);
    btnCmbBrowse = AddControl<QPushButton>(client, "btnCmbBrowse", 808, 408, 49, 21);
    btnCmbBrowse->setText(QStringLiteral("参照"));
    btnCmbBrowse->setEnabled(false);
    btnClear = AddControl<QPushButton>(client, "btnClear", 600, 432, 75, 21);
    btnRemove = AddControl<QPushButton>(client, "btnRemove", 680, 432, 75, 21);
    btnRemove->setText(QStringLiteral("削除"));
    btnRemove->setEnabled(false);
    btnBatch = AddControl<QPushButton>(client, "btnBatch", 760, 432, 99, 21);

    BindAction(btnSrcBrows, actSrcBrowse);
    BindAction(btnDscBrows, actDstBrowse);
    BindAction(btnAdd, actAddToBatch);
    BindAction(btnReplace, actReplaceToBatch);
    BindAction(btnConvert, actConvert);
    BindAction(btnClear, actBarchClear);
    BindAction(btnBatch, actBatchExec);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedSize(kClientWidth, kStatusBarHeight);
    setStatusBar(StatusBar1);
    StatusPanel0 =
        AddControl<QLabel>(StatusBar1, "StatusPanel0", 0, 2, kPanel0Width, kStatusBarHeight - 2);
    StatusPanel1 = AddControl<QLabel>(StatusBar1, "StatusPanel1", kPanel0Width + 2, 2, kPanel1Width,
                                      kStatusBarHeight - 2);
    for (QLabel* panel : {StatusPanel0, StatusPanel1}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
    }
    ProgressBar1 = new QProgressBar(StatusBar1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();

    const QList<QWidget*> tabOrder = {tvwDataKind,  edtSrcFile,  btnSrcBrows, edtDscFile,
                                      btnDscBrows,  cboCoordSys, btnAdd,      btnReplace,
                                      btnConvert,   lvwBatch,    chkCombine,  edtConbineFile,
                                      btnCmbBrowse, btnClear,    btnRemove,   btnBatch};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    }
}

void TfrmMain::PlaceProgressBar()
{
    // Just right of panel 0, over panel 1 to the right edge of the client area.
    ProgressBar1->setParent(StatusBar1);
    ProgressBar1->setGeometry(kPanel0Width + 2, 2, kClientWidth - kPanel0Width - 2, 16);
}

void TfrmMain::ConnectHandlers()
{
    connect(actSrcBrowse, &QAction::triggered, this,
            [this] { Guard([this] { actSrcBrowseExecute(); }); });
    connect(actDstBrowse, &QAction::triggered, this,
            [this] { Guard([this] { actDstBrowseExecute(); }); });
    connect(actAddToBatch, &QAction::triggered, this,
            [this] { Guard([this] { actAddToBatchExecute(); }); });
    connect(actReplaceToBatch, &QAction::triggered, this,
            [this] { Guard([this] { actReplaceToBatchExecute(); }); });
    connect(actConvert, &QAction::triggered, this, &TfrmMain::actConvertExecute);
    connect(actBarchClear, &QAction::triggered, this,
            [this] { Guard([this] { actBarchClearExecute(); }); });
    connect(actBatchExec, &QAction::triggered, this, &TfrmMain::actBatchExecExecute);
    connect(btnRemove, &QPushButton::clicked, this,
            [this] { Guard([this] { btnRemoveClick(); }); });
    connect(btnCmbBrowse, &QPushButton::clicked, this,
            [this] { Guard([this] { btnCmbBrowseClick(); }); });
    connect(tvwDataKind, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = tvwDataKind->selectedItems();
        Guard([&] { tvwDataKindChange(selected.isEmpty() ? nullptr : selected.constFirst()); });
    });
    connect(lvwBatch, &QTreeWidget::itemSelectionChanged, this, &TfrmMain::lvwBatchChange);
    connect(chkCombine, &QCheckBox::toggled, this,
            [this](bool checked) { m_batch.Combine = checked; });
    connect(edtConbineFile, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_batch.CombineFile = text.toStdString(); });
    connect(O1, &QAction::triggered, this, &TfrmMain::O1Click);
    connect(S1, &QAction::triggered, this, [this] { Guard([this] { S1Click(); }); });
    connect(K1, &QAction::triggered, this, &TfrmMain::K1Click);
    connect(X1, &QAction::triggered, this, &TfrmMain::X1Click);
    connect(H2, &QAction::triggered, this, &TfrmMain::H2Click);
    connect(A1, &QAction::triggered, this, &TfrmMain::A1Click);
}

void TfrmMain::FillDataKindTree(const driver::TDataKindTree& tree)
{
    const QList<QIcon>& images = ImageList1();
    for (const driver::TDataKindNode& category : tree) {
        auto* categoryNode = new QTreeWidgetItem(tvwDataKind);
        categoryNode->setText(0, SjisToQString(category.Caption));
        categoryNode->setIcon(0, images.value(kImageCategory));
        categoryNode->setData(0, kItemIndexRole,
                              QVariant::fromValue<qlonglong>(category.ItemIndex));
        for (const driver::TDataKindNode& item : category.Children) {
            auto* itemNode = new QTreeWidgetItem(categoryNode);
            itemNode->setText(0, SjisToQString(item.Caption));
            itemNode->setIcon(0, images.value(kImageDataItem));
            itemNode->setData(0, kItemIndexRole, QVariant::fromValue<qlonglong>(item.ItemIndex));
        }
        categoryNode->setExpanded(category.Expanded);
    }
}

// ---- The selection and the enabling rules ----

std::optional<std::int64_t> TfrmMain::SelectedItemIndex() const
{
    const QList<QTreeWidgetItem*> selected = tvwDataKind->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    const QTreeWidgetItem* node = selected.constFirst();
    const std::int64_t index = ItemIndexOf(node);
    if (node->parent() == nullptr || index < 0) {
        return std::nullopt;
    }
    return index;
}

bool TfrmMain::SelectedItemIsLedgerOnly() const
{
    const auto index = SelectedItemIndex();
    if (!index || *index >= m_catalogue.Count()) {
        return false;
    }
    return m_catalogue.Item(*index).IsLedgerOnly();
}

bool TfrmMain::EditorIsComplete() const
{
    return SelectedItemIndex().has_value() && IsExistingFile(edtSrcFile->text()) &&
           !edtDscFile->text().isEmpty();
}

bool TfrmMain::AddRuleHolds() const
{
    return EditorIsComplete() && !SelectedItemIsLedgerOnly();
}

int TfrmMain::SelectedBatchRow() const
{
    const QList<QTreeWidgetItem*> selected = lvwBatch->selectedItems();
    return selected.isEmpty() ? -1 : lvwBatch->indexOfTopLevelItem(selected.constFirst());
}

void TfrmMain::actConvertUpdate()
{
    actConvert->setEnabled(!m_busy && EditorIsComplete());
}

void TfrmMain::actBatchExecUpdate()
{
    actBatchExec->setEnabled(!m_busy && !m_batch.Entries.empty());
}

void TfrmMain::UpdateActions()
{
    try {
        const bool idle = !m_busy;
        const bool itemSelected = SelectedItemIndex().has_value();
        actSrcBrowse->setEnabled(idle && itemSelected);
        actDstBrowse->setEnabled(idle && itemSelected);
        const bool addable = idle && AddRuleHolds();
        actAddToBatch->setEnabled(addable);
        actReplaceToBatch->setEnabled(addable && SelectedBatchRow() >= 0);
        actConvertUpdate();
        actBarchClear->setEnabled(idle && !m_batch.Entries.empty());
        actBatchExecUpdate();
        // Commands that would change the list or open a modal dialog wait for the job.
        O1->setEnabled(idle);
        S1->setEnabled(idle);
        A1->setEnabled(idle);
        X1->setEnabled(idle);
    } catch (...) { // NOLINT(bugprone-empty-catch): an idle-time rule must never throw into Qt
    }
}

// ---- Single job ----

void TfrmMain::tvwDataKindChange(QTreeWidgetItem* node)
{
    if (node == nullptr || node->parent() == nullptr || ItemIndexOf(node) < 0) {
        return;
    }
    const driver::TCatalogueLine item = m_catalogue.Item(ItemIndexOf(node));
    const QString mask = SjisToQString(item.FileMask);
    m_openDialog1.Filter = QStringLiteral("国土数値情報(") + mask + QStringLiteral(")|") + mask +
                           QStringLiteral("|すべてのファイル(*.*)|*.*");
    StatusPanel0->setText(mask);
    edtSrcFile->clear();
    edtDscFile->clear();
    m_openDialog1.FileName.clear();
    m_saveDialog1.FileName.clear();
    // The extension added to a typed name follows the filter.
    m_saveDialog1.Filter = item.IsLedgerOnly() ? kFilterCsv : kFilterMif;
    m_saveDialog1.DefaultExt = item.IsLedgerOnly() ? QStringLiteral("csv") : QStringLiteral("mif");
}

void TfrmMain::actSrcBrowseExecute()
{
    const std::optional<QString> chosen = m_ui.GetOpenFileName(m_openDialog1);
    if (!chosen) {
        return;
    }
    m_openDialog1.FileName = *chosen;
    edtSrcFile->setText(*chosen);
    edtDscFile->setText(ChangeFileExt(*chosen, SelectedItemIsLedgerOnly() ? ".csv" : ".mif"));
}

void TfrmMain::actDstBrowseExecute()
{
    const std::optional<QString> chosen = m_ui.GetSaveFileName(m_saveDialog1);
    if (chosen) {
        m_saveDialog1.FileName = *chosen;
        edtDscFile->setText(*chosen);
    }
}

void TfrmMain::btnCmbBrowseClick()
{
    const std::optional<QString> chosen = m_ui.GetSaveFileName(m_saveDialog1);
    if (chosen) {
        m_saveDialog1.FileName = *chosen;
        edtConbineFile->setText(*chosen);
    }
}

bool TfrmMain::CheckInputs()
{
    if (!SelectedItemIndex()) {
        m_ui.Warning(kMsgSelectItem);
        return false;
    }
    if (!IsExistingFile(edtSrcFile->text())) {
        m_ui.Warning(kMsgBadSource);
        return false;
    }
    if (TrimBlanks(edtDscFile->text()).isEmpty()) {
        m_ui.Warning(kMsgBadDestination);
        return false;
    }
    return true;
}

void TfrmMain::actConvertExecute()
{
    if (m_busy || !CheckInputs()) {
        return;
    }
    bool converted = false;
    QString reason;
    const bool ran = Guard([&] {
        const TBusyScope busy(*this);
        const TWaitCursor wait;
        TGuiObserver observer(StatusPanel0, ProgressBar1, [this] { ProcessPendingEvents(); });
        const driver::TJobResult result =
            driver::ConvertDataItem(m_catalogue, *SelectedItemIndex(), ToPath(edtSrcFile->text()),
                                    ToPath(edtDscFile->text()), cboCoordSys->currentIndex(),
                                    observer, m_options.Converters);
        converted = result.Succeeded;
        if (result.Failure) {
            reason = ErrorText(*result.Failure);
        }
    });
    if (!ran) {
        return;
    }
    if (converted) {
        m_ui.Information(Utf8ToQString(base::kMsgConvertSucceeded));
    } else {
        m_ui.Warning(Utf8ToQString(base::kMsgConvertFailed), reason);
    }
    QCoreApplication::processEvents();
}

void TfrmMain::SetBusy(bool busy)
{
    m_busy = busy;
    if (busy) {
        m_focusBeforeJob = QApplication::focusWidget();
    }
    centralWidget()->setEnabled(!busy);
    UpdateActions();
    if (!busy && m_focusBeforeJob) {
        m_focusBeforeJob->setFocus();
    }
}

void TfrmMain::ProcessPendingEvents()
{
    UpdateActions();
    QCoreApplication::processEvents();
}

// ---- Batch list ----

bool TfrmMain::IsCombinable() const
{
    return batch::IsCombinable(m_batch.Entries);
}

void TfrmMain::UpdateCombineControls()
{
    const bool combinable = IsCombinable();
    chkCombine->setEnabled(combinable);
    edtConbineFile->setEnabled(combinable);
    btnCmbBrowse->setEnabled(combinable);
}

batch::TBatchEntry TfrmMain::EntryFromEditor() const
{
    batch::TBatchEntry entry;
    entry.ItemIndex = *SelectedItemIndex();
    entry.ItemName = m_catalogue.Item(entry.ItemIndex).ItemName;
    entry.SrcFile = edtSrcFile->text().toStdString();
    entry.DstFile = edtDscFile->text().toStdString();
    entry.CoordSysIndex = cboCoordSys->currentIndex();
    return entry;
}

void TfrmMain::ShowBatchRow(int row)
{
    const batch::TBatchEntry& entry = m_batch.Entries.at(static_cast<std::size_t>(row));
    QTreeWidgetItem* item = lvwBatch->topLevelItem(row);
    const QList<QIcon>& images = ImageList1();
    switch (entry.Status) {
    case batch::TEntryStatus::Converted:
        item->setIcon(0, images.at(kImageConverted));
        break;
    case batch::TEntryStatus::Failed:
        item->setIcon(0, images.at(kImageFailed));
        break;
    case batch::TEntryStatus::None:
        item->setIcon(0, QIcon());
        break;
    }
    item->setData(0, kItemIndexRole, QVariant::fromValue<qlonglong>(entry.ItemIndex));
    item->setText(1, SjisToQString(entry.ItemName));
    item->setText(2, Utf8ToQString(entry.SrcFile));
    item->setText(3, Utf8ToQString(entry.DstFile));
    item->setText(4, Utf8ToQString(shapes::CoordSysName(entry.CoordSysIndex)));
    const QString tip =
        entry.Status == batch::TEntryStatus::Failed ? Utf8ToQString(entry.FailReason) : QString();
    for (int column = 0; column < lvwBatch->columnCount(); ++column) {
        item->setToolTip(column, tip);
    }
}

void TfrmMain::RefreshBatchList()
{
    const int rows = static_cast<int>(m_batch.Entries.size());
    while (lvwBatch->topLevelItemCount() > rows) {
        delete lvwBatch->takeTopLevelItem(lvwBatch->topLevelItemCount() - 1);
    }
    while (lvwBatch->topLevelItemCount() < rows) {
        lvwBatch->addTopLevelItem(new QTreeWidgetItem());
    }
    for (int row = 0; row < rows; ++row) {
        ShowBatchRow(row);
    }
}

void TfrmMain::SelectBatchRow(int row)
{
    QTreeWidgetItem* item = lvwBatch->topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    lvwBatch->setCurrentItem(item);
    item->setSelected(true);
    lvwBatch->scrollToItem(item, QAbstractItemView::EnsureVisible);
}

void TfrmMain::actAddToBatchExecute()
{
    if (m_busy || !CheckInputs()) {
        return;
    }
    m_batch.Entries.push_back(EntryFromEditor());
    auto* row = new QTreeWidgetItem();
    lvwBatch->addTopLevelItem(row);
    ShowBatchRow(lvwBatch->topLevelItemCount() - 1);
    UpdateCombineControls();
}

void TfrmMain::actReplaceToBatchExecute()
{
    if (m_busy || !CheckInputs()) {
        return;
    }
    const int row = SelectedBatchRow();
    if (row < 0) {
        return;
    }
    m_batch.Entries.at(static_cast<std::size_t>(row)) = EntryFromEditor();
    ShowBatchRow(row);
    UpdateCombineControls();
}

void TfrmMain::btnRemoveClick()
{
    const int row = SelectedBatchRow();
    if (m_busy || row < 0) {
        return;
    }
    m_batch.Entries.erase(m_batch.Entries.begin() + row);
    delete lvwBatch->takeTopLevelItem(row);
    UpdateCombineControls();
}

void TfrmMain::actBarchClearExecute()
{
    if (m_busy) {
        return;
    }
    m_batch.Entries.clear();
    lvwBatch->clear();
    UpdateCombineControls();
}

void TfrmMain::lvwBatchDblClick()
{
    const int row = SelectedBatchRow();
    if (m_busy || row < 0) {
        return;
    }
    const batch::TBatchEntry entry = m_batch.Entries.at(static_cast<std::size_t>(row));
    for (QTreeWidgetItemIterator it(tvwDataKind); *it != nullptr; ++it) {
        if (ItemIndexOf(*it) == entry.ItemIndex && (*it)->parent() != nullptr) {
            tvwDataKind->setCurrentItem(*it);
            (*it)->setSelected(true);
            tvwDataKind->scrollToItem(*it);
        }
    }
    edtSrcFile->setText(Utf8ToQString(entry.SrcFile));
    edtDscFile->setText(Utf8ToQString(entry.DstFile));
    cboCoordSys->setCurrentIndex(static_cast<int>(entry.CoordSysIndex));
}

void TfrmMain::lvwBatchChange()
{
    const bool selected = SelectedBatchRow() >= 0;
    btnReplace->setEnabled(selected);
    btnRemove->setEnabled(selected);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lvwBatch->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Guard([this] { lvwBatchDblClick(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::S1Click()
{
    if (m_batch.Entries.empty()) {
        m_ui.Warning(Utf8ToQString(base::kMsgNoBatchList));
        return;
    }
    const std::optional<QString> chosen = m_ui.GetSaveFileName(m_saveDialog2);
    if (!chosen) {
        return;
    }
    m_saveDialog2.FileName = *chosen;
    batch::SaveBatchFile(ToPath(*chosen), m_batch);
}

void TfrmMain::O1Click()
{
    if (m_busy) {
        return;
    }
    const std::optional<QString> chosen = m_ui.GetOpenFileName(m_openDialog2);
    if (!chosen) {
        return;
    }
    m_openDialog2.FileName = *chosen;
    // The rows go before anything is read; whatever happens, the view and the merge controls
    // then show what was loaded.
    m_batch.Entries.clear();
    lvwBatch->clear();
    QString error;
    try {
        batch::LoadBatchFile(ToPath(*chosen), m_catalogue, m_batch);
    } catch (const batch::TBatchFileInvalid&) {
        error = Utf8ToQString(base::kMsgInvalidBatchList);
    } catch (const std::exception& e) {
        error = ErrorText(e);
    }
    chkCombine->setChecked(m_batch.Combine);
    edtConbineFile->setText(Utf8ToQString(m_batch.CombineFile));
    RefreshBatchList();
    UpdateCombineControls();
    lvwBatchChange();
    if (!error.isEmpty()) {
        m_ui.Error(error);
    }
}

void TfrmMain::actBatchExecExecute()
{
    if (m_busy) {
        return;
    }
    std::optional<std::string> warning;
    if (!Guard([&] { warning = batch::CheckBatchRun(m_catalogue, m_batch); })) {
        return;
    }
    if (warning) {
        m_ui.Warning(Utf8ToQString(*warning));
        return;
    }
    QString error;
    {
        const TBusyScope busy(*this);
        const TWaitCursor wait;
        for (batch::TBatchEntry& entry : m_batch.Entries) {
            entry.Status = batch::TEntryStatus::None;
            entry.FailReason.clear();
        }
        RefreshBatchList();
        TGuiObserver observer(StatusPanel0, ProgressBar1, [this] { ProcessPendingEvents(); });
        observer.OnRowSelected = [this](std::size_t row) {
            ProcessPendingEvents();
            SelectBatchRow(static_cast<int>(row));
            ProcessPendingEvents();
        };
        observer.OnRowFinished = [this](std::size_t row, const batch::TBatchEntry&) {
            ShowBatchRow(static_cast<int>(row));
        };
        try {
            batch::RunBatch(m_catalogue, m_batch, observer, 1, m_options.Converters);
        } catch (const std::exception& e) {
            error = ErrorText(e);
        }
        // Outcomes the runner recorded without reporting (a row stopped by an error).
        RefreshBatchList();
    }
    StatusPanel0->clear();
    m_ui.Information(Utf8ToQString(base::kMsgBatchFinished));
    QCoreApplication::processEvents();
    if (!error.isEmpty()) {
        m_ui.Error(error);
    }
}

// ---- Menu ----

void TfrmMain::K1Click()
{
    m_ui.OpenUrl(QUrl(kDownloadPage));
}

void TfrmMain::X1Click()
{
    close();
}

void TfrmMain::H2Click()
{
    if (!m_help) {
        m_help = new THelpWindow(m_options.HelpDir, this);
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
    if (auto* search = m_help->findChild<QLineEdit*>(QStringLiteral("edtSearch"))) {
        search->setFocus();
    }
}

void TfrmMain::A1Click()
{
    if (m_busy) {
        return;
    }
    TdlgAbout dialog(m_ui, this);
    dialog.lblVersion->setText(QStringLiteral("Version ") + GetFileVersionText());
    dialog.lblVersion->adjustSize();
    m_ui.ExecDialog(dialog);
}

} // namespace tolvane::app
