#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace ds::bench {

// The longest the UI thread stayed busy while this watch lived: a timer due
// every millisecond, and the widest gap between two of its ticks.
class BusyWatch final {
public:
    BusyWatch() {
        m_clock.start();
        m_ticks.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_ticks, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_ticks.start(1);
    }

    qint64 elapsedMs() const { return m_clock.elapsed(); }
    double seconds() const { return double(m_clock.nsecsElapsed()) / 1e9; }
    // Less the millisecond the timer waits anyway.
    double longestBusyMs() const { return std::max(0.0, double(m_longest) / 1e6 - 1); }

private:
    QElapsedTimer m_clock;
    QTimer m_ticks;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

} // namespace ds::bench
