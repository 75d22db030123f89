// A scripted stand-in for the message boxes and dialogs, and a main window on a small Define
// folder with test converters.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include <QAction>
#include <QDialog>
#include <QString>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "app/MainFrm.h"
#include "app/UiServices.h"
#include "support/TestSupport.h"

namespace tolvane::test {

/// Records every box and dialog; file dialogs answer from a queue (an empty name or nothing
/// left: cancel).
class TScriptedUi : public app::TUiServices
{
public:
    struct TMessage
    {
        QString Kind; ///< "warning", "error", "information"
        QString Text;
        QString Detail;
    };

    void Warning(const QString& text, const QString& detail) override
    {
        Messages.push_back({QStringLiteral("warning"), text, detail});
    }
    void Error(const QString& text) override
    {
        Messages.push_back({QStringLiteral("error"), text, {}});
    }
    void Information(const QString& text, const QString& detail) override
    {
        Messages.push_back({QStringLiteral("information"), text, detail});
    }
    /// Answers from `Answers` in turn; No when none is left.
    app::TAnswer Question(const QString& text, app::TQuestion /*buttons*/) override
    {
        Questions.push_back(text);
        if (OnQuestion) {
            OnQuestion();
        }
        if (Answers.empty()) {
            return app::TAnswer::No;
        }
        const app::TAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    std::optional<QString> GetOpenFileName(const app::TFileDialog& dialog) override
    {
        return Answer(dialog);
    }
    std::optional<QString> GetSaveFileName(const app::TFileDialog& dialog) override
    {
        return Answer(dialog);
    }
    void OpenUrl(const QUrl& url) override { Urls.push_back(url); }
    int ExecDialog(QDialog& dialog) override
    {
        if (OnDialog) {
            OnDialog(dialog);
        }
        ++DialogsShown;
        return QDialog::Accepted;
    }

    /// Texts of the messages so far, in order.
    std::vector<QString> Texts() const
    {
        std::vector<QString> texts;
        for (const TMessage& m : Messages) {
            texts.push_back(m.Text);
        }
        return texts;
    }

    std::vector<TMessage> Messages;
    std::vector<QString> Questions;
    std::deque<app::TAnswer> Answers;
    std::function<void()> OnQuestion;
    std::deque<QString> FileAnswers;
    std::vector<app::TFileDialog> FileDialogs;
    std::vector<QUrl> Urls;
    std::function<void(QDialog&)> OnDialog;
    int DialogsShown = 0;

private:
    std::optional<QString> Answer(const app::TFileDialog& dialog)
    {
        FileDialogs.push_back(dialog);
        if (FileAnswers.empty()) {
            return std::nullopt;
        }
        const QString answer = FileAnswers.front();
        FileAnswers.pop_front();
        if (answer.isEmpty()) {
            return std::nullopt;
        }
        return answer;
    }
};

/// Runs inside a test job at the line "HOOK" of its source, while the window is busy.
extern std::function<void()> g_duringJob;

/// Catalogue of the window tests: 0 点データ (TP), 1 定義なし (TP, missing parameter file),
/// 2 別の点 (TP), all in category 分類; 3 台帳のみ (T) in category 台帳.
class TWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// A window on the test Define folder, shown.
    void OpenForm();

    template <class TWidget> TWidget* Find(const char* name) const
    {
        return Form->findChild<TWidget*>(QString::fromLatin1(name));
    }
    QAction* Action(const char* name) const { return Find<QAction>(name); }
    bool Enabled(const char* action) const;

    /// The tree node of catalogue line `index` (the first, in tree order).
    QTreeWidgetItem* ItemNode(std::int64_t index) const;
    void SelectNode(QTreeWidgetItem* node);
    void SelectItem(std::int64_t index) { SelectNode(ItemNode(index)); }
    void SetSource(const std::filesystem::path& path);
    void SetDestination(const QString& text);
    /// Selects `item`, types the source and destination and adds the job to the batch list.
    void AddJob(std::int64_t item, const std::filesystem::path& src,
                const std::filesystem::path& dst, int coordSys = 0);

    static QString Q(const std::filesystem::path& path)
    {
        return QString::fromStdString(path.string());
    }

    TTempDir Dir;
    std::filesystem::path Define;
    std::filesystem::path Source;    ///< a good source of two points
    std::filesystem::path BadSource; ///< fails on its second line
    app::TMainOptions Options;
    TScriptedUi Ui;
    std::unique_ptr<app::TfrmMain> Form;
};

} // namespace tolvane::test

/// QString in test failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
