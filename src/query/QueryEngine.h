#pragma once

#include "lookup/ServiceQueue.h"
#include "query/EngineConfig.h"
#include "query/LookupKit.h"
#include "query/ReachabilityWatch.h"
#include "query/RunLedger.h"
#include "query/RunScheduler.h"
#include "query/RunState.h"

#include <QObject>

#include <memory>
#include <optional>

namespace ds {

class DnsPrecheck;
class RunBoard;
class XTimerSupport;

// A run over the list on a board: start, pause, continue and stop, and the
// rule that every line ends as exactly one record (a blank line, which names
// nothing, as a step without one). Which line is asked when is its
// scheduler's business: the registrar's alternating workers, or the
// registries' dispatcher, which the DNS step goes before.
class QueryEngine final : public QObject {
    Q_OBJECT
public:
    using State = RunState;

    // `timers` drives the registrar workers' page-request deferrals; the
    // program's own table unless a test hands in one over a fake source.
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

    // Servers holding the run's names back right now, and until when.
    QList<ServiceQueue::Hold> holds() const;
    // The servers with the most names waiting or asked now, most first.
    QList<ServerLoad> busiestServers(int count) const;
    // Time spent in the engine's own step handling, the waits excluded.
    qint64 busyNanoseconds() const { return m_ledger.busyNanoseconds(); }

Q_SIGNALS:
    void stateChanged(RunState state);
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
    void setUpRegistries();
    void beginScheduling(qsizetype firstEntry);
    void onFinished();
    void abandon();
    void setState(State state);

    RunBoard& m_board;
    EngineConfig m_config;
    LookupKit m_kit;
    RunLedger m_ledger;
    ReachabilityWatch m_reachability;
    std::unique_ptr<RunScheduler> m_scheduler;
    // Only before the registries, never before the registrar.
    std::unique_ptr<DnsPrecheck> m_precheck;
    State m_state = State::Ready;
    // A start that waits for the bootstrap to load, and from which entry.
    bool m_loadingBootstrap = false;
    std::optional<qsizetype> m_pendingStart;
};

} // namespace ds
