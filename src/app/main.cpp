// tolvane: the desktop program.
#include <exception>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include "app/AppResources.h"
#include "app/MainFrm.h"
#include "app/UiServices.h"
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

} // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
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
    return QApplication::exec();
}
