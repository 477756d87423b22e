#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

// The longest time between two turns of the event loop while it runs: how long the
// window would have stopped answering. A zero timer would keep the window's thread
// busy and take one of the two cores from the work measured, which a waiting user
// does not; a 2 ms precise timer misses no longer freeze.
class FreezeProbe
{
public:
    FreezeProbe()
    {
        m_timer.setInterval(2);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // Stops the probe; the time since its last turn counts too.
    double longestMs()
    {
        m_timer.stop();
        return double(std::max(m_longest, m_clock.nsecsElapsed() - m_last)) / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};
