#pragma once

#include "timer/XTimerSupport.h"

#include <QtGlobal>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace ds {

// A periodic timer object: while Enabled is true and Interval is non-zero it
// raises Tick on the UI thread every Interval milliseconds. The source timer
// behind it is started and stopped through an XTimerSupport table.
class XTimer final : public std::enable_shared_from_this<XTimer> {
    // Keeps construction to create(): an explicit constructor cannot be reached with `{}`.
    struct Private {
        explicit Private() = default;
    };

public:
    using TickHandler = std::function<void()>;
    using ListenerId = quint64;

    static std::shared_ptr<XTimer> create(XTimerSupport& support = XTimerSupport::instance());

    XTimer(Private, XTimerSupport& support);
    ~XTimer();
    XTimer(const XTimer&) = delete;
    XTimer& operator=(const XTimer&) = delete;

    bool Enabled() const { return m_enabled; }
    // Writing the stored value does nothing. Throws the ds::Error of a refused start;
    // the new value stays stored.
    void setEnabled(bool NewValue);

    qint32 Interval() const { return m_interval; }
    // A change restarts a running timer under the new period. Throws like setEnabled.
    void setInterval(qint32 NewInterval);

    // Calls the Tick listeners in the order they connected; a listener's exception
    // leaves at once, skipping the rest.
    void RaiseTick();

    ListenerId connectTick(TickHandler handler);
    void disconnectTick(ListenerId id);

private:
    friend class XTimerSupport;

    using Listener = std::pair<ListenerId, std::shared_ptr<const TickHandler>>;

    quint32 SysTimerId() const { return m_sysTimerId; }
    // Told by the table when it has killed this object's source timer itself.
    void forgetSysTimer(quint32 id);
    bool isConnected(ListenerId id) const;
    void arm();
    void disarm();

    XTimerSupport& m_support;
    quint32 m_sysTimerId = 0;
    qint32 m_interval = 0;
    bool m_enabled = false;
    ListenerId m_lastListenerId = 0;
    std::vector<Listener> m_listeners;
};

} // namespace ds
