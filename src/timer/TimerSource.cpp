#include "timer/TimerSource.h"

#include <utility>

namespace ds {

void TimerSource::setExpiryHandler(ExpiryHandler handler) {
    m_handler = std::move(handler);
}

void TimerSource::expired(quint32 id) {
    // The handler may replace itself (its owner going away) while it runs.
    const ExpiryHandler handler = m_handler;
    if (handler) {
        handler(id);
    }
}

} // namespace ds
