#pragma once

#include "http/ProxyConfig.h"
#include "lookup/DnsCheck.h"
#include "lookup/Lookup.h"
#include "lookup/RetryPolicy.h"
#include "lookup/ServiceQueue.h"
#include "lookup/WhoisServers.h"

#include <QObject>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <optional>
#include <vector>

namespace ds {

class DnsPrecheck;
class HTTPPage2;
class RdapBootstrapStore;
class RunBoard;
class XTimerSupport;

struct EngineConfig {
    // The registrar's service; empty to ask the registries over RDAP.
    QUrl registrar;
    int requestTimeLimitMs = 30000;
    int restartIntervalMs = 100;
    RetryPolicy retry;
    int workers = 3;
    // The rest each registry server gets between two requests.
    int serverIntervalMs = 500;
    // Which RDAP server answers for which TLD; needed without a registrar.
    std::shared_ptr<RdapBootstrapStore> bootstrap;
    // WHOIS, for the TLDs the bootstrap does not list: where each zone's
    // server is found, and the rest each WHOIS server gets between queries.
    WhoisServersOptions whois;
    int whoisServerIntervalMs = 1000;
    // The DNS step before the registries; none when unset. The registrar is
    // never preceded by it.
    std::optional<DnsCheckOptions> dns;
    // Every HTTP request of the engine's runs goes this way, the bootstrap's
    // included.
    ProxyConfig proxy;
};

// Runs the workers through the domain list: with three, worker 1 takes
// entries 0, 3, 6 ..., worker 2 entries 1, 4, 7 ..., worker 3 entries 2, 5,
// 8 .... Each step of a worker waits for a fresh page-request deferral and,
// after the first, for its restart interval; then its lookup waits for a turn
// at the service it asks, since each service has one request outstanding at
// most: the registrar's one, or each registry server its own. Before the
// registries the DNS is asked about the names, ahead of the workers: a worker
// passes by a name the DNS shows taken. Every line of a
// run ends as exactly one record, a failure or an invalid name included,
// unless the run is stopped; only blank lines, which name nothing, end
// without one.
class QueryEngine final : public QObject {
    Q_OBJECT
public:
    enum class State { Ready, Querying, Paused };

    // `timers` drives the page-request deferrals; the program's own table
    // unless a test hands in one over a fake source.
    QueryEngine(RunBoard& board, EngineConfig config, XTimerSupport& timers,
                QObject* parent = nullptr);
    QueryEngine(RunBoard& board, EngineConfig config, QObject* parent = nullptr);
    ~QueryEngine() override;

    State state() const { return m_state; }

    // A new run over the (already tidied) list; whatever is left of the
    // previous run ends first. `firstEntry` lets a run begin part-way.
    void start(qsizetype firstEntry = 0);
    void pause();
    void resume();
    void stop();

    // Time spent in the engine's own step handling, the waits excluded.
    qint64 busyNanoseconds() const { return m_busyNs; }

Q_SIGNALS:
    // Something the user should hear about, e.g. a worker that could not start.
    void problem(const QString& message);
    // The first registry answers of a run all came without any reply: the
    // network is likely down. Said once a run.
    void registriesUnreachable();
    // The DNS answered none of the first names of a run; the rest go to their
    // registries straight away. Said once a run.
    void dnsUnanswered();
    void runEnded();

private:
    enum class Phase { Idle, Waiting, AwaitingDns, Asking, Held, Finished };
    struct Worker {
        qsizetype cursor = 0;
        Phase phase = Phase::Idle;
        bool deferralPending = false;
        bool restartPending = false;
        quint64 deferralToken = 0;
        std::shared_ptr<HTTPPage2> page;
        QTimer restart;
        std::unique_ptr<Lookup> lookup;
        // The entry the lookup asks about.
        qsizetype asked = 0;
    };

    std::unique_ptr<Lookup> makeLookup();
    void beginWorkers(qsizetype firstEntry);
    void startDeferral(int worker);
    void giveUpWorker(int worker);
    void dropDeferral(Worker& w);
    void onDeferralEnded(int worker, quint64 token);
    void onRestartTick(int worker);
    void runStep(int worker);
    bool passDnsAnswered(int worker);
    void onDnsTaken(qsizetype number, const LookupRecord& record);
    void wakeAwaitingDns(std::optional<qsizetype> number);
    qsizetype oldestOpenEntry() const;
    std::optional<QString> takeEntry(int worker);
    // True when the entry is no name to ask about; then it has had its record.
    bool endsUnasked(qsizetype number, const QString& entry);
    void onAnswered(int worker, const LookupRecord& record);
    void noteReachability(const Answer& answer);
    void finishStep(int worker);
    void checkRunEnd();
    void abandon();
    void setState(State state);

    RunBoard& m_board;
    EngineConfig m_config;
    XTimerSupport& m_timers;
    ServiceQueue m_services;
    // WHOIS servers are queued apart: their rest and back-offs are their own.
    ServiceQueue m_whoisServices;
    std::unique_ptr<WhoisServers> m_whoisServers;
    std::vector<std::unique_ptr<Worker>> m_workers;
    // Only before the registries, never before the registrar.
    std::unique_ptr<DnsPrecheck> m_precheck;
    State m_state = State::Ready;
    bool m_held = false;
    qsizetype m_done = 0;
    qint64 m_busyNs = 0;
    // A start that waits for the bootstrap to load, and from which entry.
    bool m_loadingBootstrap = false;
    std::optional<qsizetype> m_pendingStart;
    int m_silentAnswers = 0;
    bool m_heardFromRegistry = false;
};

} // namespace ds
