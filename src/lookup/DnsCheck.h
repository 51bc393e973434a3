#pragma once

#include "lookup/DnsReply.h"
#include "lookup/DnsServerAddress.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>

namespace ds {

// The DNS step: asks for the NS records of many names at once, each within
// the time limit. It runs c-ares on the event loop, so nothing ever waits on
// the network; Qt 6.4's QDnsLookup can neither limit a query's time nor reach
// a resolver on another port than 53.
class DnsCheck final : public QObject {
public:
    using Done = std::function<void(const DnsOutcome&)>;

    explicit DnsCheck(const DnsCheckOptions& options, QObject* parent = nullptr);
    ~DnsCheck() override;

    // The resolvers asked, as "host:port" joined by commas.
    QString server() const { return m_server; }
    // Asks about one name in ACE form. done is called exactly once, later,
    // from the event loop; the DnsCheck must outlive the call. Without a usable
    // resolver (a server that is not an IP address, say) every check ends as
    // ResolverError with the reason, and the names go on to their registry.
    void check(const QString& aceName, Done done);
    // Queries sent that the resolver library has not yet ended, those whose
    // names were told of their time-out included; never more than `parallel`.
    int queriesInFlight() const;

private:
    class Channel;
    struct Query {
        QString name;
        // Empty once the name has been told (its time ran out).
        Done done;
    };

    void startWaiting();
    void timeUp(quint64 id);
    void queryEnded(quint64 id, const DnsOutcome& outcome);

    DnsCheckOptions m_options;
    std::unique_ptr<Channel> m_channel;
    QString m_server;
    // Why no resolver could be set up; empty when it is ready.
    QString m_setupError;
    std::deque<Query> m_waiting;
    QHash<quint64, Query> m_running;
    quint64 m_lastId = 0;
};

} // namespace ds
