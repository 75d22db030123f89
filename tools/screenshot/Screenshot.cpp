// Takes the README's picture of the main window: the shipped Define folder loaded and a data
// item selected; optionally also pictures of the About box and the help window. Not built by
// default:
//   cmake --build build --target tolvane_screenshot
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bin/tolvane_screenshot docs/screenshot.png
// followed, if wanted, by the files for the About box and the help window.
#include <optional>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>

#include "app/AboutDlg.h"
#include "app/AppResources.h"
#include "app/Help.h"
#include "app/MainFrm.h"
#include "app/UiServices.h"
#include "app/VersionInfo.h"

namespace {

// Shows nothing: the picture needs no boxes or dialogs.
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

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Tolvane Converter"));
    QApplication::setFont(tolvane::app::JapaneseGothicFont());
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshot.png");

    TSilentUi ui;
    tolvane::app::TMainOptions options = tolvane::app::DefaultMainOptions();
    options.Settings = {}; // the picture leaves no settings behind
    tolvane::app::TfrmMain form(ui, options);
    form.show();

    // A land-use item, its shipped sample as the source and two jobs in the batch list.
    auto* tree = form.findChild<QTreeWidget*>(QStringLiteral("tvwDataKind"));
    QTreeWidgetItem* chosen = nullptr;
    if (tree != nullptr) {
        for (int i = 0; i < tree->topLevelItemCount() && chosen == nullptr; ++i) {
            QTreeWidgetItem* category = tree->topLevelItem(i);
            for (int j = 0; j < category->childCount(); ++j) {
                if (category->child(j)->text(0).contains(QStringLiteral("平成18年"))) {
                    chosen = category->child(j);
                    break;
                }
            }
        }
        if (chosen == nullptr && tree->topLevelItemCount() > 0 &&
            tree->topLevelItem(0)->childCount() > 0) {
            chosen = tree->topLevelItem(0)->child(0);
        }
        if (chosen != nullptr) {
            tree->setFocus();
            tree->setCurrentItem(chosen);
        }
    }
    const QString samples = QStringLiteral(TOLVANE_SAMPLES_DIR);
    auto* src = form.findChild<QLineEdit*>(QStringLiteral("edtSrcFile"));
    auto* dst = form.findChild<QLineEdit*>(QStringLiteral("edtDscFile"));
    auto* add = form.findChild<QAction*>(QStringLiteral("actAddToBatch"));
    if (chosen != nullptr && src != nullptr && dst != nullptr && add != nullptr &&
        QDir(samples).exists(QStringLiteral("L03-18M-13-jgd.dat"))) {
        src->setText(samples + QStringLiteral("/L03-18M-13-jgd.dat"));
        dst->setText(QStringLiteral("/home/gis/out/L03-18M-13.mif"));
        form.UpdateActions();
        add->trigger();
        dst->setText(QStringLiteral("/home/gis/out/L03-18M-13-copy.mif"));
        add->trigger();
        if (auto* combine = form.findChild<QCheckBox*>(QStringLiteral("chkCombine"))) {
            combine->setChecked(true);
        }
        if (auto* merged = form.findChild<QLineEdit*>(QStringLiteral("edtConbineFile"))) {
            merged->setText(QStringLiteral("/home/gis/out/L03-18M-all.mif"));
        }
        dst->setText(QStringLiteral("/home/gis/out/L03-18M-13.mif"));
        form.UpdateActions();
    }
    int status = 1;
    QTimer::singleShot(500, &form, [&] {
        status = form.grab().save(out) ? 0 : 1;
        if (argc > 2) {
            tolvane::app::TdlgAbout about(ui, &form);
            about.lblVersion->setText(QStringLiteral("Version ") +
                                      tolvane::app::GetFileVersionText());
            about.lblVersion->adjustSize();
            about.show();
            QApplication::processEvents();
            status |= about.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
        }
        if (argc > 3) {
            tolvane::app::THelpWindow help(tolvane::app::DefaultHelpDir());
            help.Search(QStringLiteral("統合"));
            help.show();
            QApplication::processEvents();
            status |= help.grab().save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
        }
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
