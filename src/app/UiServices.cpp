// Message boxes, file dialogs and the shell.
#include "app/UiServices.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

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

QString DefaultSuffixOf(const QString& nameFilter)
{
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) {
        return {};
    }
    const QString first =
        nameFilter.mid(open + 1, close - open - 1).section(QLatin1Char(' '), 0, 0).trimmed();
    const QString suffix = first.startsWith(QStringLiteral("*.")) ? first.mid(2) : QString();
    if (suffix.isEmpty() || suffix.contains(QLatin1Char('*'))) {
        return {};
    }
    return suffix;
}

namespace {

// Room for the whole title: the window manager cuts a title wider than the box, and the
// desktop adds the program's name to it ("情報 — Tolvane Converter").
void FitTitle(QMessageBox& box)
{
    QString title = box.windowTitle();
    if (!QGuiApplication::applicationDisplayName().isEmpty()) {
        title += QStringLiteral(" — ") + QGuiApplication::applicationDisplayName();
    }
    // The title bar's own buttons and margins, roughly, beside the text.
    constexpr int kTitleBarExtra = 140;
    const int width = box.fontMetrics().horizontalAdvance(title) + kTitleBarExtra;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
             const QString& detail)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    if (!detail.isEmpty()) {
        box.setInformativeText(detail);
    }
    FitTitle(box);
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

void TQtUiServices::Information(const QString& text, const QString& detail)
{
    ShowBox(m_parent, QMessageBox::Information, QStringLiteral("情報"), text, detail);
}

TAnswer TQtUiServices::Question(const QString& text, TQuestion buttons)
{
    const bool withCancel = buttons == TQuestion::YesNoCancel;
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), text,
                    QMessageBox::Yes | QMessageBox::No |
                        (withCancel ? QMessageBox::Cancel : QMessageBox::NoButton),
                    m_parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    if (withCancel) {
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    }
    box.setDefaultButton(withCancel ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    FitTitle(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return withCancel ? TAnswer::Cancel : TAnswer::No;
    }
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
    if (!dialog.DefaultExt.isEmpty()) {
        // A name typed without an extension takes that of the format chosen in the list.
        QObject::connect(&fileDialog, &QFileDialog::filterSelected, &fileDialog,
                         [&fileDialog](const QString& filter) {
                             const QString suffix = DefaultSuffixOf(filter);
                             if (!suffix.isEmpty()) {
                                 fileDialog.setDefaultSuffix(suffix);
                             }
                         });
    }
    if (!dialog.FileName.isEmpty()) {
        fileDialog.selectFile(dialog.FileName);
    } else if (!dialog.Dir.isEmpty() && QFileInfo(dialog.Dir).isDir()) {
        fileDialog.setDirectory(dialog.Dir);
    }
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return fileDialog.selectedFiles().constFirst();
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
