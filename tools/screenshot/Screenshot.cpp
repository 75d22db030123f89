// Takes the README's pictures of the main window: at its default size with the shipped Define
// folder loaded and a data item selected, and enlarged with a batch running; optionally also
// pictures of the About box and the help window. Not built by default:
//   cmake --build build --target tolvane_screenshot
//   tools/screenshot/take.sh            (a virtual display, a window manager and a neutral home)
// or by hand, under any display:
//   build/bin/tolvane_screenshot --home DIR main.png [batch.png [about.png [help.png]]]
// DIR holds the sources the pictures show (the shipped samples are used where it has none); the
// batch picture converts every "L03-18M-*-jgd.dat" of DIR into DIR/out.
#include <optional>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include "app/AboutDlg.h"
#include "app/AppResources.h"
#include "app/Help.h"
#include "app/MainFrm.h"
#include "app/UiServices.h"
#include "app/VersionInfo.h"

namespace {

// Shows nothing: the pictures need no boxes or dialogs.
class TSilentUi : public tolvane::app::TUiServices
{
public:
    void Warning(const QString&, const QString&) override {}
    void Error(const QString&) override {}
    void Information(const QString&, const QString&) override {}
    tolvane::app::TAnswer Question(const QString&, tolvane::app::TQuestion) override
    {
        return tolvane::app::TAnswer::No;
    }
    std::optional<QString> GetOpenFileName(const tolvane::app::TFileDialog&) override
    {
        return std::nullopt;
    }
    std::optional<QString> GetSaveFileName(const tolvane::app::TFileDialog&) override
    {
        return std::nullopt;
    }
    void OpenUrl(const QUrl&) override {}
    int ExecDialog(QDialog&) override { return 0; }
};

// The land-use item of 平成18年, or the first item of the tree.
QTreeWidgetItem* LandUseItem(QTreeWidget* tree)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* category = tree->topLevelItem(i);
        for (int j = 0; j < category->childCount(); ++j) {
            if (category->child(j)->text(0).contains(QStringLiteral("平成18年"))) {
                return category->child(j);
            }
        }
    }
    if (tree->topLevelItemCount() > 0 && tree->topLevelItem(0)->childCount() > 0) {
        return tree->topLevelItem(0)->child(0);
    }
    return nullptr;
}

template <class TWidget> TWidget* Child(QWidget& form, const char* name)
{
    return form.findChild<TWidget*>(QString::fromLatin1(name));
}

// The default size: an item selected, its source and destination, two jobs to be merged.
void PrepareMainPicture(tolvane::app::TfrmMain& form, const QString& home)
{
    auto* tree = Child<QTreeWidget>(form, "tvwDataKind");
    QTreeWidgetItem* chosen = tree != nullptr ? LandUseItem(tree) : nullptr;
    auto* src = Child<QLineEdit>(form, "edtSrcFile");
    auto* dst = Child<QLineEdit>(form, "edtDscFile");
    auto* add = Child<QAction>(form, "actAddToBatch");
    if (chosen == nullptr || src == nullptr || dst == nullptr || add == nullptr) {
        return;
    }
    tree->setFocus();
    tree->setCurrentItem(chosen);
    QString source = home + QStringLiteral("/L03-18M-13-jgd.dat");
    if (!QFileInfo::exists(source)) {
        source = QStringLiteral(TOLVANE_SAMPLES_DIR) + QStringLiteral("/L03-18M-13-jgd.dat");
    }
    src->setText(source);
    // The files say "-jgd": their coordinates are JGD2000, and the choice must say so.
    if (auto* coordSys = Child<QComboBox>(form, "cboCoordSys")) {
        coordSys->setCurrentIndex(2);
    }
    dst->setText(home + QStringLiteral("/out/L03-18M-13.mif"));
    form.UpdateActions();
    add->trigger();
    dst->setText(home + QStringLiteral("/out/L03-18M-13-copy.mif"));
    add->trigger();
    if (auto* combine = Child<QCheckBox>(form, "chkCombine")) {
        combine->setChecked(true);
    }
    if (auto* merged = Child<QLineEdit>(form, "edtConbineFile")) {
        merged->setText(home + QStringLiteral("/out/L03-18M-all.mif"));
    }
    dst->setText(home + QStringLiteral("/out/L03-18M-13.mif"));
    form.UpdateActions();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Tolvane Converter"));
    QApplication::setFont(tolvane::app::JapaneseGothicFont());
    QStringList args = QApplication::arguments().mid(1);
    QString home = QDir::homePath() + QStringLiteral("/ksj");
    if (args.size() >= 2 && args.at(0) == QStringLiteral("--home")) {
        home = args.at(1);
        args = args.mid(2);
    }
    const auto out = [&args](int index) {
        return index < args.size() ? args.at(index) : QString();
    };
    const QString mainPicture = out(0).isEmpty() ? QStringLiteral("screenshot.png") : out(0);

    TSilentUi ui;
    tolvane::app::TMainOptions options = tolvane::app::DefaultMainOptions();
    options.Settings = {}; // the pictures leave no settings behind
    tolvane::app::TfrmMain form(ui, options);
    form.show();
    PrepareMainPicture(form, home);

    int status = 1;
    QTimer::singleShot(500, &form, [&] {
        status = form.grab().save(mainPicture) ? 0 : 1;
        if (!out(1).isEmpty()) {
            // Enlarged, every land-use file of the home folder in the list, the batch running.
            auto* clear = Child<QAction>(form, "actBarchClear");
            clear->trigger();
            form.resize(1180, 700);
            QStringList files;
            const QDir dir(home);
            for (const QString& name :
                 dir.entryList({QStringLiteral("L03-18M-*-jgd.dat")}, QDir::Files, QDir::Name)) {
                files.append(dir.filePath(name));
            }
            dir.mkpath(QStringLiteral("out"));
            form.OpenFiles(files, true);
            if (auto* merged = Child<QLineEdit>(form, "edtConbineFile")) {
                merged->setText(home + QStringLiteral("/out/L03-18M-all.mif"));
            }
            if (auto* combine = Child<QCheckBox>(form, "chkCombine")) {
                combine->setChecked(true);
            }
            // The picture is taken while the third row is half converted.
            bool taken = false;
            QTimer watch;
            watch.setInterval(20);
            QObject::connect(&watch, &QTimer::timeout, &form, [&] {
                auto* row = Child<QLabel>(form, "StatusPanel1");
                auto* bar = Child<QProgressBar>(form, "ProgressBar1");
                if (!taken && row != nullptr && bar != nullptr &&
                    row->text().startsWith(QStringLiteral("3 / ")) && bar->isVisible() &&
                    bar->value() * 2 > bar->maximum()) {
                    taken = true;
                    status |= form.grab().save(out(1)) ? 0 : 1;
                }
            });
            watch.start();
            form.UpdateActions();
            form.actBatchExecExecute();
            watch.stop();
            status |= taken ? 0 : 1;
            form.resize(form.minimumSize());
        }
        if (!out(2).isEmpty()) {
            tolvane::app::TdlgAbout about(ui, &form);
            about.lblVersion->setText(QStringLiteral("Version ") +
                                      tolvane::app::GetFileVersionText());
            about.lblVersion->adjustSize();
            about.show();
            QApplication::processEvents();
            status |= about.grab().save(out(2)) ? 0 : 1;
        }
        if (!out(3).isEmpty()) {
            tolvane::app::THelpWindow help(tolvane::app::DefaultHelpDir());
            help.Search(QStringLiteral("統合"));
            help.show();
            QApplication::processEvents();
            status |= help.grab().save(out(3)) ? 0 : 1;
        }
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
