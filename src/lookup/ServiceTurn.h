#pragma once

#include "lookup/ServiceQueue.h"

#include <QString>

#include <functional>
#include <optional>

namespace ds {

// One lookup's place in the queue of turns: it waits for a turn at a service,
// ends it once in one of the queue's ways, and gives up whatever it holds when
// the lookup is abandoned or asks anew.
class ServiceTurn final {
public:
    explicit ServiceTurn(ServiceQueue& queue)
        : m_queue(queue) {}
    ~ServiceTurn() { cancel(); }
    ServiceTurn(const ServiceTurn&) = delete;
    ServiceTurn& operator=(const ServiceTurn&) = delete;

    // `started` runs when the turn begins, possibly before wait() returns;
    // `refused` instead, later, when the service will not be asked.
    void wait(const QString& service, std::function<void()> started,
              std::function<void(const QString& reason)> refused = {});
    void release(ServiceQueue::Outcome outcome = ServiceQueue::Outcome::Answered) {
        m_queue.release(take(), outcome);
    }
    void backOff(std::optional<qint64> retryAfterMs) { m_queue.backOff(take(), retryAfterMs); }
    void block(const QString& reason) { m_queue.block(take(), reason); }
    // Ends the turn once `tell` has run, so that a turn `tell` asks for
    // begins after it, and tell() may ask anew on this very place.
    void releaseAfter(const std::function<void()>& tell) {
        const ServiceQueue::Ticket ticket = take();
        tell();
        m_queue.release(ticket);
    }
    // Withdraws a wait, or ends a turn as unanswered; nothing when neither.
    void cancel() { m_queue.cancel(take()); }

private:
    ServiceQueue::Ticket take() { return std::exchange(m_ticket, 0); }

    ServiceQueue& m_queue;
    ServiceQueue::Ticket m_ticket = 0;
    // Set while wait() is asking the queue, to tell a turn that begins at once.
    bool m_asking = false;
    bool m_begunAtOnce = false;
};

} // namespace ds
