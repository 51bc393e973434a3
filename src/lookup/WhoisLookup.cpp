#include "lookup/WhoisLookup.h"

#include "lookup/RegistryDetails.h"
#include "lookup/WhoisDetails.h"
#include "lookup/WhoisPatterns.h"
#include "lookup/WhoisServers.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

WhoisLookup::WhoisLookup(ServiceQueue& queue, WhoisServers& servers, const WhoisPatterns& patterns,
                         Options options, QObject* parent)
    : QObject(parent)
    , m_turn(queue)
    , m_servers(servers)
    , m_patterns(patterns)
    , m_options(std::move(options)) {
    m_client.setTimeLimitMs(m_options.timeLimitMs);
    if (m_options.proxy)
        m_client.setProxy(*m_options.proxy);
    connect(&m_client, &WhoisClient::finished, this, &WhoisLookup::onFinished);
}

WhoisLookup::~WhoisLookup() {
    abandon();
}

void WhoisLookup::ask(const QString& aceName, Done done) {
    abandon();
    m_name = aceName;
    m_server = {};
    m_done = std::move(done);
    m_tries = 0;
    m_askedAgain = 0;
    m_servers.find(aceName, [this, ask = m_askNumber](const WhoisServerLookup& lookup) {
        if (ask == m_askNumber)
            serverFound(lookup);
    });
}

void WhoisLookup::askAt(const WhoisAddress& server, const QString& aceName, Done done) {
    abandon();
    m_name = aceName;
    m_server = server;
    m_done = std::move(done);
    m_tries = 0;
    m_askedAgain = 0;
    waitForTurn();
}

void WhoisLookup::abandon() {
    ++m_askNumber;
    m_done = nullptr;
    m_client.abandon();
    m_turn.cancel();
}

void WhoisLookup::serverFound(const WhoisServerLookup& lookup) {
    switch (lookup.outcome) {
    case WhoisServerLookup::Outcome::Found:
        m_server = lookup.server;
        waitForTurn();
        return;
    case WhoisServerLookup::Outcome::Unsupported:
        finish(Verdict::Unsupported, lookup.detail);
        return;
    case WhoisServerLookup::Outcome::Failed:
        finish(Verdict::Failed, lookup.detail);
        return;
    }
}

void WhoisLookup::waitForTurn() {
    m_turn.wait(
        m_server.toString(), [this] { send(); },
        [this](const QString& reason) { finish(Verdict::Failed, reason); });
}

void WhoisLookup::send() {
    ++m_tries;
    m_client.ask(m_server, m_patterns.entryFor(m_name).queryFor(m_name));
}

void WhoisLookup::onFinished(const WhoisReply& reply) {
    if (!reply.complete) {
        m_turn.release(ServiceQueue::Outcome::Unanswered);
        finish(Verdict::Failed, reply.error, reply.proxyFailed);
        return;
    }
    const WhoisReading reading = m_patterns.read(m_patterns.entryFor(m_name), m_name, reply.text);
    const Details details = isTaken(reading.verdict) ? whoisDetails(reply.text) : Details();
    if (reading.blocked) {
        // Asking it again would only be refused again, this run and name alike.
        m_turn.block(reading.detail);
    } else if (reading.backoffSeconds) {
        m_turn.backOff(qint64(*reading.backoffSeconds) * 1000);
        if (m_askedAgain++ < m_options.maxAskAgain) {
            waitForTurn();
            return;
        }
    } else {
        m_turn.release();
    }
    finish(reading.verdict, reading.detail, false, details);
}

void WhoisLookup::finish(Verdict verdict, const QString& detail, bool atProxy,
                         const Details& details) {
    Done done = std::exchange(m_done, nullptr);
    if (done)
        done({RegistryDetails::refinedVerdict(verdict, details), Method::Whois, m_server.toString(),
              detail, 0, atProxy, details},
             m_tries);
}

} // namespace ds
