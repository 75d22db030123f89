// A running job or batch as the window shows it: status panel 0, the progress bar, the event
// pump and the batch rows.
#pragma once

#include <functional>

#include <QPointer>
#include <QString>

#include "batch/BatchRunner.h"

class QLabel;
class QProgressBar;

namespace tolvane::app {

class TGuiObserver : public batch::TBatchObserver
{
public:
    /// `pump` processes pending window events (and recomputes the commands' states).
    TGuiObserver(QLabel* statusPanel, QProgressBar* progressBar, std::function<void()> pump);

    void SetStatusText(std::string_view text) override;
    void SetProgressMax(std::int64_t max) override;
    void SetProgressPos(std::int64_t pos) override;
    void ShowProgress(bool visible) override;
    void ProcessEvents() override;
    bool CancelRequested() override;
    void RowSelected(std::size_t row) override;
    void RowFinished(std::size_t row, const batch::TBatchEntry& entry) override;

    /// What the window does when a batch row is selected or has its outcome.
    std::function<void(std::size_t)> OnRowSelected;
    std::function<void(std::size_t, const batch::TBatchEntry&)> OnRowFinished;
    /// Whether the user asked the job to stop (asked at every pump point).
    std::function<bool()> IsCancelRequested;

private:
    QPointer<QLabel> m_statusPanel;
    QPointer<QProgressBar> m_progressBar;
    std::function<void()> m_pump;
};

} // namespace tolvane::app
