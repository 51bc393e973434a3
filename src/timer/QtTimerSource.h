#pragma once

#include "timer/TimerSource.h"

#include <memory>

namespace ds {

// The program's timer source: timers of a hidden QObject living on the thread
// that made it, so expiries arrive through that thread's event loop. Intervals
// of 0 ms or less are refused, as is any use from another thread.
class QtTimerSource final : public TimerSource {
public:
    QtTimerSource();
    ~QtTimerSource() override;
    QtTimerSource(const QtTimerSource&) = delete;
    QtTimerSource& operator=(const QtTimerSource&) = delete;

    quint32 SetTimer(qint32 elapseMs) override;
    void KillTimer(quint32 id) override;

private:
    class Receiver;
    std::unique_ptr<Receiver> m_receiver;
};

} // namespace ds
