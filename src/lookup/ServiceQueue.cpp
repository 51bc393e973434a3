#include "lookup/ServiceQueue.h"

#include <algorithm>

namespace ds {

ServiceQueue::ServiceQueue(int intervalMs, QObject* parent)
    : QObject(parent)
    , m_intervalMs(intervalMs) {
    m_clock.start();
}

ServiceQueue::~ServiceQueue() = default;

ServiceQueue::Service& ServiceQueue::service(const QString& key) {
    std::shared_ptr<Service>& entry = m_services[key];
    if (!entry) {
        entry = std::make_shared<Service>();
        entry->wake.setSingleShot(true);
        entry->wake.setTimerType(Qt::PreciseTimer);
        connect(&entry->wake, &QTimer::timeout, this, [this, key] { dispatch(key); });
    }
    return *entry;
}

ServiceQueue::Ticket ServiceQueue::request(const QString& key, Turn turn) {
    const Ticket ticket = m_nextTicket++;
    m_ticketServices.insert(ticket, key);
    service(key).queue.push_back({ticket, std::move(turn)});
    dispatch(key);
    return ticket;
}

void ServiceQueue::cancel(Ticket ticket) {
    const auto found = m_ticketServices.constFind(ticket);
    if (found == m_ticketServices.cend())
        return;
    const QString key = found.value();
    Service& s = service(key);
    if (s.running == ticket) {
        release(key);
        return;
    }
    m_ticketServices.erase(found);
    std::erase_if(s.queue, [ticket](const Waiting& w) { return w.ticket == ticket; });
}

void ServiceQueue::release(const QString& key) {
    service(key).backOffsInRow = 0;
    endTurn(key, m_intervalMs);
}

void ServiceQueue::backOff(const QString& key, std::optional<qint64> retryAfterMs) {
    Service& s = service(key);
    endTurn(key, backOffMs(++s.backOffsInRow, retryAfterMs, m_intervalMs, m_longestBackOffMs));
}

qint64 ServiceQueue::backOffMs(int backOffsInRow, std::optional<qint64> retryAfterMs,
                               int intervalMs, qint64 capMs) {
    const qint64 growing = FirstBackOffMs << std::clamp(backOffsInRow - 1, 0, 6);
    const qint64 wanted = std::min(retryAfterMs.value_or(growing), capMs);
    return std::max<qint64>(wanted, intervalMs);
}

void ServiceQueue::endTurn(const QString& key, qint64 restMs) {
    Service& s = service(key);
    if (s.running == 0)
        return;
    m_ticketServices.remove(s.running);
    s.running = 0;
    s.restUntilMs = m_clock.elapsed() + restMs;
    dispatch(key);
}

void ServiceQueue::clear() {
    m_services.clear();
    m_ticketServices.clear();
}

bool ServiceQueue::busy(const QString& key) const {
    const auto found = m_services.constFind(key);
    return found != m_services.cend() && found.value()->running != 0;
}

void ServiceQueue::dispatch(const QString& key) {
    // The turn may end itself, queue more, or clear everything before it
    // returns; the service is looked up afresh after each turn.
    while (true) {
        const auto found = m_services.constFind(key);
        if (found == m_services.cend())
            return;
        const std::shared_ptr<Service> s = found.value();
        if (s->running != 0 || s->queue.empty())
            return;
        const qint64 wait = s->restUntilMs - m_clock.elapsed();
        if (wait > 0) {
            if (!s->wake.isActive())
                s->wake.start(int(wait));
            return;
        }
        Waiting next = std::move(s->queue.front());
        s->queue.pop_front();
        s->running = next.ticket;
        next.turn();
    }
}

} // namespace ds
