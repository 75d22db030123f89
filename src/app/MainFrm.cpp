// The main window.
#include "app/MainFrm.h"

#include <algorithm>
#include <exception>
#include <string>

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include "app/AboutDlg.h"
#include "app/AnchorLayout.h"
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
#include "driver/JobFiles.h"

namespace tolvane::app {

namespace {

// The design: a client area of 866 x 478 below the menu bar, the status bar (19 high) at its
// bottom; the window grows and shrinks from there.
constexpr int kClientWidth = 866;
constexpr int kClientHeight = 478;
constexpr int kStatusBarHeight = 19;
constexpr int kPanel0Width = 390;
constexpr int kPanel1Width = 50;
constexpr int kPaneHeight = kClientHeight - kStatusBarHeight;
// The two halves and the splitter between them: the editor up to x 392, the batch list from
// x 398.
constexpr int kLeftPaneWidth = 392;
constexpr int kSplitterHandle = 6;
constexpr int kRightPaneLeft = kLeftPaneWidth + kSplitterHandle;
constexpr int kRightPaneWidth = kClientWidth - kRightPaneLeft;
// The smallest halves: the tree and the batch list keep about six rows, every button its
// caption.
constexpr int kLeftPaneMinWidth = 296;
constexpr int kRightPaneMinWidth = 456;
constexpr int kPaneMinHeight = 294;
constexpr int kCancelButtonWidth = 64;

const QString kCaption = QStringLiteral("Tolvane Converter");
const QString kDownloadPage = QStringLiteral("https://nlftp.mlit.go.jp/ksj/");

const QString kMsgSelectItem = QStringLiteral("変換を行うデータ項目を選択してください。");
const QString kMsgBadSource = QStringLiteral("変換元のファイル名が不正です。");
const QString kMsgBadDestination = QStringLiteral("変換後のファイル名が不正です。");
const QString kAskCancel = QStringLiteral("変換を中止しますか？");
const QString kAskSaveList =
    QStringLiteral("バッチリストの変更が保存されていません。保存しますか？");

// Why a command is disabled.
const QString kWhyBusy = QStringLiteral("変換中です。");
const QString kWhyNoItem = QStringLiteral("データ項目が選択されていません。");
const QString kWhyCategory =
    QStringLiteral("分類が選択されています。その下のデータ項目を選択してください。");
const QString kWhyNoSource = QStringLiteral("変換元のファイル名がありません。");
const QString kWhySourceMissing = QStringLiteral("変換元のファイルが見つかりません。");
const QString kWhySourceNotFile = QStringLiteral("変換元がファイルではありません。");
const QString kWhyNoDestination = QStringLiteral("変換後のファイル名がありません。");
const QString kWhyLedgerOnly =
    QStringLiteral("台帳だけのデータ項目はバッチリストに追加できません（すぐに変換できます）。");
const QString kWhyNoRow = QStringLiteral("バッチリストの行が選択されていません。");
const QString kWhyEmptyList = QStringLiteral("バッチリストが空です。");
const QString kWhyNotCombinable =
    QStringLiteral("統合できるのは、同じデータ項目と同じ投影法の行が 2 行以上あるときだけです。");

// The dialogs' filters: description and pattern pairs joined by "|". The save dialogs offer
// one entry per output format.
const QString kFilterMif = QStringLiteral("MapInfo インポート/エクスポート (*.mif)|*.mif");
const QString kFilterCsv = QStringLiteral("CSVファイル (*.csv)|*.csv");
const QString kFilterGpkg = QStringLiteral("GeoPackage (*.gpkg)|*.gpkg");
const QString kFilterGeoJson = QStringLiteral("GeoJSON (*.geojson;*.json)|*.geojson;*.json");
const QString kFilterBatch =
    QStringLiteral("Tolvaneバッチファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*");

QString SourceFilter(const QString& mask)
{
    return QStringLiteral("国土数値情報(") + mask + QStringLiteral(")|") + mask +
           QStringLiteral("|すべてのファイル(*.*)|*.*");
}

// The formats written through GDAL, when this build has it.
bool HaveGdalFormats()
{
    return driver::CanWrite(driver::TOutputFormat::GeoPackage);
}

// The destination dialog's filter and default extension for an item: the MIF (the CSV of a
// ledger-only item) first and by default, then GeoPackage and GeoJSON (a ledger-only item's
// table goes into a GeoPackage; as GeoJSON it would only be the CSV).
void SetOutputFilter(TFileDialog& dialog, bool ledgerOnly)
{
    dialog.Filter = ledgerOnly ? kFilterCsv : kFilterMif;
    if (HaveGdalFormats()) {
        dialog.Filter += QLatin1Char('|') + kFilterGpkg;
        if (!ledgerOnly) {
            dialog.Filter += QLatin1Char('|') + kFilterGeoJson;
        }
    }
    dialog.DefaultExt = ledgerOnly ? QStringLiteral("csv") : QStringLiteral("mif");
}

const char* OutputExt(bool ledgerOnly)
{
    return ledgerOnly ? ".csv" : ".mif";
}

// Whether the destination `path` has an extension that the item's filter offers.
bool OffersExtension(const QString& path, bool ledgerOnly)
{
    const driver::TOutputFormat format = driver::OutputFormatOf(ToPath(path));
    if (format != driver::TOutputFormat::Mif) {
        return driver::CanWrite(format) &&
               (!ledgerOnly || format == driver::TOutputFormat::GeoPackage);
    }
    return path.endsWith(QString::fromLatin1(OutputExt(ledgerOnly)), Qt::CaseInsensitive);
}

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

QString FolderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
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

// Builds one half of the client area: each control at its design place (client coordinates)
// with the edges it follows.
class TPaneBuilder
{
public:
    TPaneBuilder(QSplitter* splitter, const char* name, int left, int width, int minWidth)
        : m_pane(new QWidget(splitter)), m_left(left)
    {
        m_pane->setObjectName(QString::fromLatin1(name));
        m_layout =
            new TAnchorLayout(m_pane, QSize(width, kPaneHeight), QSize(minWidth, kPaneMinHeight));
        splitter->addWidget(m_pane);
    }

    template <class TWidget>
    TWidget* Add(const char* name, int left, int top, int width, int height, unsigned anchors)
    {
        auto* widget = new TWidget(m_pane);
        widget->setObjectName(QString::fromLatin1(name));
        m_layout->AddWidget(widget, QRect(left - m_left, top, width, height), anchors);
        return widget;
    }

    QLabel* Label(const char* name, const QString& text, int left, int top, unsigned anchors)
    {
        auto* label = new QLabel(text, m_pane);
        label->setObjectName(QString::fromLatin1(name));
        label->adjustSize();
        m_layout->AddWidget(label, QRect(QPoint(left - m_left, top), label->size()), anchors);
        return label;
    }

private:
    QWidget* m_pane;
    TAnchorLayout* m_layout = nullptr;
    int m_left;
};

constexpr unsigned kAnchorLeftBottom = AnchorLeft | AnchorBottom;
constexpr unsigned kAnchorRightBottom = AnchorRight | AnchorBottom;
constexpr unsigned kAnchorWideBottom = AnchorLeft | AnchorRight | AnchorBottom;

// "m:ss", or "h:mm:ss" from an hour on.
QString ElapsedText(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    if (seconds >= 3600) {
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The second line of a successful job's box: what it wrote. Empty when the job reports no files.
QString WrittenSummary(const driver::TJobResult& result, bool ledgerOnly)
{
    if (result.Files.empty()) {
        return {};
    }
    QStringList parts;
    if (!ledgerOnly) {
        parts.append(QStringLiteral("図形 %L1 件").arg(result.Objects));
    }
    if (ledgerOnly || result.LedgerRows > 0) {
        parts.append(QStringLiteral("台帳 %L1 行").arg(result.LedgerRows));
    }
    QStringList names;
    for (const std::filesystem::path& file : result.Files) {
        names.append(PathToQString(file.filename()));
    }
    return parts.join(QStringLiteral("、")) + QStringLiteral("を書き出しました（") +
           names.join(QStringLiteral("、")) + QStringLiteral("）。");
}

// Local files among dropped URLs.
QStringList LocalFiles(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            files.append(url.toLocalFile());
        }
    }
    return files;
}

// The path columns of the batch list: two paths of one folder differ in their file names, so
// the folder gives way first.
class TPathDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // The style's own margins around the text.
        constexpr int kTextMargins = 8;
        option->text =
            ElidePath(option->text, option->fontMetrics, option->rect.width() - kTextMargins);
    }
};

} // namespace

QString ElidePath(const QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width) {
        return path;
    }
    const qsizetype slash =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const int folderRoom = width - metrics.horizontalAdvance(path.mid(slash));
    const QChar ellipsis(0x2026);
    if (slash > 0 && folderRoom >= 3 * metrics.horizontalAdvance(ellipsis)) {
        return metrics.elidedText(path.left(slash), Qt::ElideRight, folderRoom) + path.mid(slash);
    }
    // Not even the file name fits: a short head, and as much of the end as there is room for
    // (the names of one item share their beginning and differ towards their end).
    QString head = metrics.elidedText(path, Qt::ElideRight, std::max(width / 4, 0));
    if (!head.endsWith(ellipsis)) {
        head = QString(ellipsis);
    }
    const int tailRoom = width - metrics.horizontalAdvance(head);
    qsizetype tail = 0;
    while (tail < path.size() && metrics.horizontalAdvance(path.right(tail + 1)) <= tailRoom) {
        ++tail;
    }
    return head + path.right(tail);
}

std::vector<std::int64_t> ItemsForFile(const driver::TCatalogue& catalogue, const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    std::vector<std::int64_t> items;
    if (name.isEmpty()) {
        return items;
    }
    for (std::int64_t index = 0; index < catalogue.Count(); ++index) {
        const QString masks = SjisToQString(catalogue.Item(index).FileMask);
        for (const QString& mask : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QRegularExpression pattern(
                QRegularExpression::wildcardToRegularExpression(mask.trimmed()),
                QRegularExpression::CaseInsensitiveOption);
            if (pattern.match(name).hasMatch()) {
                items.push_back(index);
                break;
            }
        }
    }
    return items;
}

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
    options.Settings = DefaultSettingsLocation();
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
    setAcceptDrops(true);

    SetOutputFilter(m_saveDialog1, false);
    m_openDialog2.Filter = kFilterBatch;
    m_saveDialog2.Filter = kFilterBatch;
    m_saveDialog2.DefaultExt = QStringLiteral("txt");

    CreateActions();
    CreateMenu();
    CreateControls();
    ConnectHandlers();

    // The design size: the client area below the menu bar is 866 x 478. The layouts give the
    // smallest size.
    resize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);

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
        m_catalogue = driver::LoadCatalogue(m_options.DefineDir.empty() ? base::DefaultDefineDir()
                                                                        : m_options.DefineDir);
        FillDataKindTree(driver::BuildDataKindTree(m_catalogue.Lines()));
    } catch (const std::exception& e) {
        // Shown once the window is up; the tree stays empty, so nothing can be converted.
        const QString text = ErrorText(e);
        QTimer::singleShot(0, this, [this, text] { m_ui.Error(text); });
    }
    LoadWindowPlacement(*this, m_options.Settings);
    PlaceProgressBar();
    RestoreSession();
    UpdateActions();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (m_busy) {
        // The running job uses the window's lists and files until it returns: it is asked to
        // stop, and the window closes once it has.
        event->ignore();
        if (!m_closeAfterJob &&
            (m_cancelRequested || m_ui.Question(kAskCancel, TQuestion::YesNo) == TAnswer::Yes)) {
            m_cancelRequested = true;
            m_closeAfterJob = true;
        }
        return;
    }
    if (!ConfirmDiscardBatchList()) {
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
        SaveSession(m_savedSettings);
    } catch (...) { // NOLINT(bugprone-empty-catch): closing never fails over the settings
        m_savedSettings.clear();
    }
}

void TfrmMain::RestoreSession()
{
    const TSessionSettings session = ReadSessionSettings(SettingsFileToRead(m_options.Settings));
    m_openDialog1.Dir = session.SourceDir;
    m_saveDialog1.Dir = session.DestinationDir;
    m_openDialog2.Dir = session.BatchDir;
    m_saveDialog2.Dir = session.BatchDir;
    if (session.ItemIndex >= 0 && session.ItemIndex < m_catalogue.Count() &&
        SjisToQString(m_catalogue.Item(session.ItemIndex).ItemName) == session.ItemName) {
        SelectItemNode(session.ItemIndex);
    }
    if (session.CoordSys >= 0 && session.CoordSys < cboCoordSys->count()) {
        cboCoordSys->setCurrentIndex(session.CoordSys);
    }
    chkCombine->setChecked(session.Combine);
    edtConbineFile->setText(session.CombineFile);
    m_batchModified = false;
    m_recent = session.RecentBatchLists;
    while (m_recent.size() > kMaxRecentBatchLists) {
        m_recent.removeLast();
    }
    RebuildRecentMenu();
}

void TfrmMain::SaveSession(const QString& iniPath)
{
    if (iniPath.isEmpty()) {
        return;
    }
    TSessionSettings session;
    session.SourceDir = m_openDialog1.Dir;
    session.DestinationDir = m_saveDialog1.Dir;
    session.BatchDir = m_saveDialog2.Dir;
    if (const auto index = SelectedItemIndex(); index && *index < m_catalogue.Count()) {
        session.ItemIndex = *index;
        session.ItemName = SjisToQString(m_catalogue.Item(*index).ItemName);
    }
    session.CoordSys = cboCoordSys->currentIndex();
    session.Combine = chkCombine->isChecked();
    session.CombineFile = edtConbineFile->text();
    session.RecentBatchLists = m_recent;
    WriteSessionSettings(iniPath, session);
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
    actCancel = NewAction(this, "actCancel", QStringLiteral("中止"));
    actCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    actCancel->setToolTip(QStringLiteral("変換を中止します (Esc)"));
    actCancel->setEnabled(false);
    // Esc reaches it wherever the focus is in the window.
    addAction(actCancel);
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
    m_recentMenu = file->addMenu(QStringLiteral("最近使ったバッチリスト(&R)"));
    m_recentMenu->setObjectName(QStringLiteral("mnuRecent"));
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
    // The two halves side by side with a splitter; at the design size every control sits at
    // its design place, and the tree and the batch list take what the window grows by.
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("pnlClient"));
    m_splitter->setHandleWidth(kSplitterHandle);
    m_splitter->setChildrenCollapsible(false);
    setCentralWidget(m_splitter);
    TPaneBuilder left(m_splitter, "pnlEditor", 0, kLeftPaneWidth, kLeftPaneMinWidth);
    TPaneBuilder right(m_splitter, "pnlBatch", kRightPaneLeft, kRightPaneWidth, kRightPaneMinWidth);
    // The batch list's paths want the room more than the tree's names.
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 2);
    m_splitter->setSizes({kLeftPaneWidth, kRightPaneWidth});

    // Created in tab order, each label beside the control it names.
    left.Label("Label1", QStringLiteral("変換する国土数値情報のデータ項目"), 8, 8, AnchorTopLeft);
    tvwDataKind = left.Add<QTreeWidget>("tvwDataKind", 8, 24, 377, 265, AnchorAll);
    tvwDataKind->setHeaderHidden(true);
    tvwDataKind->setColumnCount(1);
    tvwDataKind->setIndentation(19);
    tvwDataKind->setIconSize(QSize(16, 16));
    tvwDataKind->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvwDataKind->setSelectionMode(QAbstractItemView::SingleSelection);

    left.Label("Label2", QStringLiteral("変換元のファイル名"), 8, 296, kAnchorLeftBottom);
    edtSrcFile = left.Add<QLineEdit>("edtSrcFile", 8, 312, 321, 20, kAnchorWideBottom);
    btnSrcBrows = left.Add<QPushButton>("btnSrcBrows", 336, 312, 49, 21, kAnchorRightBottom);
    left.Label("Label3", QStringLiteral("変換後のファイル名"), 8, 344, kAnchorLeftBottom);
    edtDscFile = left.Add<QLineEdit>("edtDscFile", 8, 360, 321, 20, kAnchorWideBottom);
    btnDscBrows = left.Add<QPushButton>("btnDscBrows", 336, 360, 49, 21, kAnchorRightBottom);
    left.Label("Label6", QStringLiteral("投影法"), 8, 392, kAnchorLeftBottom);
    cboCoordSys = left.Add<QComboBox>("cboCoordSys", 8, 408, 377, 20, kAnchorWideBottom);
    for (const shapes::TCoordSys& coordSys : shapes::kCoordSystems) {
        cboCoordSys->addItem(Utf8ToQString(coordSys.Name));
    }
    cboCoordSys->setCurrentIndex(0);
    btnAdd = left.Add<QPushButton>("btnAdd", 112, 432, 115, 21, kAnchorRightBottom);
    btnReplace = left.Add<QPushButton>("btnReplace", 232, 432, 57, 21, kAnchorRightBottom);
    btnConvert = left.Add<QPushButton>("btnConvert", 312, 432, 75, 21, kAnchorRightBottom);

    right.Label("Label4", QStringLiteral("バッチリスト"), 400, 8, AnchorTopLeft);
    lvwBatch = right.Add<QTreeWidget>("lvwBatch", 400, 24, 457, 337, AnchorAll);
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
    // Long texts are cut in the middle; the paths keep their file names.
    lvwBatch->setTextElideMode(Qt::ElideMiddle);
    auto* paths = new TPathDelegate(lvwBatch);
    lvwBatch->setItemDelegateForColumn(2, paths);
    lvwBatch->setItemDelegateForColumn(3, paths);
    lvwBatch->viewport()->installEventFilter(this);

    chkCombine = right.Add<QCheckBox>("chkCombine", 400, 368, 441, 17, kAnchorLeftBottom);
    chkCombine->setText(
        QStringLiteral("ファイルを統合する。（同一のデータ項目と投影法の変換時のみ使用可能）"));
    chkCombine->setEnabled(false);
    right.Label("Label5", QStringLiteral("統合後のファイル名"), 400, 392, kAnchorLeftBottom);
    edtConbineFile = right.Add<QLineEdit>("edtConbineFile", 400, 408, 401, 20, kAnchorWideBottom);
    edtConbineFile->setEnabled(false);
    btnCmbBrowse = right.Add<QPushButton>("btnCmbBrowse", 808, 408, 49, 21, kAnchorRightBottom);
    btnCmbBrowse->setText(QStringLiteral("参照"));
    btnCmbBrowse->setEnabled(false);
    btnClear = right.Add<QPushButton>("btnClear", 600, 432, 75, 21, kAnchorRightBottom);
    btnRemove = right.Add<QPushButton>("btnRemove", 680, 432, 75, 21, kAnchorRightBottom);
    btnRemove->setText(QStringLiteral("削除"));
    btnRemove->setEnabled(false);
    btnBatch = right.Add<QPushButton>("btnBatch", 760, 432, 99, 21, kAnchorRightBottom);

    // Files are dropped on the window, not typed into the edits as text.
    for (QLineEdit* edit : {edtSrcFile, edtDscFile, edtConbineFile}) {
        edit->setAcceptDrops(false);
    }

    BindAction(btnSrcBrows, actSrcBrowse);
    BindAction(btnDscBrows, actDstBrowse);
    BindAction(btnAdd, actAddToBatch);
    BindAction(btnReplace, actReplaceToBatch);
    BindAction(btnConvert, actConvert);
    BindAction(btnClear, actBarchClear);
    BindAction(btnBatch, actBatchExec);
    // A disabled control says why on hovering: in its tooltip and in the status bar.
    for (QWidget* widget : std::initializer_list<QWidget*>{
             btnSrcBrows, btnDscBrows, btnAdd, btnReplace, btnConvert, chkCombine, edtConbineFile,
             btnCmbBrowse, btnClear, btnRemove, btnBatch}) {
        widget->installEventFilter(this);
    }

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(kStatusBarHeight);
    setStatusBar(StatusBar1);
    StatusBar1->installEventFilter(this);
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    for (QLabel* panel : {StatusPanel0, StatusPanel1}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
    }
    ProgressBar1 = new QProgressBar(StatusBar1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();
    btnCancel = new QToolButton(StatusBar1);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setDefaultAction(actCancel);
    btnCancel->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnCancel->hide();
    m_clockTimer = new QTimer(this);
    m_clockTimer->setInterval(1000);
    connect(m_clockTimer, &QTimer::timeout, this, &TfrmMain::ShowBatchProgress);
    LayoutStatusBar();

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
    ProgressBar1->setParent(StatusBar1);
    LayoutStatusBar();
}

void TfrmMain::LayoutStatusBar()
{
    // Panel 0 at the left; the progress bar just right of it over panel 1 to the right edge.
    // While a batch runs panel 1 shows the row and the time before the progress bar, and while
    // any job runs the cancel button ends the bar.
    const int height = kStatusBarHeight - 2;
    StatusPanel0->setGeometry(0, 2, kPanel0Width, height);
    int left = kPanel0Width + 2;
    int right = StatusBar1->width();
    if (m_busy) {
        btnCancel->setGeometry(right - kCancelButtonWidth, 1, kCancelButtonWidth,
                               kStatusBarHeight - 1);
        right -= kCancelButtonWidth + 2;
    }
    const int panel1 =
        StatusPanel1->text().isEmpty()
            ? kPanel1Width
            : std::max(kPanel1Width,
                       StatusPanel1->fontMetrics().horizontalAdvance(StatusPanel1->text()) + 12);
    StatusPanel1->setGeometry(left, 2, panel1, height);
    if (!StatusPanel1->text().isEmpty()) {
        left += panel1 + 2;
    }
    ProgressBar1->setGeometry(left, 2, std::max(0, right - left), 16);
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
    connect(actCancel, &QAction::triggered, this, &TfrmMain::actCancelExecute);
    connect(btnRemove, &QPushButton::clicked, this,
            [this] { Guard([this] { btnRemoveClick(); }); });
    connect(btnCmbBrowse, &QPushButton::clicked, this,
            [this] { Guard([this] { btnCmbBrowseClick(); }); });
    connect(tvwDataKind, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = tvwDataKind->selectedItems();
        Guard([&] { tvwDataKindChange(selected.isEmpty() ? nullptr : selected.constFirst()); });
    });
    connect(lvwBatch, &QTreeWidget::itemSelectionChanged, this, &TfrmMain::lvwBatchChange);
    connect(chkCombine, &QCheckBox::toggled, this, [this](bool checked) {
        m_batch.Combine = checked;
        MarkBatchModified();
    });
    connect(edtConbineFile, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_batch.CombineFile = text.toStdString();
        MarkBatchModified();
    });
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
        actCancel->setEnabled(m_busy && !m_cancelRequested);
        // Commands that would change the list or open a modal dialog wait for the job.
        O1->setEnabled(idle);
        S1->setEnabled(idle);
        A1->setEnabled(idle);
        X1->setEnabled(idle);
        m_recentMenu->setEnabled(idle && !m_recent.isEmpty());
        UpdateDisabledReasons();
    } catch (...) { // NOLINT(bugprone-empty-catch): an idle-time rule must never throw into Qt
    }
}

QString TfrmMain::DisabledReason(const QObject* command) const
{
    if (m_busy) {
        return command == actCancel ? QString() : kWhyBusy;
    }
    const auto itemWhy = [this]() -> QString {
        if (SelectedItemIndex()) {
            return {};
        }
        return tvwDataKind->selectedItems().isEmpty() ? kWhyNoItem : kWhyCategory;
    };
    if (command == actSrcBrowse || command == actDstBrowse) {
        return itemWhy();
    }
    if (command == actConvert || command == actAddToBatch || command == actReplaceToBatch) {
        if (QString why = itemWhy(); !why.isEmpty()) {
            return why;
        }
        const QString src = edtSrcFile->text();
        if (src.isEmpty()) {
            return kWhyNoSource;
        }
        if (!QFileInfo::exists(src)) {
            return kWhySourceMissing;
        }
        if (!IsExistingFile(src)) {
            return kWhySourceNotFile;
        }
        if (edtDscFile->text().isEmpty()) {
            return kWhyNoDestination;
        }
        if (command != actConvert && SelectedItemIsLedgerOnly()) {
            return kWhyLedgerOnly;
        }
        if (command == actReplaceToBatch && SelectedBatchRow() < 0) {
            return kWhyNoRow;
        }
        return {};
    }
    if (command == actBarchClear || command == actBatchExec) {
        return m_batch.Entries.empty() ? kWhyEmptyList : QString();
    }
    if (command == btnRemove) {
        return SelectedBatchRow() < 0 ? kWhyNoRow : QString();
    }
    if (command == chkCombine || command == edtConbineFile || command == btnCmbBrowse) {
        return IsCombinable() ? QString() : kWhyNotCombinable;
    }
    return {};
}

void TfrmMain::UpdateDisabledReasons()
{
    const std::pair<QWidget*, const QObject*> controls[] = {
        {btnSrcBrows, actSrcBrowse},      {btnDscBrows, actDstBrowse},  {btnAdd, actAddToBatch},
        {btnReplace, actReplaceToBatch},  {btnConvert, actConvert},     {btnClear, actBarchClear},
        {btnBatch, actBatchExec},         {btnRemove, btnRemove},       {chkCombine, chkCombine},
        {edtConbineFile, edtConbineFile}, {btnCmbBrowse, btnCmbBrowse},
    };
    for (const auto& [widget, command] : controls) {
        const QString tip = widget->isEnabled() ? QString() : DisabledReason(command);
        if (widget->toolTip() != tip) {
            widget->setToolTip(tip);
        }
    }
}

void TfrmMain::ShowStatus(const QString& text)
{
    StatusPanel0->setText(text);
    StatusPanel0->setToolTip(text);
}

// ---- Single job ----

bool TfrmMain::SelectItemNode(std::int64_t index)
{
    for (QTreeWidgetItemIterator it(tvwDataKind); *it != nullptr; ++it) {
        if ((*it)->parent() != nullptr && ItemIndexOf(*it) == index) {
            tvwDataKind->setCurrentItem(*it);
            (*it)->setSelected(true);
            tvwDataKind->scrollToItem(*it);
            return true;
        }
    }
    return false;
}

void TfrmMain::tvwDataKindChange(QTreeWidgetItem* node)
{
    if (node == nullptr || node->parent() == nullptr || ItemIndexOf(node) < 0) {
        return;
    }
    const driver::TCatalogueLine item = m_catalogue.Item(ItemIndexOf(node));
    const QString mask = SjisToQString(item.FileMask);
    m_openDialog1.Filter = SourceFilter(mask);
    ShowStatus(mask);
    // The paths stay while the source still fits the item (its file mask); the destination
    // then takes the item's extension. Otherwise both are emptied.
    const QString src = edtSrcFile->text();
    const auto items = ItemsForFile(m_catalogue, src);
    const bool fits =
        !src.isEmpty() && std::find(items.begin(), items.end(), ItemIndexOf(node)) != items.end();
    if (fits) {
        const QString dst = edtDscFile->text();
        if (!dst.isEmpty() && !OffersExtension(dst, item.IsLedgerOnly())) {
            edtDscFile->setText(ChangeFileExt(dst, OutputExt(item.IsLedgerOnly())));
        }
    } else {
        edtSrcFile->clear();
        edtDscFile->clear();
    }
    m_openDialog1.FileName.clear();
    m_saveDialog1.FileName.clear();
    // The extension added to a typed name follows the filter.
    SetOutputFilter(m_saveDialog1, item.IsLedgerOnly());
}

void TfrmMain::SuggestItemForSource(const QString& path)
{
    const std::vector<std::int64_t> items = ItemsForFile(m_catalogue, path);
    const auto name = [this](std::int64_t index) {
        return QStringLiteral("「") + SjisToQString(m_catalogue.Item(index).ItemName) +
               QStringLiteral("」");
    };
    if (items.size() == 1) {
        if (SelectedItemIndex() != items.front()) {
            SelectItemNode(items.front());
            ShowStatus(QStringLiteral("ファイル名からデータ項目%1を選択しました。")
                           .arg(name(items.front())));
        } else {
            ShowStatus(
                QStringLiteral("ファイル名はデータ項目%1のものです。").arg(name(items.front())));
        }
        return;
    }
    if (items.empty()) {
        ShowStatus(QStringLiteral("ファイル名に当てはまるデータ項目はありません。"));
        return;
    }
    QStringList names;
    for (const std::int64_t index : items) {
        names.append(name(index));
    }
    ShowStatus(QStringLiteral("ファイル名は%1に当てはまります。データ項目を選択してください。")
                   .arg(names.join(QStringLiteral("、"))));
}

void TfrmMain::UseAsSource(const QString& path)
{
    edtSrcFile->setText(path);
    SuggestItemForSource(path);
    m_openDialog1.FileName = path;
    m_openDialog1.Dir = FolderOf(path);
    edtDscFile->setText(ChangeFileExt(path, OutputExt(SelectedItemIsLedgerOnly())));
}

void TfrmMain::actSrcBrowseExecute()
{
    const std::optional<QString> chosen = m_ui.GetOpenFileName(m_openDialog1);
    if (chosen) {
        UseAsSource(*chosen);
    }
}

void TfrmMain::actDstBrowseExecute()
{
    const std::optional<QString> chosen = m_ui.GetSaveFileName(m_saveDialog1);
    if (chosen) {
        m_saveDialog1.FileName = *chosen;
        m_saveDialog1.Dir = FolderOf(*chosen);
        edtDscFile->setText(*chosen);
    }
}

void TfrmMain::btnCmbBrowseClick()
{
    const std::optional<QString> chosen = m_ui.GetSaveFileName(m_saveDialog1);
    if (chosen) {
        m_saveDialog1.FileName = *chosen;
        m_saveDialog1.Dir = FolderOf(*chosen);
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
    m_openDialog1.Dir = FolderOf(edtSrcFile->text());
    m_saveDialog1.Dir = FolderOf(edtDscFile->text());
    const bool ledgerOnly = SelectedItemIsLedgerOnly();
    driver::TJobResult result;
    bool cancelled = false;
    const bool ran = Guard([&] {
        const TBusyScope busy(*this);
        const TWaitCursor wait;
        TGuiObserver observer(StatusPanel0, ProgressBar1, [this] { ProcessPendingEvents(); });
        observer.IsCancelRequested = [this] { return m_cancelRequested; };
        try {
            result = driver::ConvertDataItem(m_catalogue, *SelectedItemIndex(),
                                             ToPath(edtSrcFile->text()), ToPath(edtDscFile->text()),
                                             cboCoordSys->currentIndex(), observer,
                                             m_options.Converters);
        } catch (const base::TJobCancelled&) {
            cancelled = true;
        }
    });
    if (ran) {
        if (cancelled) {
            m_ui.Information(Utf8ToQString(base::kMsgConvertCancelled));
        } else if (result.Succeeded) {
            m_ui.Information(Utf8ToQString(base::kMsgConvertSucceeded),
                             WrittenSummary(result, ledgerOnly));
        } else {
            m_ui.Warning(Utf8ToQString(base::kMsgConvertFailed),
                         result.Failure ? ErrorText(*result.Failure) : QString());
        }
        // What the input checks noticed stays in the status bar.
        QStringList warnings;
        for (const std::string& warning : result.Warnings) {
            warnings.append(Utf8ToQString(warning));
        }
        if (!warnings.isEmpty()) {
            ShowStatus(warnings.join(QLatin1Char(' ')));
        }
    }
    FinishJob();
}

void TfrmMain::actCancelExecute()
{
    if (!m_busy || m_cancelRequested) {
        return;
    }
    if (m_ui.Question(kAskCancel, TQuestion::YesNo) == TAnswer::Yes) {
        // The job stops at its next pump point.
        m_cancelRequested = true;
        UpdateActions();
    }
}

void TfrmMain::SetBusy(bool busy)
{
    m_busy = busy;
    if (busy) {
        m_focusBeforeJob = QApplication::focusWidget();
        m_cancelRequested = false;
        m_jobClock.start();
    }
    centralWidget()->setEnabled(!busy);
    btnCancel->setVisible(busy);
    if (!busy) {
        StatusPanel1->clear();
    }
    LayoutStatusBar();
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

void TfrmMain::ShowBatchProgress()
{
    if (!m_batchRunning) {
        return;
    }
    StatusPanel1->setText(QStringLiteral("%1 / %2  %3")
                              .arg(m_batchRow + 1)
                              .arg(m_batch.Entries.size())
                              .arg(ElapsedText(m_jobClock.elapsed())));
    LayoutStatusBar();
}

void TfrmMain::FinishJob()
{
    QCoreApplication::processEvents();
    if (m_closeAfterJob) {
        // The user closed the window during the job and agreed to stop it.
        m_closeAfterJob = false;
        close();
    }
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
    const QString src = Utf8ToQString(entry.SrcFile);
    const QString dst = Utf8ToQString(entry.DstFile);
    item->setText(1, SjisToQString(entry.ItemName));
    item->setText(2, src);
    item->setText(3, dst);
    item->setText(4, Utf8ToQString(shapes::CoordSysName(entry.CoordSysIndex)));
    // The paths show whole in their tooltips, with the reason of a failed row and what the
    // input checks noticed.
    QString reason =
        entry.Status == batch::TEntryStatus::Failed ? Utf8ToQString(entry.FailReason) : QString();
    if (entry.Result) {
        for (const std::string& warning : entry.Result->Warnings) {
            reason +=
                (reason.isEmpty() ? QString() : QStringLiteral("\n")) + Utf8ToQString(warning);
        }
    }
    const auto withReason = [&reason](const QString& text) {
        return reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
    };
    item->setToolTip(0, reason);
    item->setToolTip(1, withReason(SjisToQString(entry.ItemName)));
    item->setToolTip(2, withReason(src));
    item->setToolTip(3, withReason(dst));
    item->setToolTip(4, reason);
}

void TfrmMain::RefreshBatchList()
{
    const int rows = static_cast<int>(m_batch.Entries.size());
    while (lvwBatch->topLevelItemCount() > rows) {
        delete lvwBatch->takeTopLevelItem(lvwBatch->topLevelItemCount() - 1);
    }
    if (lvwBatch->topLevelItemCount() < rows) {
        QList<QTreeWidgetItem*> added;
        for (int row = lvwBatch->topLevelItemCount(); row < rows; ++row) {
            added.append(new QTreeWidgetItem());
        }
        lvwBatch->addTopLevelItems(added);
    }
    for (int row = 0; row < rows; ++row) {
        ShowBatchRow(row);
    }
    FitBatchColumns();
}

void TfrmMain::FitBatchColumns()
{
    // The item and the coordinate system as wide as their texts; the two paths share the rest,
    // each as wide as its longest path while there is room, and cut in the middle when not.
    constexpr int kIconColumn = 18;
    constexpr int kLeast[] = {kIconColumn, 90, 110, 110, 110};
    // The texts of a very long list are measured on its first rows only.
    constexpr int kRowsMeasured = 2000;
    constexpr int kCellPadding = 12;
    const QFontMetrics metrics = lvwBatch->fontMetrics();
    const int rows = std::min(lvwBatch->topLevelItemCount(), kRowsMeasured);
    const auto natural = [&](int column) {
        int width = std::max(kLeast[column], lvwBatch->header()->sectionSizeHint(column));
        for (int row = 0; row < rows; ++row) {
            width = std::max(width,
                             metrics.horizontalAdvance(lvwBatch->topLevelItem(row)->text(column)) +
                                 kCellPadding);
        }
        return width;
    };
    const int coord = natural(4);
    const int src = natural(2);
    const int dst = natural(3);
    // Short of room, the item's name gives way first (down to its least width), then the
    // paths share what is left.
    constexpr int kPathRoom = 100;
    const int rest = lvwBatch->viewport()->width() - kIconColumn - coord;
    const int item = std::clamp(rest - std::min(src, kPathRoom) - std::min(dst, kPathRoom),
                                kLeast[1], std::max(kLeast[1], natural(1)));
    const int room = rest - item;
    int srcWidth = src;
    int dstWidth = dst;
    if (src + dst > room) {
        const int half = room / 2;
        if (src <= half) {
            dstWidth = room - src;
        } else if (dst <= half) {
            srcWidth = room - dst;
        } else {
            srcWidth = half;
            dstWidth = room - half;
        }
        srcWidth = std::max(kPathRoom / 2, srcWidth);
        dstWidth = std::max(kPathRoom / 2, dstWidth);
    }
    const int widths[] = {kIconColumn, item, srcWidth, dstWidth, coord};
    for (int column = 0; column < 5; ++column) {
        lvwBatch->setColumnWidth(column, widths[column]);
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
    m_openDialog1.Dir = FolderOf(edtSrcFile->text());
    m_batch.Entries.push_back(EntryFromEditor());
    RefreshBatchList();
    UpdateCombineControls();
    MarkBatchModified();
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
    FitBatchColumns();
    UpdateCombineControls();
    MarkBatchModified();
}

void TfrmMain::btnRemoveClick()
{
    const int row = SelectedBatchRow();
    if (m_busy || row < 0) {
        return;
    }
    m_batch.Entries.erase(m_batch.Entries.begin() + row);
    delete lvwBatch->takeTopLevelItem(row);
    FitBatchColumns();
    UpdateCombineControls();
    MarkBatchModified();
}

void TfrmMain::actBarchClearExecute()
{
    if (m_busy || !ConfirmDiscardBatchList()) {
        return;
    }
    m_batch.Entries.clear();
    lvwBatch->clear();
    FitBatchColumns();
    UpdateCombineControls();
    m_batchModified = false;
}

void TfrmMain::AddFilesToBatch(const QStringList& paths)
{
    std::optional<std::int64_t> item = SelectedItemIndex();
    if (!item) {
        const std::vector<std::int64_t> items = ItemsForFile(m_catalogue, paths.constFirst());
        if (items.size() == 1 && SelectItemNode(items.front())) {
            item = items.front();
        }
    }
    if (!item) {
        ShowStatus(QStringLiteral("行を追加するデータ項目を選択してください。"));
        return;
    }
    if (SelectedItemIsLedgerOnly()) {
        ShowStatus(kWhyLedgerOnly);
        return;
    }
    for (const QString& path : paths) {
        batch::TBatchEntry entry;
        entry.ItemIndex = *item;
        entry.ItemName = m_catalogue.Item(*item).ItemName;
        entry.SrcFile = path.toStdString();
        entry.DstFile = ChangeFileExt(path, ".mif").toStdString();
        entry.CoordSysIndex = cboCoordSys->currentIndex();
        m_batch.Entries.push_back(std::move(entry));
    }
    m_openDialog1.Dir = FolderOf(paths.constLast());
    RefreshBatchList();
    UpdateCombineControls();
    MarkBatchModified();
    ShowStatus(QStringLiteral("%1 行をバッチリストに追加しました。").arg(paths.size()));
}

void TfrmMain::OpenFiles(const QStringList& paths, bool onBatchList)
{
    if (m_busy) {
        return;
    }
    QStringList files;
    QStringList skipped;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isFile()) {
            files.append(info.absoluteFilePath());
        } else {
            skipped.append(QDir::toNativeSeparators(path));
        }
    }
    if (!skipped.isEmpty()) {
        ShowStatus(QStringLiteral("ファイルではないか、見つかりません: ") +
                   skipped.join(QStringLiteral("、")));
    }
    if (files.isEmpty()) {
        return;
    }
    for (const QString& file : files) {
        if (batch::IsBatchListFile(ToPath(file))) {
            if (ConfirmDiscardBatchList()) {
                OpenBatchFile(file);
            }
            return;
        }
    }
    if (files.size() == 1 && !onBatchList) {
        UseAsSource(files.constFirst());
    } else {
        AddFilesToBatch(files);
    }
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
    if (watched == lvwBatch->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            Guard([this] { lvwBatchDblClick(); });
            return true;
        }
        if (event->type() == QEvent::Resize) {
            FitBatchColumns();
        }
    } else if (watched == StatusBar1) {
        if (event->type() == QEvent::Resize) {
            LayoutStatusBar();
        }
    } else if (auto* widget = qobject_cast<QWidget*>(watched)) {
        // A disabled control names in the status bar what it is missing while the pointer is
        // over it.
        if (event->type() == QEvent::Enter && !widget->isEnabled() &&
            !widget->toolTip().isEmpty()) {
            m_statusBeforeHover = StatusPanel0->text();
            m_hoverText = widget->toolTip();
            StatusPanel0->setText(m_hoverText);
        } else if (event->type() == QEvent::Leave && !m_hoverText.isEmpty()) {
            if (StatusPanel0->text() == m_hoverText) {
                StatusPanel0->setText(m_statusBeforeHover);
            }
            m_hoverText.clear();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_busy && !LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TfrmMain::dragMoveEvent(QDragMoveEvent* event)
{
    if (!m_busy && !LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TfrmMain::dropEvent(QDropEvent* event)
{
    const QStringList files = LocalFiles(event->mimeData());
    if (m_busy || files.isEmpty()) {
        event->ignore();
        return;
    }
    const QPoint at = lvwBatch->mapFrom(this, event->position().toPoint());
    const bool onBatchList = lvwBatch->rect().contains(at);
    event->acceptProposedAction();
    // Questions and boxes wait until the drag has ended.
    QTimer::singleShot(
        0, this, [this, files, onBatchList] { Guard([&] { OpenFiles(files, onBatchList); }); });
}

bool TfrmMain::ConfirmDiscardBatchList()
{
    if (m_batch.Entries.empty() || !m_batchModified) {
        return true;
    }
    switch (m_ui.Question(kAskSaveList, TQuestion::YesNoCancel)) {
    case TAnswer::Yes:
        try {
            return S1Click();
        } catch (const std::exception& e) {
            m_ui.Error(ErrorText(e));
            return false;
        }
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        break;
    }
    return false;
}

bool TfrmMain::S1Click()
{
    if (m_batch.Entries.empty()) {
        m_ui.Warning(Utf8ToQString(base::kMsgNoBatchList));
        return false;
    }
    const std::optional<QString> chosen = m_ui.GetSaveFileName(m_saveDialog2);
    if (!chosen) {
        return false;
    }
    m_saveDialog2.FileName = *chosen;
    batch::SaveBatchFile(ToPath(*chosen), m_batch);
    m_batchModified = false;
    m_saveDialog2.Dir = FolderOf(*chosen);
    m_openDialog2.Dir = m_saveDialog2.Dir;
    AddRecent(*chosen);
    return true;
}

void TfrmMain::O1Click()
{
    if (m_busy || !ConfirmDiscardBatchList()) {
        return;
    }
    const std::optional<QString> chosen = m_ui.GetOpenFileName(m_openDialog2);
    if (chosen) {
        OpenBatchFile(*chosen);
    }
}

bool TfrmMain::OpenBatchFile(const QString& path)
{
    // Read into a list of its own: the current list goes only when the whole file was read.
    batch::TBatchList loaded;
    QString error;
    try {
        batch::LoadBatchFile(ToPath(path), m_catalogue, loaded);
    } catch (const batch::TBatchFileInvalid&) {
        error = Utf8ToQString(base::kMsgInvalidBatchList);
    } catch (const std::exception& e) {
        error = ErrorText(e);
    }
    if (!error.isEmpty()) {
        m_ui.Error(error);
        return false;
    }
    m_batch = std::move(loaded);
    chkCombine->setChecked(m_batch.Combine);
    edtConbineFile->setText(Utf8ToQString(m_batch.CombineFile));
    RefreshBatchList();
    UpdateCombineControls();
    lvwBatchChange();
    m_batchModified = false;
    m_openDialog2.FileName = path;
    m_openDialog2.Dir = FolderOf(path);
    m_saveDialog2.Dir = m_openDialog2.Dir;
    AddRecent(path);
    return true;
}

void TfrmMain::AddRecent(const QString& path)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    m_recent.removeAll(file);
    m_recent.prepend(file);
    while (m_recent.size() > kMaxRecentBatchLists) {
        m_recent.removeLast();
    }
    RebuildRecentMenu();
}

void TfrmMain::RebuildRecentMenu()
{
    m_recentMenu->clear();
    for (qsizetype i = 0; i < m_recent.size(); ++i) {
        const QString file = m_recent.at(i);
        QString shown = QDir::toNativeSeparators(file);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        constexpr int kMenuTextWidth = 480;
        shown = m_recentMenu->fontMetrics().elidedText(shown, Qt::ElideMiddle, kMenuTextWidth);
        QAction* action = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        action->setToolTip(file);
        connect(action, &QAction::triggered, this, [this, file] {
            if (m_busy) {
                return;
            }
            if (!QFileInfo(file).isFile()) {
                // Gone since: say so, and forget it.
                m_recent.removeAll(file);
                RebuildRecentMenu();
                OpenBatchFile(file);
                return;
            }
            if (ConfirmDiscardBatchList()) {
                OpenBatchFile(file);
            }
        });
    }
    m_recentMenu->setEnabled(!m_recent.isEmpty() && !m_busy);
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
    bool cancelled = false;
    {
        const TBusyScope busy(*this);
        const TWaitCursor wait;
        for (batch::TBatchEntry& entry : m_batch.Entries) {
            entry.Status = batch::TEntryStatus::None;
            entry.FailReason.clear();
        }
        RefreshBatchList();
        m_batchRunning = true;
        m_batchRow = 0;
        ShowBatchProgress();
        m_clockTimer->start();
        TGuiObserver observer(StatusPanel0, ProgressBar1, [this] { ProcessPendingEvents(); });
        observer.IsCancelRequested = [this] { return m_cancelRequested; };
        observer.OnRowSelected = [this](std::size_t row) {
            m_batchRow = std::min(row, m_batch.Entries.size() - 1);
            ShowBatchProgress();
            ProcessPendingEvents();
            SelectBatchRow(static_cast<int>(row));
            ProcessPendingEvents();
        };
        observer.OnRowFinished = [this](std::size_t row, const batch::TBatchEntry&) {
            ShowBatchRow(static_cast<int>(row));
        };
        try {
            batch::RunBatch(m_catalogue, m_batch, observer, 1, m_options.Converters);
        } catch (const base::TJobCancelled&) {
            cancelled = true;
        } catch (const std::exception& e) {
            error = ErrorText(e);
        }
        m_clockTimer->stop();
        m_batchRunning = false;
        // Outcomes the runner recorded without reporting (a row stopped by an error).
        RefreshBatchList();
    }
    StatusPanel0->clear();
    // What the input checks noticed stays in the status bar, row by row.
    QStringList noticed;
    for (std::size_t row = 0; row < m_batch.Entries.size(); ++row) {
        if (const auto& result = m_batch.Entries[row].Result) {
            for (const std::string& text : result->Warnings) {
                noticed.append(QStringLiteral("%1 行目: ").arg(row + 1) + Utf8ToQString(text));
            }
        }
    }
    if (!noticed.isEmpty()) {
        ShowStatus(noticed.join(QLatin1Char(' ')));
    }

    std::size_t converted = 0;
    std::size_t failed = 0;
    std::optional<std::size_t> stoppedAt;
    for (std::size_t row = 0; row < m_batch.Entries.size(); ++row) {
        switch (m_batch.Entries[row].Status) {
        case batch::TEntryStatus::Converted:
            ++converted;
            break;
        case batch::TEntryStatus::Failed:
            ++failed;
            break;
        case batch::TEntryStatus::None:
            if (!stoppedAt) {
                stoppedAt = row;
            }
            break;
        }
    }
    const std::size_t notRun = m_batch.Entries.size() - converted - failed;
    QString counts = QStringLiteral("変換 %1 件、失敗 %2 件").arg(converted).arg(failed);
    if (notRun > 0) {
        counts += QStringLiteral("、未変換 %1 件").arg(notRun);
    }
    counts += QStringLiteral("。");
    if (cancelled) {
        m_ui.Information(Utf8ToQString(base::kMsgConvertCancelled), counts);
    } else if (!error.isEmpty() && stoppedAt) {
        // A row that cannot start stops the batch: the row and why, and nothing merged.
        const batch::TBatchEntry& entry = m_batch.Entries[*stoppedAt];
        m_ui.Error(QStringLiteral("%1 行目（%2）を変換できないため、バッチ変換を中止しました。")
                       .arg(*stoppedAt + 1)
                       .arg(SjisToQString(entry.ItemName)) +
                   QLatin1Char('\n') + error + QLatin1Char('\n') + counts);
        SelectBatchRow(static_cast<int>(*stoppedAt));
    } else if (!error.isEmpty()) {
        m_ui.Error(QStringLiteral("ファイルの統合を中止しました。") + QLatin1Char('\n') + error +
                   QLatin1Char('\n') + counts);
    } else {
        if (batch::MergeRequested(m_batch)) {
            counts += QStringLiteral("\n統合後のファイル: ") +
                      QDir::toNativeSeparators(Utf8ToQString(m_batch.CombineFile));
        }
        m_ui.Information(Utf8ToQString(base::kMsgBatchFinished), counts);
    }
    FinishJob();
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
        QString helpDir = m_options.HelpDir;
        if (helpDir.isEmpty() && !Guard([&] { helpDir = DefaultHelpDir(); })) {
            return;
        }
        m_help = new THelpWindow(helpDir, this);
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
