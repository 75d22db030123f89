// Progress of a job on the terminal.
#include "cli/CliObserver.h"

#include "base/uniPlatform.h"
#include "cli/CliMessages.h"
#include "cli/CliReport.h"
#include "cli/Terminal.h"

namespace tolvane::cli {

TCliObserver::TCliObserver(bool progress, bool quiet, std::FILE* out, std::function<int()> columns)
    : m_progress(progress), m_quiet(quiet), m_out(out), m_columns(std::move(columns))
{
    if (!m_columns) {
        m_columns = [out] { return TerminalColumns(out); };
    }
}

TCliObserver::~TCliObserver()
{
    Erase();
}

void TCliObserver::SetStatusText(std::string_view text)
{
    m_status.assign(text);
    Draw();
}

void TCliObserver::SetProgressMax(std::int64_t max)
{
    m_max = max;
    Draw();
}

void TCliObserver::SetProgressPos(std::int64_t pos)
{
    m_pos = pos;
    Draw();
}

void TCliObserver::ShowProgress(bool visible)
{
    m_visible = visible;
    if (!visible) {
        Erase();
    } else {
        Draw();
    }
}

void TCliObserver::RowFinished(std::size_t row, const batch::TBatchEntry& entry)
{
    ShowProgress(false);
    ReportRow(row, entry, m_quiet);
}

bool TCliObserver::CancelRequested()
{
    return base::CancelSignal() != 0;
}

void TCliObserver::Erase()
{
    if (m_progress && m_drawn) {
        base::WriteText(m_out, "\r\x1b[K");
        std::fflush(m_out);
        m_drawn = false;
        m_lastLine.clear();
    }
}

void TCliObserver::Draw()
{
    if (!m_progress) {
        return;
    }
    int percent = 0;
    if (m_max > 0) {
        const std::int64_t pos = m_pos < 0 ? 0 : (m_pos > m_max ? m_max : m_pos);
        percent = static_cast<int>(pos * 100 / m_max);
    }
    const std::string line = ProgressLine(m_status, percent, m_visible, m_columns());
    if (m_drawn && line == m_lastLine) {
        return;
    }
    // Back to the line's start, the new text, then clear what an older, longer text left.
    base::WriteText(m_out, "\r" + line + "\x1b[K");
    std::fflush(m_out);
    m_lastLine = line;
    m_drawn = true;
}

} // namespace tolvane::cli
