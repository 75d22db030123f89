// Progress of a job on the terminal: the status and a bar on one line of stderr, redrawn in place
// to fit the terminal, only on a TTY; and one line for every row of a batch as it finishes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "batch/BatchRunner.h"

namespace tolvane::cli {

class TCliObserver : public batch::TBatchObserver
{
public:
    /// `progress`: draw the progress line on `out` (a terminal, and not --quiet). `quiet`: a row
    /// that converts prints nothing, and a failed row's lines go to stderr instead of stdout.
    /// `columns` gives the terminal's width at each redraw; by default it is asked from `out`.
    TCliObserver(bool progress, bool quiet, std::FILE* out = stderr,
                 std::function<int()> columns = {});
    ~TCliObserver() override;

    void SetStatusText(std::string_view text) override;
    void SetProgressMax(std::int64_t max) override;
    void SetProgressPos(std::int64_t pos) override;
    void ShowProgress(bool visible) override;
    /// Prints the row's line, its reason and what it wrote (ReportRow).
    void RowFinished(std::size_t row, const batch::TBatchEntry& entry) override;
    /// True once an interrupt or termination signal arrived (base::InstallCancelSignals).
    bool CancelRequested() override;

private:
    void Draw();
    void Erase();

    bool m_progress;
    bool m_quiet;
    std::FILE* m_out;
    std::function<int()> m_columns;
    std::string m_status;
    std::int64_t m_max = 0;
    std::int64_t m_pos = 0;
    bool m_visible = false;
    std::string m_lastLine;
    bool m_drawn = false;
};

} // namespace tolvane::cli
