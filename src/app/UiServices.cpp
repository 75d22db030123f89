// Message boxes, file dialogs and the shell.
#include "app/UiServices.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace tolvane::app {

QStringList ToNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
             const QString& detail)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    if (!detail.isEmpty()) {
        box.setInformativeText(detail);
    }
    box.exec();
}

} // namespace

void TQtUiServices::Warning(const QString& text, const QString& detail)
{
    ShowBox(m_parent, QMessageBox::Warning, QStringLiteral("警告"), text, detail);
}

void TQtUiServices::Error(const QString& text)
{
    ShowBox(m_parent, QMessageBox::Critical, QStringLiteral("エラー"), text, {});
}

void TQtUiServices::Information(const QString& text)
{
    ShowBox(m_parent, QMessageBox::Information, QStringLiteral("情報"), text, {});
}

std::optional<QString> TQtUiServices::RunFileDialog(const TFileDialog& dialog, bool save)
{
    QFileDialog fileDialog(m_parent);
    fileDialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fileDialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The list shows the descriptions exactly as written; the patterns only filter.
    fileDialog.setOption(QFileDialog::HideNameFilterDetails);
    fileDialog.setNameFilters(ToNameFilters(dialog.Filter));
    fileDialog.setDefaultSuffix(dialog.DefaultExt);
    if (!dialog.FileName.isEmpty()) {
        fileDialog.selectFile(dialog.FileName);
    } else if (!m_lastDir.isEmpty()) {
        fileDialog.setDirectory(m_lastDir);
    }
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString chosen = fileDialog.selectedFiles().constFirst();
    m_lastDir = QFileInfo(chosen).absolutePath();
    return chosen;
}

std::optional<QString> TQtUiServices::GetOpenFileName(const TFileDialog& dialog)
{
    return RunFileDialog(dialog, false);
}

std::optional<QString> TQtUiServices::GetSaveFileName(const TFileDialog& dialog)
{
    return RunFileDialog(dialog, true);
}

void TQtUiServices::OpenUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

int TQtUiServices::ExecDialog(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace tolvane::app
