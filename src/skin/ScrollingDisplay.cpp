#include "ScrollingDisplay.h"

#include <QDeadlineTimer>
#include <QTimerEvent>

#include <algorithm>

namespace {
// The shortest period a window timer runs at; shorter requests get this.
constexpr int MinimumPeriod = 10;
} // namespace

ScrollingDisplay::ScrollingDisplay(QWidget *parent) : DigitalDisplay(parent) {}

ScrollingDisplay::~ScrollingDisplay() = default;

void ScrollingDisplay::setScrollText(const QString &text)
{
    m_scrollText = text;
    if (!isScrolling())
        step();
}

void ScrollingDisplay::startScrolling()
{
    const int period = std::max(m_period, MinimumPeriod);
    const qint64 now = QDeadlineTimer::current().deadline();
    const int wait = int(period - now % period);
    m_aligning = wait < period;
    m_timer.start(m_aligning ? wait : period, Qt::PreciseTimer, this);
}

void ScrollingDisplay::stopScrolling()
{
    m_timer.stop();
}

void ScrollingDisplay::step()
{
    if (!m_scrollText.isEmpty()) {
        // Rotate by a whole character, never splitting a surrogate pair.
        const qsizetype first = m_scrollText.front().isHighSurrogate() && m_scrollText.size() > 1 ? 2 : 1;
        m_scrollText = m_scrollText.mid(first) + m_scrollText.left(first);
    }
    setText(m_scrollText.left(std::max(m_windowLength, 0)));
}

void ScrollingDisplay::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_timer.timerId()) {
        if (m_aligning) {
            m_aligning = false;
            m_timer.start(std::max(m_period, MinimumPeriod), Qt::PreciseTimer, this);
        }
        step();
    }
    else
        DigitalDisplay::timerEvent(event);
}
