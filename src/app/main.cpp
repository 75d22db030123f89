// tolvane: the desktop program. "tolvane FILE…" opens the files as if they were dropped on the
// window; "--version" and "--help" answer on standard output without opening a window.
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QStringList>
#include <QTranslator>

#include "app/AppResources.h"
#include "app/MainFrm.h"
#include "app/UiServices.h"
#include "app/VersionInfo.h"
#include "app/uniQtText.h"

namespace {

// The last line of defence: an error that escaped a handler is shown, never let through the
// event loop.
class TApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(activeWindow(), QStringLiteral("エラー"),
                                  tolvane::app::ErrorText(e));
        } catch (...) {
            QMessageBox::critical(activeWindow(), QStringLiteral("エラー"),
                                  QStringLiteral("予期しないエラーが発生しました。"));
        }
        return false;
    }
};

const char* const kUsage =
    "使い方: tolvane [ファイル...]\n"
    "  Tolvane Converter のウィンドウを開きます。ファイルを指定すると、ウィンドウに\n"
    "  ドロップしたときと同じように扱います: バッチリストファイルは開き、1 つのファイルは\n"
    "  変換元に、複数のファイルはバッチリストの行にします。\n"
    "  --version  バージョンを表示して終了します。\n"
    "  --help     この説明を表示して終了します。\n"
    "  --         これより後の引数はすべてファイル名です。\n"
    "コマンドラインだけで変換するときは tolvane-cli を使います。\n";

// Answers --version and --help before any window system is needed; nothing for a normal start.
std::optional<int> AnswerWithoutWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0) {
            break;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("tolvane %s\n", tolvane::app::GetFileVersionText().toUtf8().constData());
            return 0;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    return std::nullopt;
}

// The file arguments left once Qt has taken its own options; nothing on an unknown option.
std::optional<QStringList> FileArguments(const QStringList& arguments)
{
    QStringList files;
    bool optionsEnd = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (!optionsEnd && arg == QStringLiteral("--")) {
            optionsEnd = true;
        } else if (!optionsEnd && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            std::fprintf(stderr, "tolvane: 不明なオプションです: %s\n%s", arg.toUtf8().constData(),
                         kUsage);
            return std::nullopt;
        } else {
            files.append(arg);
        }
    }
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = AnswerWithoutWindow(argc, argv)) {
        return *answered;
    }
    TApplication app(argc, argv);
    const std::optional<QStringList> files = FileArguments(QApplication::arguments());
    if (!files) {
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("tolvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tolvane Converter"));
    QApplication::setWindowIcon(tolvane::app::ProgramIcon());
    QApplication::setFont(tolvane::app::JapaneseGothicFont());

    // Qt's own texts (file dialogs, standard buttons) in Japanese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslator);
    }

    tolvane::app::TQtUiServices ui;
    tolvane::app::TfrmMain form(ui, tolvane::app::DefaultMainOptions());
    ui.SetParent(&form);
    form.show();
    if (!files->isEmpty()) {
        form.OpenFiles(*files, false);
    }
    return QApplication::exec();
}
