// Progress of a job on the terminal.
#include "CliObserver.h"

#include "CliReport.h"
#include "base/uniPlatform.h"

namespace tolvane::cli {

namespace {
constexpr int kBarWidth = 40;
}

TCliObserver::TCliObserver(bool interactive, std::FILE* out)
    : m_interactive(interactive), m_out(out)
{
}

TCliObserver::~TCliObserver()
{
    Erase();
}

void TCliObserver::SetStatusText(std::string_view text)
{
    m_status.assign(text);
    m_lastPercent = -1;
    Draw();
}

void TCliObserver::SetProgressMax(std::int64_t max)
{
    m_max = max;
    m_lastPercent = -1;
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
    m_lastPercent = -1;
    if (!visible) {
        Erase();
    } else {
        Draw();
    }
}

void TCliObserver::RowFinished(std::size_t row, const batch::TBatchEntry& entry)
{
    ShowProgress(false);
    ReportRow(row, entry);
}

bool TCliObserver::CancelRequested()
{
    return base::CancelSignal() != 0;
}

void TCliObserver::Erase()
{
    if (m_interactive && m_drawn) {
        std::fputs("\r\x1b[2K", m_out);
        std::fflush(m_out);
        m_drawn = false;
    }
}

void TCliObserver::Draw()
{
    if (!m_interactive) {
        return;
    }
    int percent = 0;
    if (m_max > 0) {
        const std::int64_t pos = m_pos < 0 ? 0 : (m_pos > m_max ? m_max : m_pos);
        percent = static_cast<int>(pos * 100 / m_max);
    }
    if (percent == m_lastPercent && m_drawn) {
        return;
    }
    m_lastPercent = percent;
    std::string line = "\r\x1b[2K";
    if (m_visible) {
        const int filled = percent * kBarWidth / 100;
        line.push_back('[');
        line.append(static_cast<std::size_t>(filled), '#');
        line.append(static_cast<std::size_t>(kBarWidth - filled), ' ');
        line.append("] ");
        line.append(std::to_string(percent));
        line.append("% ");
    }
    line.append(m_status);
    std::fputs(line.c_str(), m_out);
    std::fflush(m_out);
    m_drawn = true;
}

} // namespace tolvane::cli
