#include "FakeTimerSource.h"

namespace ds::test {

quint32 FakeTimerSource::SetTimer(qint32 elapseMs) {
    quint32 id = 0;
    if (m_refusals > 0) {
        --m_refusals;
    } else if (!m_queuedIds.isEmpty()) {
        id = m_queuedIds.takeFirst();
    } else {
        // Like a real source, never hand out an id that is still running.
        do {
            id = m_nextId++;
        } while (m_running.contains(id));
    }
    if (id != 0) {
        m_running.insert(id);
    }
    m_setCalls.append({elapseMs, id});
    return id;
}

void FakeTimerSource::KillTimer(quint32 id) {
    m_killCalls.append(id);
    m_running.remove(id);
}

} // namespace ds::test
