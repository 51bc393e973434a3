#pragma once

#include <QtGlobal>

#include <functional>

namespace ds {

// Where the periodic timers behind every XTimer come from. A source hands out
// non-zero ids, answers 0 when it cannot start a timer, and reports each expiry
// on the UI thread through the one expiry handler until the id is killed.
class TimerSource {
public:
    using ExpiryHandler = std::function<void(quint32 id)>;

    virtual ~TimerSource() = default;

    // Starts a periodic timer; returns its non-zero id, or 0 when it refuses.
    virtual quint32 SetTimer(qint32 elapseMs) = 0;
    // Unknown or already killed ids are ignored.
    virtual void KillTimer(quint32 id) = 0;

    // The one callback, called on the UI thread with the id of the timer that elapsed.
    void setExpiryHandler(ExpiryHandler handler);

protected:
    void expired(quint32 id);

private:
    ExpiryHandler m_handler;
};

} // namespace ds
