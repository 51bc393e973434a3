#include "timer/XTimer.h"

#include "timer/TimerSource.h"

#include <algorithm>

namespace ds {

std::shared_ptr<XTimer> XTimer::create(XTimerSupport& support) {
    return std::make_shared<XTimer>(Private(), support);
}

XTimer::XTimer(Private, XTimerSupport& support)
    : m_support(support) {}

XTimer::~XTimer() {
    // The table references every timer it runs, so a live id here means the
    // table let go of this object without stopping it.
    if (m_sysTimerId != 0) {
        try {
            m_support.source().KillTimer(m_sysTimerId);
        } catch (...) {
            // Nothing can be reported from a destructor.
        }
    }
}

void XTimer::setEnabled(bool NewValue) {
    if (NewValue == m_enabled) {
        return;
    }
    m_enabled = NewValue;
    if (m_interval == 0) {
        return;
    }
    if (NewValue) {
        arm();
    } else {
        disarm();
    }
}

void XTimer::setInterval(qint32 NewInterval) {
    if (NewInterval == m_interval) {
        return;
    }
    m_interval = NewInterval;
    disarm();
    if (NewInterval != 0 && m_enabled) {
        arm();
    }
}

void XTimer::RaiseTick() {
    const std::shared_ptr<XTimer> keepAlive = shared_from_this();
    // Listeners may connect or disconnect others while they run: walk a copy and
    // skip whoever was disconnected before its turn came.
    const std::vector<Listener> listeners = m_listeners;
    for (const auto& [id, handler] : listeners) {
        if (isConnected(id)) {
            (*handler)();
        }
    }
}

XTimer::ListenerId XTimer::connectTick(TickHandler handler) {
    const ListenerId id = ++m_lastListenerId;
    m_listeners.emplace_back(id, std::make_shared<const TickHandler>(std::move(handler)));
    return id;
}

void XTimer::disconnectTick(ListenerId id) {
    std::erase_if(m_listeners, [id](const Listener& listener) { return listener.first == id; });
}

void XTimer::forgetSysTimer(quint32 id) {
    if (m_sysTimerId == id) {
        m_sysTimerId = 0;
    }
}

bool XTimer::isConnected(ListenerId id) const {
    return std::any_of(m_listeners.cbegin(), m_listeners.cend(),
                       [id](const Listener& listener) { return listener.first == id; });
}

void XTimer::arm() {
    m_sysTimerId = m_support.ArmTimer(shared_from_this(), m_interval);
}

void XTimer::disarm() {
    if (m_sysTimerId != 0) {
        // The table may hold the last reference to this object.
        const std::shared_ptr<XTimer> keepAlive = shared_from_this();
        m_support.DisarmTimer(*this);
        m_sysTimerId = 0;
    }
}

} // namespace ds
