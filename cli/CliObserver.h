// Progress of a job on the terminal: the status text and a bar on stderr, only on a TTY; and
// one line on stdout for every row of a batch as it finishes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "batch/BatchRunner.h"

namespace tolvane::cli {

class TCliObserver : public batch::TBatchObserver
{
public:
    /// `interactive`: draw the status and the bar (stderr is a terminal).
    explicit TCliObserver(bool interactive, std::FILE* out = stderr);
    ~TCliObserver() override;

    void SetStatusText(std::string_view text) override;
    void SetProgressMax(std::int64_t max) override;
    void SetProgressPos(std::int64_t pos) override;
    void ShowProgress(bool visible) override;
    /// Prints "row<TAB>outcome<TAB>source -> destination" and, for a failed row, its reason
    /// (ReportRow).
    void RowFinished(std::size_t row, const batch::TBatchEntry& entry) override;
    /// True once an interrupt or termination signal arrived (base::InstallCancelSignals).
    bool CancelRequested() override;

private:
    void Draw();
    void Erase();

    bool m_interactive;
    std::FILE* m_out;
    std::string m_status;
    std::int64_t m_max = 0;
    std::int64_t m_pos = 0;
    bool m_visible = false;
    int m_lastPercent = -1;
    bool m_drawn = false;
};

} // namespace tolvane::cli
