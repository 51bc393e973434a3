#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace ds {

// Turns at the services the lookups ask: at most one request in flight per
// service, a pause between the end of one request and the start of the next,
// and a back-off that holds only the service that asked for it. Turns at one
// service are handed out first come, first served; services are independent.
//
// The registrar is one service with no pause, which is the rule "one
// availability request outstanding"; each RDAP server is a service of its own.
class ServiceQueue final : public QObject {
    Q_OBJECT
public:
    using Turn = std::function<void()>;
    using Ticket = quint64;

    explicit ServiceQueue(int intervalMs = 0, QObject* parent = nullptr);
    ~ServiceQueue() override;

    // Queues a turn at `service`; `turn` runs once the service is free, rested
    // and not backing off, synchronously when it already is. The holder ends
    // its turn with release() or backOff().
    Ticket request(const QString& service, Turn turn);
    // Withdraws a turn that has not started, or ends one that has.
    void cancel(Ticket ticket);
    void release(const QString& service);
    // Ends the turn and holds the service for the server's Retry-After
    // (capped, at a minute unless set otherwise), or else for a pause that
    // doubles with each back-off in a row. The next release() resets the pause.
    void backOff(const QString& service, std::optional<qint64> retryAfterMs);
    // WHOIS servers name waits longer than a minute and mean them.
    void setLongestBackOffMs(qint64 ms) { m_longestBackOffMs = ms; }
    // Drops every queued turn and forgets every service.
    void clear();

    // Whether a turn at `service` is running.
    bool busy(const QString& service) const;

    static constexpr qint64 FirstBackOffMs = 1000;
    static constexpr qint64 MaxBackOffMs = 60000;
    // How long a back-off holds a service: the Retry-After, else the pause for
    // this back-off's place in a row (1, 2, ...), never less than the interval nor more
    // than the cap.
    static qint64 backOffMs(int backOffsInRow, std::optional<qint64> retryAfterMs, int intervalMs,
                            qint64 capMs = MaxBackOffMs);

private:
    struct Waiting {
        Ticket ticket;
        Turn turn;
    };
    struct Service {
        std::deque<Waiting> queue;
        Ticket running = 0;
        qint64 restUntilMs = 0;
        int backOffsInRow = 0;
        QTimer wake;
    };

    Service& service(const QString& key);
    void endTurn(const QString& key, qint64 restMs);
    void dispatch(const QString& key);

    int m_intervalMs;
    qint64 m_longestBackOffMs = MaxBackOffMs;
    QElapsedTimer m_clock;
    QHash<QString, std::shared_ptr<Service>> m_services;
    QHash<Ticket, QString> m_ticketServices;
    Ticket m_nextTicket = 1;
};

} // namespace ds
