// A running job as the window shows it.
#include "app/GuiObserver.h"

#include <algorithm>
#include <limits>

#include <QLabel>
#include <QProgressBar>

#include "app/uniQtText.h"

namespace tolvane::app {

namespace {

int ToBarValue(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

} // namespace

TGuiObserver::TGuiObserver(QLabel* statusPanel, QProgressBar* progressBar,
                           std::function<void()> pump)
    : m_statusPanel(statusPanel), m_progressBar(progressBar), m_pump(std::move(pump))
{
}

void TGuiObserver::SetStatusText(std::string_view text)
{
    if (m_statusPanel) {
        m_statusPanel->setText(Utf8ToQString(text));
        // The job holds the event loop: paint now, so each stage shows as it begins.
        m_statusPanel->repaint();
    }
}

void TGuiObserver::SetProgressMax(std::int64_t max)
{
    if (m_progressBar) {
        m_progressBar->setMaximum(ToBarValue(max));
    }
}

void TGuiObserver::SetProgressPos(std::int64_t pos)
{
    if (m_progressBar) {
        m_progressBar->setValue(std::min(ToBarValue(pos), m_progressBar->maximum()));
    }
}

void TGuiObserver::ShowProgress(bool visible)
{
    if (m_progressBar) {
        m_progressBar->setVisible(visible);
    }
}

void TGuiObserver::ProcessEvents()
{
    if (m_pump) {
        m_pump();
    }
}

bool TGuiObserver::CancelRequested()
{
    return IsCancelRequested && IsCancelRequested();
}

void TGuiObserver::RowSelected(std::size_t row)
{
    if (OnRowSelected) {
        OnRowSelected(row);
    }
}

void TGuiObserver::RowFinished(std::size_t row, const batch::TBatchEntry& entry)
{
    if (OnRowFinished) {
        OnRowFinished(row, entry);
    }
}

} // namespace tolvane::app
