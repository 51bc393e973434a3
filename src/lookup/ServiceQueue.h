#pragma once

#include "lookup/AdaptivePace.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace ds {

// Turns at the services the lookups ask: a limit of requests in flight per
// service (one unless its pace says more), a rest after each reply or a gap
// between starts, and a back-off that holds only the service that asked for
// it. Turns at one service are handed out first come, first served; services
// are independent, except for an optional cap on turns running across all of
// them.
//
// A back-off longer than the longest wait is not waited for: the service
// refuses its turns until the hold ends, and so does a service that said it
// blocks us, for the rest of the run. A refused turn is told why.
//
// A service given an adaptive pace follows it: each answer may quicken it and
// each back-off (a 429, a 503, a throttle notice) slows it, never above the
// ceiling it started from.
//
// The registrar is one service with no rest, which is the rule "one
// availability request outstanding"; each RDAP or WHOIS server is a service of
// its own.
class ServiceQueue final : public QObject {
    Q_OBJECT
public:
    using Ticket = quint64;
    // Runs when the turn starts; the ticket is the one request() returns.
    using Turn = std::function<void(Ticket)>;
    // Runs instead of the turn, on a later turn of the event loop, when the
    // service will not be asked: the reason is for people to read.
    using Refusal = std::function<void(const QString& reason)>;

    struct Pace {
        int inFlight = 1;
        qint64 restAfterReplyMs = 0;
        qint64 gapBetweenStartsMs = 0;
    };

    // `intervalMs` is the rest of a service whose pace was never set.
    explicit ServiceQueue(int intervalMs = 0, QObject* parent = nullptr);
    ~ServiceQueue() override;

    void setPace(const QString& service, Pace pace);
    // The service's pace from now on follows `pace`, which starts it.
    void setAdaptivePace(const QString& service, const AdaptivePace& pace);
    // Back-offs longer than this refuse the service's turns until they end.
    void setLongestWaitMs(qint64 ms) { m_longestWaitMs = ms; }
    // Turns running at once across all services; 0 for no cap.
    void setMaxRunning(int turns) { m_maxRunning = turns; }
    // While paused no turn starts, a retry's included; turns running go on.
    void setPaused(bool paused);

    // Queues a turn at `service`; `turn` runs once the service is free, rested
    // and not backing off, synchronously when it already is. The holder ends
    // its turn with release(), backOff() or block().
    Ticket request(const QString& service, Turn turn, Refusal refused = {});
    // Withdraws a turn that has not started, or ends one that has.
    void cancel(Ticket ticket);
    // How a turn released ended: with the server's answer, or without one (no
    // reply, a cut-off one), which tells nothing of its pace.
    enum class Outcome { Answered, Unanswered };
    void release(Ticket ticket, Outcome outcome = Outcome::Answered);
    // Ends the turn and holds the service for the server's Retry-After, or
    // else for a pause that doubles with each back-off in a row (at most a
    // minute). The next release() resets the pause.
    void backOff(Ticket ticket, std::optional<qint64> retryAfterMs);
    // Ends the turn; the service refuses every turn from now on.
    void block(Ticket ticket, const QString& reason);
    // Drops every queued turn and forgets every service.
    void clear();

    // For a scheduler that keeps names of its own waiting: 0 when a turn at
    // `service` would start at once, the milliseconds until it could when it
    // rests or backs off, nullopt while it waits for a running turn to end.
    std::optional<qint64> readyIn(const QString& service) const;
    // Why the service refuses turns now; nullopt when it does not.
    std::optional<QString> refusal(const QString& service) const;
    int running() const { return m_running; }
    // The turns running now at each service that has any.
    QHash<QString, int> runningByService() const;
    // The requests per second a service with an adaptive pace is asked at now.
    std::optional<double> requestsPerSecond(const QString& service) const;
    // Services held by a back-off right now, and until when (wall clock).
    struct Hold {
        QString service;
        QDateTime until;
    };
    QList<Hold> holds() const;

    static constexpr qint64 FirstBackOffMs = 1000;
    static constexpr qint64 MaxBackOffMs = 60000;
    // How long a back-off holds a service: the Retry-After, else the pause for
    // this back-off's place in a row (1, 2, ...) capped at MaxBackOffMs; never
    // less than the interval.
    static qint64 backOffMs(int backOffsInRow, std::optional<qint64> retryAfterMs, int intervalMs);
    // "服务器限流，HH:MM 后可再查", with the day too when it is not today.
    static QString holdReason(const QDateTime& until, const QDateTime& now);

Q_SIGNALS:
    // A turn ended or a rest ran out: a service may be ready again.
    void changed();

private:
    struct Waiting {
        Ticket ticket;
        Turn turn;
        Refusal refused;
    };
    struct Service {
        Pace pace;
        std::deque<Waiting> queue;
        // Running turns and when each started, in the clock's milliseconds.
        QHash<Ticket, qint64> running;
        std::optional<AdaptivePace> adaptive;
        qint64 restUntilMs = 0;
        qint64 lastStartMs = -1;
        int backOffsInRow = 0;
        qint64 holdUntilMs = 0;
        QDateTime holdUntil;
        std::optional<QString> blocked;
        QTimer wake;
    };

    Service& service(const QString& key);
    const Service* find(const QString& key) const;
    // When a turn could start, in the clock's milliseconds; nullopt when full.
    std::optional<qint64> startsAtMs(const Service& s) const;
    std::optional<QString> refusalOf(const Service& s) const;
    // The turn's start, in the clock's milliseconds; nullopt when not running.
    std::optional<qint64> startedMs(const Service& s, Ticket ticket) const;
    static Pace paceOf(const AdaptivePace& pace);
    QString endTurn(Ticket ticket, qint64 restMs);
    void refuseQueued(const QString& key);
    void dispatch(const QString& key);
    void dispatchAll();

    int m_intervalMs;
    qint64 m_longestWaitMs = std::numeric_limits<qint64>::max();
    int m_maxRunning = 0;
    int m_running = 0;
    bool m_paused = false;
    QElapsedTimer m_clock;
    QHash<QString, std::shared_ptr<Service>> m_services;
    QHash<Ticket, QString> m_ticketServices;
    Ticket m_nextTicket = 1;
};

} // namespace ds
