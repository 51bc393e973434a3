#pragma once

#include "lookup/Answer.h"
#include "lookup/ServiceQueue.h"
#include "lookup/ServiceTurn.h"
#include "lookup/WhoisClient.h"

#include <QNetworkProxy>
#include <QObject>

#include <functional>
#include <optional>

namespace ds {

class WhoisPatterns;
class WhoisServers;
struct WhoisServerLookup;

// Asks about one name over WHOIS: finds the server of its zone, waits for
// that server's turn, and reads the reply against the pattern table. A
// throttled server holds only its own queue, for the back-off its message
// names, and is asked again; the name fails once it has been asked enough.
class WhoisLookup final : public QObject {
    Q_OBJECT
public:
    struct Options {
        int timeLimitMs = 30000;
        // Times one name is asked again after a throttled reply.
        int maxAskAgain = 2;
        std::optional<QNetworkProxy> proxy;
    };
    using Done = std::function<void(const Answer& answer, int tries)>;

    WhoisLookup(ServiceQueue& queue, WhoisServers& servers, const WhoisPatterns& patterns,
                Options options, QObject* parent = nullptr);
    ~WhoisLookup() override;

    // `done` runs once, on a later turn of the event loop, unless abandoned.
    void ask(const QString& aceName, Done done);
    // The same, at a server already found.
    void askAt(const WhoisAddress& server, const QString& aceName, Done done);
    void abandon();

private:
    void serverFound(const WhoisServerLookup& lookup);
    void waitForTurn();
    void send();
    void onFinished(const WhoisReply& reply);
    void finish(Verdict verdict, const QString& detail, bool atProxy = false,
                const Details& details = {});

    ServiceTurn m_turn;
    WhoisServers& m_servers;
    const WhoisPatterns& m_patterns;
    Options m_options;
    WhoisClient m_client;
    QString m_name;
    WhoisAddress m_server;
    Done m_done;
    quint64 m_askNumber = 0;
    int m_tries = 0;
    int m_askedAgain = 0;
};

} // namespace ds
