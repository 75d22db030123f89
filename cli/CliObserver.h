// Progress of a job on the terminal: the status text and a bar on stderr, only on a TTY.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "convert/AppError.h"
#include "convert/JobObserver.h"

namespace tolvane::cli {

class TCliObserver : public convert::TJobObserver
{
public:
    /// `interactive`: draw the status and the bar (stderr is a terminal).
    explicit TCliObserver(bool interactive, std::FILE* out = stderr);
    ~TCliObserver() override;

    void SetStatusText(std::string_view text) override;
    void SetProgressMax(std::int64_t max) override;
    void SetProgressPos(std::int64_t pos) override;
    void ShowProgress(bool visible) override;
    void ProcessEvents() override {}
    void JobFailed(const convert::TAppError& error) override;

    /// The reason of the last failed job ("file:line: message"), empty when none failed.
    const std::string& LastFailure() const noexcept { return m_lastFailure; }
    void ClearFailure() { m_lastFailure.clear(); }

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
    std::string m_lastFailure;
};

} // namespace tolvane::cli
