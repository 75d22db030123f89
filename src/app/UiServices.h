// Message boxes, file dialogs and the shell, behind one small interface: the window uses it
// for every box and dialog, and the tests replace it with a scripted fake.
#pragma once

#include <optional>

#include <QString>
#include <QStringList>
#include <QUrl>

class QDialog;
class QWidget;

namespace tolvane::app {

/// What a file dialog remembers between runs: the filter as description and pattern pairs
/// joined by "|" ("CSVファイル (*.csv)|*.csv"), the extension added to a name typed without one,
/// the file name chosen last (cleared when another data item is selected), and the folder it
/// opens in when there is no such name.
struct TFileDialog
{
    QString Filter;
    QString DefaultExt;
    QString FileName;
    QString Dir;
};

/// The buttons of a question: はい / いいえ, or はい / いいえ / キャンセル.
enum class TQuestion {
    YesNo,
    YesNoCancel,
};

enum class TAnswer {
    Yes,
    No,
    Cancel,
};

/// "desc|pattern|desc|pattern" as Qt name filters ("desc (pattern)"), the descriptions kept as
/// they are; patterns separated by ";" become blank-separated.
QStringList ToNameFilters(const QString& filter);

/// The extension that a name filter of ToNameFilters adds to a name typed without one: that of
/// its first pattern ("GeoJSON (*.geojson *.json)" gives "geojson"); empty for "*.*" or none.
QString DefaultSuffixOf(const QString& nameFilter);

class TUiServices
{
public:
    virtual ~TUiServices() = default;

    /// Modal boxes with one OK button. `detail` (may be empty) goes below the text.
    virtual void Warning(const QString& text, const QString& detail = {}) = 0;
    virtual void Error(const QString& text) = 0;
    virtual void Information(const QString& text, const QString& detail = {}) = 0;
    /// A modal question; closing the box answers Cancel (No for a question without Cancel).
    virtual TAnswer Question(const QString& text, TQuestion buttons) = 0;

    /// Runs an open or save dialog; the chosen path, or nothing on cancel.
    virtual std::optional<QString> GetOpenFileName(const TFileDialog& dialog) = 0;
    virtual std::optional<QString> GetSaveFileName(const TFileDialog& dialog) = 0;

    /// Opens a web page or a mail address with the desktop's default program.
    virtual void OpenUrl(const QUrl& url) = 0;

    /// Shows `dialog` modally; its result code.
    virtual int ExecDialog(QDialog& dialog) = 0;
};

/// The real thing: QMessageBox, QFileDialog and QDesktopServices over `parent`.
class TQtUiServices : public TUiServices
{
public:
    void SetParent(QWidget* parent) { m_parent = parent; }

    void Warning(const QString& text, const QString& detail = {}) override;
    void Error(const QString& text) override;
    void Information(const QString& text, const QString& detail = {}) override;
    TAnswer Question(const QString& text, TQuestion buttons) override;
    std::optional<QString> GetOpenFileName(const TFileDialog& dialog) override;
    std::optional<QString> GetSaveFileName(const TFileDialog& dialog) override;
    void OpenUrl(const QUrl& url) override;
    int ExecDialog(QDialog& dialog) override;

private:
    std::optional<QString> RunFileDialog(const TFileDialog& dialog, bool save);

    QWidget* m_parent = nullptr;
};

} // namespace tolvane::app
