#include "lookup/ServiceQueue.h"

#include <QCoreApplication>
#include <QPointer>

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
        entry->pace.restAfterReplyMs = m_intervalMs;
        entry->wake.setSingleShot(true);
        entry->wake.setTimerType(Qt::PreciseTimer);
        connect(&entry->wake, &QTimer::timeout, this, [this, key] {
            dispatch(key);
            Q_EMIT changed();
        });
    }
    return *entry;
}

const ServiceQueue::Service* ServiceQueue::find(const QString& key) const {
    const auto found = m_services.constFind(key);
    return found == m_services.cend() ? nullptr : found.value().get();
}

void ServiceQueue::setPace(const QString& key, Pace pace) {
    pace.inFlight = std::max(1, pace.inFlight);
    service(key).pace = pace;
    dispatch(key);
}

void ServiceQueue::setAdaptivePace(const QString& key, const AdaptivePace& pace) {
    service(key).adaptive = pace;
    setPace(key, paceOf(pace));
}

ServiceQueue::Pace ServiceQueue::paceOf(const AdaptivePace& pace) {
    return {pace.inFlightLimit(), pace.restAfterReplyMs(), pace.gapBetweenStartsMs()};
}

std::optional<double> ServiceQueue::requestsPerSecond(const QString& key) const {
    const Service* s = find(key);
    if (!s || !s->adaptive)
        return std::nullopt;
    return s->adaptive->requestsPerSecond();
}

QHash<QString, int> ServiceQueue::runningByService() const {
    QHash<QString, int> running;
    for (auto it = m_services.cbegin(); it != m_services.cend(); ++it) {
        if (!it.value()->running.isEmpty())
            running.insert(it.key(), int(it.value()->running.size()));
    }
    return running;
}

std::optional<qint64> ServiceQueue::startedMs(const Service& s, Ticket ticket) const {
    const auto found = s.running.constFind(ticket);
    return found == s.running.cend() ? std::nullopt : std::optional(found.value());
}

ServiceQueue::Ticket ServiceQueue::request(const QString& key, Turn turn, Refusal refused) {
    const Ticket ticket = m_nextTicket++;
    m_ticketServices.insert(ticket, key);
    service(key).queue.push_back({ticket, std::move(turn), std::move(refused)});
    dispatch(key);
    return ticket;
}

void ServiceQueue::cancel(Ticket ticket) {
    const auto found = m_ticketServices.constFind(ticket);
    if (found == m_ticketServices.cend())
        return;
    Service& s = service(found.value());
    if (s.running.contains(ticket)) {
        release(ticket, Outcome::Unanswered);
        return;
    }
    m_ticketServices.erase(found);
    std::erase_if(s.queue, [ticket](const Waiting& w) { return w.ticket == ticket; });
}

void ServiceQueue::release(Ticket ticket, Outcome outcome) {
    const QString key = m_ticketServices.value(ticket);
    if (key.isNull())
        return;
    Service& s = service(key);
    s.backOffsInRow = 0;
    if (s.adaptive && outcome == Outcome::Answered && startedMs(s, ticket)) {
        s.adaptive->onAnswered();
        s.pace = paceOf(*s.adaptive);
    }
    endTurn(ticket, s.pace.restAfterReplyMs);
}

void ServiceQueue::backOff(Ticket ticket, std::optional<qint64> retryAfterMs) {
    const QString key = m_ticketServices.value(ticket);
    if (key.isNull())
        return;
    Service& s = service(key);
    const qint64 hold = backOffMs(++s.backOffsInRow, retryAfterMs, m_intervalMs);
    const qint64 now = m_clock.elapsed();
    if (const std::optional<qint64> started = startedMs(s, ticket); s.adaptive && started) {
        s.adaptive->onRefused(*started, now);
        s.pace = paceOf(*s.adaptive);
    }
    if (now + hold > s.holdUntilMs) {
        s.holdUntilMs = now + hold;
        s.holdUntil = QDateTime::currentDateTime().addMSecs(hold);
    }
    endTurn(ticket, hold);
    if (hold > m_longestWaitMs)
        refuseQueued(key);
}

void ServiceQueue::block(Ticket ticket, const QString& reason) {
    const QString key = m_ticketServices.value(ticket);
    if (key.isNull())
        return;
    service(key).blocked = reason;
    endTurn(ticket, 0);
    refuseQueued(key);
}

qint64 ServiceQueue::backOffMs(int backOffsInRow, std::optional<qint64> retryAfterMs,
                               int intervalMs) {
    const qint64 growing =
        std::min(FirstBackOffMs << std::clamp(backOffsInRow - 1, 0, 6), MaxBackOffMs);
    return std::max<qint64>(retryAfterMs.value_or(growing), intervalMs);
}

QString ServiceQueue::holdReason(const QDateTime& until, const QDateTime& now) {
    const QString when =
        until.date() == now.date() ? until.toString(u"HH:mm") : until.toString(u"yyyy-MM-dd HH:mm");
    return QCoreApplication::translate("ServiceQueue", "服务器限流，%1 后可再查").arg(when);
}

void ServiceQueue::setPaused(bool paused) {
    m_paused = paused;
    if (!paused)
        dispatchAll();
}

std::optional<qint64> ServiceQueue::startsAtMs(const Service& s) const {
    if (m_paused || s.running.size() >= s.pace.inFlight ||
        (m_maxRunning > 0 && m_running >= m_maxRunning))
        return std::nullopt;
    qint64 at = std::max(s.restUntilMs, s.holdUntilMs);
    if (s.lastStartMs >= 0)
        at = std::max(at, s.lastStartMs + s.pace.gapBetweenStartsMs);
    return at;
}

std::optional<QString> ServiceQueue::refusalOf(const Service& s) const {
    if (s.blocked)
        return s.blocked;
    const qint64 now = m_clock.elapsed();
    // Only a hold that was too long when it began refuses; it ends when it ends.
    if (s.holdUntilMs > now && s.holdUntilMs - now > m_longestWaitMs)
        return holdReason(s.holdUntil, QDateTime::currentDateTime());
    return std::nullopt;
}

std::optional<qint64> ServiceQueue::readyIn(const QString& key) const {
    if (const Service* s = find(key)) {
        // Turns already queued there go first.
        if (!s->queue.empty())
            return std::nullopt;
        const std::optional<qint64> at = startsAtMs(*s);
        if (!at)
            return std::nullopt;
        return std::max<qint64>(0, *at - m_clock.elapsed());
    }
    if (m_maxRunning > 0 && m_running >= m_maxRunning)
        return std::nullopt;
    return 0;
}

std::optional<QString> ServiceQueue::refusal(const QString& key) const {
    const Service* s = find(key);
    return s ? refusalOf(*s) : std::nullopt;
}

QList<ServiceQueue::Hold> ServiceQueue::holds() const {
    QList<Hold> held;
    const qint64 now = m_clock.elapsed();
    for (auto it = m_services.cbegin(); it != m_services.cend(); ++it) {
        if (it.value()->holdUntilMs > now && !it.value()->blocked)
            held.append({it.key(), it.value()->holdUntil});
    }
    return held;
}

QString ServiceQueue::endTurn(Ticket ticket, qint64 restMs) {
    const QString key = m_ticketServices.take(ticket);
    Service& s = service(key);
    if (!s.running.remove(ticket))
        return key;
    --m_running;
    s.restUntilMs = std::max(s.restUntilMs, m_clock.elapsed() + restMs);
    if (m_maxRunning > 0)
        dispatchAll();
    else
        dispatch(key);
    Q_EMIT changed();
    return key;
}

// Each refused turn hears of it on a later turn, unless it is withdrawn first.
void ServiceQueue::refuseQueued(const QString& key) {
    const std::optional<QString> reason = refusalOf(service(key));
    if (!reason)
        return;
    std::deque<Waiting> refused = std::exchange(service(key).queue, {});
    for (Waiting& waiting : refused) {
        QMetaObject::invokeMethod(
            this,
            [this, ticket = waiting.ticket, tell = std::move(waiting.refused), why = *reason] {
                if (m_ticketServices.remove(ticket) && tell)
                    tell(why);
            },
            Qt::QueuedConnection);
    }
}

void ServiceQueue::dispatchAll() {
    const QStringList keys = m_services.keys();
    for (const QString& key : keys)
        dispatch(key);
}

void ServiceQueue::dispatch(const QString& key) {
    // The turn may end itself, queue more, or clear everything before it
    // returns; the service is looked up afresh after each turn.
    while (true) {
        const auto found = m_services.constFind(key);
        if (found == m_services.cend())
            return;
        const std::shared_ptr<Service> s = found.value();
        if (s->queue.empty())
            return;
        if (refusalOf(*s)) {
            refuseQueued(key);
            return;
        }
        const std::optional<qint64> at = startsAtMs(*s);
        if (!at)
            return;
        const qint64 wait = *at - m_clock.elapsed();
        if (wait > 0) {
            if (!s->wake.isActive() || s->wake.remainingTime() > wait)
                s->wake.start(int(std::min<qint64>(wait, std::numeric_limits<int>::max())));
            return;
        }
        Waiting next = std::move(s->queue.front());
        s->queue.pop_front();
        s->lastStartMs = m_clock.elapsed();
        s->running.insert(next.ticket, s->lastStartMs);
        ++m_running;
        next.turn(next.ticket);
    }
}

void ServiceQueue::clear() {
    m_services.clear();
    m_ticketServices.clear();
    m_running = 0;
}

} // namespace ds
