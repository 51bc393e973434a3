#include "lookup/ServiceTurn.h"

namespace ds {

void ServiceTurn::wait(const QString& service, std::function<void()> started,
                       std::function<void(const QString& reason)> refused) {
    cancel();
    m_asking = true;
    m_begunAtOnce = false;
    const ServiceQueue::Ticket ticket = m_queue.request(
        service,
        [this, started = std::move(started)](ServiceQueue::Ticket begun) {
            m_ticket = begun;
            m_begunAtOnce = m_asking;
            started();
        },
        [this, refused = std::move(refused)](const QString& reason) {
            m_ticket = 0;
            if (refused)
                refused(reason);
        });
    m_asking = false;
    // A turn that began at once has the ticket already, or has even ended.
    if (!m_begunAtOnce)
        m_ticket = ticket;
}

} // namespace ds
