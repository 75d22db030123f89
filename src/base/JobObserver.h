// How a running job reports to whoever watches it: the status text, the progress bar and the
// chance to process pending window events. The desktop program, the command line and the tests
// each implement it; the core never sees a window.
#pragma once

#include <cstdint>
#include <exception>
#include <string_view>

namespace tolvane::base {

/// Lines between two event pumps of most converters, and of those whose lines are slower.
inline constexpr std::int64_t kPumpInterval = 10000;
inline constexpr std::int64_t kPumpIntervalShort = 1000;
/// Lines between two questions whether to stop, where no events are pumped (a power of two).
inline constexpr std::int64_t kCancelInterval = 4096;

/// Every report is optional: an observer overrides what it shows, and a plain TJobObserver
/// watches nothing.
class TJobObserver
{
public:
    virtual ~TJobObserver() = default;

    /// The status text (panel 0 of the status bar), UTF-8; empty clears it.
    virtual void SetStatusText(std::string_view /*text*/) {}
    virtual void SetProgressMax(std::int64_t /*max*/) {}
    virtual void SetProgressPos(std::int64_t /*pos*/) {}
    virtual void ShowProgress(bool /*visible*/) {}
    /// Repaint and process pending window messages.
    virtual void ProcessEvents() {}
    /// True when the user asked the job to stop: it stops at the next pump point by raising
    /// TJobCancelled. Also asked every kCancelInterval lines of the passes that pump no events,
    /// between the blocks of the first line count and of a merge, and between batch rows;
    /// always on the thread that runs the job or the batch.
    virtual bool CancelRequested() { return false; }
};

/// Raised where a job stops because its observer asked it to. Not a failure: the job leaves no
/// output of its own, and a batch converts no further row.
class TJobCancelled : public std::exception
{
public:
    const char* what() const noexcept override;
};

/// The progress position of one job. Converters add one per source line read; the position is
/// passed to the observer only where the user can see it: at the pump points (every
/// kPumpIntervalShort or kPumpInterval lines, where events are processed) and when the driver
/// publishes it.
class TProgress
{
public:
    explicit TProgress(TJobObserver& observer) : m_observer(observer) {}

    TJobObserver& Observer() noexcept { return m_observer; }

    std::int64_t Max() const noexcept { return m_max; }
    std::int64_t Position() const noexcept { return m_pos; }

    void SetMax(std::int64_t max)
    {
        m_max = max;
        m_observer.SetProgressMax(max);
    }
    void SetPosition(std::int64_t pos)
    {
        m_pos = pos;
        m_observer.SetProgressPos(pos);
    }

    /// One line read, without processing events; every kCancelInterval lines raises
    /// TJobCancelled when the observer asks the job to stop.
    void Step()
    {
        if ((++m_pos & (kCancelInterval - 1)) == 0) {
            CheckCancel();
        }
    }

    /// One line read; when the new position is a multiple of `interval`, publish the position,
    /// let the window process its pending events and raise TJobCancelled when the observer asks
    /// the job to stop.
    void Step(std::int64_t interval)
    {
        ++m_pos;
        if (interval > 0 && m_pos % interval == 0) {
            m_observer.SetProgressPos(m_pos);
            m_observer.ProcessEvents();
            CheckCancel();
        }
    }

    /// Raises TJobCancelled when the observer asks the job to stop.
    void CheckCancel()
    {
        if (m_observer.CancelRequested()) {
            throw TJobCancelled();
        }
    }

    /// Publishes the current position.
    void Publish() { m_observer.SetProgressPos(m_pos); }

private:
    TJobObserver& m_observer;
    std::int64_t m_max = 0;
    std::int64_t m_pos = 0;
};

} // namespace tolvane::base
