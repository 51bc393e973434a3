#pragma once

#include "timer/TimerSource.h"

#include <QList>
#include <QSet>

namespace ds::test {

// A timer source driven by the test: it hands out the ids the test queued (or
// 1, 2, 3, ... otherwise), refuses when told to, records every call and
// delivers an expiry only when the test calls fire().
class FakeTimerSource final : public TimerSource {
public:
    struct SetCall {
        qint32 elapseMs;
        quint32 id; // 0 when refused
    };

    quint32 SetTimer(qint32 elapseMs) override;
    void KillTimer(quint32 id) override;

    // Delivers one expiry of `id`, as a running timer would, or as an expiry that
    // was already pending when its timer was killed.
    void fire(quint32 id) { expired(id); }

    // The next SetTimer calls hand out these ids, in order.
    void queueIds(const QList<quint32>& ids) { m_queuedIds.append(ids); }
    // Refuses the next `count` SetTimer calls.
    void refuseNext(int count = 1) { m_refusals += count; }

    bool isRunning(quint32 id) const { return m_running.contains(id); }
    qsizetype runningCount() const { return m_running.size(); }
    const QList<SetCall>& setCalls() const { return m_setCalls; }
    const QList<quint32>& killCalls() const { return m_killCalls; }

private:
    QList<quint32> m_queuedIds;
    quint32 m_nextId = 1;
    int m_refusals = 0;
    QSet<quint32> m_running;
    QList<SetCall> m_setCalls;
    QList<quint32> m_killCalls;
};

} // namespace ds::test
