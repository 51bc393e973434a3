#include "query/QueryEngine.h"

#include "lookup/RdapBootstrapStore.h"
#include "query/AlternatingWorkers.h"
#include "query/DnsPrecheck.h"
#include "query/ReadinessDispatcher.h"
#include "query/RunBoard.h"
#include "timer/XTimerSupport.h"

#include <QPointer>

#include <utility>

namespace ds {

QueryEngine::QueryEngine(RunBoard& board, EngineConfig config, QObject* parent)
    : QueryEngine(board, std::move(config), XTimerSupport::instance(), parent) {}

QueryEngine::QueryEngine(RunBoard& board, EngineConfig config, XTimerSupport& timers,
                         QObject* parent)
    : QObject(parent)
    , m_board(board)
    , m_config(std::move(config))
    , m_kit(m_config)
    , m_ledger(board) {
    m_ledger.onRecord([this](const LookupRecord& record) {
        // Queued: the window may open a box, which must not run inside a step.
        if (m_reachability.looksDown(record.answer))
            QMetaObject::invokeMethod(
                this, [this] { Q_EMIT registriesUnreachable(); }, Qt::QueuedConnection);
    });
    if (m_config.registrar.isEmpty()) {
        setUpRegistries();
    } else {
        m_scheduler = std::make_unique<AlternatingWorkers>(
            m_ledger, timers, m_config.workers, m_config.restartIntervalMs,
            [this] { return m_kit.makeRegistrarLookup(); });
    }
    connect(m_scheduler.get(), &RunScheduler::problem, this, &QueryEngine::problem);
}

void QueryEngine::setUpRegistries() {
    auto dispatcher = std::make_unique<ReadinessDispatcher>(m_ledger, m_kit);
    if (m_config.dns) {
        ReadinessDispatcher* gated = dispatcher.get();
        DnsPrecheck::Hooks hooks;
        hooks.taken = [this](qsizetype number, const LookupRecord& record) {
            const RunLedger::Busy busy(m_ledger);
            m_ledger.record(number, record);
        };
        hooks.settled = [gated](qsizetype) {
            gated->wake();
        };
        hooks.oldestOpen = [gated] {
            return gated->oldestOpen();
        };
        hooks.silent = [this, gated] {
            Q_EMIT dnsUnanswered();
            gated->wake();
        };
        m_precheck = std::make_unique<DnsPrecheck>(*m_config.dns, m_board, std::move(hooks));
        dispatcher->setDnsStep(m_precheck.get());
    }
    m_scheduler = std::move(dispatcher);
    if (!m_config.bootstrap || m_config.bootstrap->current())
        return;
    m_loadingBootstrap = true;
    const QPointer<QueryEngine> self(this);
    m_config.bootstrap->load([self](const QString& trouble) {
        if (!self)
            return;
        self->m_loadingBootstrap = false;
        if (!trouble.isEmpty())
            Q_EMIT self->problem(tr("无法读取注册局（RDAP）服务器列表：%1").arg(trouble));
        if (const std::optional<qsizetype> first = std::exchange(self->m_pendingStart, {}))
            self->beginScheduling(*first);
    });
}

QueryEngine::~QueryEngine() {
    abandon();
}

void QueryEngine::start(qsizetype firstEntry) {
    abandon();
    setState(State::Querying);
    m_board.setTotal(m_board.lineCount());
    m_ledger.begin();
    m_board.clearResults();
    m_board.setPaused(false);
    m_reachability.reset();
    if (m_config.registrar.isEmpty() && m_config.bootstrap)
        m_config.bootstrap->refreshIfStale();
    // The DNS need not wait for the registries' list.
    if (m_precheck)
        m_precheck->start(firstEntry);
    // Names asked before the list of servers is there would all fail; once
    // it failed to load, they do, each with that reason.
    if (m_loadingBootstrap) {
        m_pendingStart = firstEntry;
        return;
    }
    beginScheduling(firstEntry);
}

void QueryEngine::beginScheduling(qsizetype firstEntry) {
    m_scheduler->begin(firstEntry, [this] { onFinished(); });
}

void QueryEngine::onFinished() {
    if (m_precheck)
        m_precheck->stop();
    setState(State::Ready);
    Q_EMIT runEnded();
}

void QueryEngine::pause() {
    if (m_state != State::Querying)
        return;
    m_board.setPaused(true);
    if (m_precheck)
        m_precheck->setPaused(true);
    m_scheduler->setPaused(true);
    setState(State::Paused);
}

void QueryEngine::resume() {
    if (m_state != State::Paused)
        return;
    m_board.setPaused(false);
    if (m_precheck)
        m_precheck->setPaused(false);
    setState(State::Querying);
    m_scheduler->setPaused(false);
}

void QueryEngine::stop() {
    abandon();
    m_board.setPaused(true);
    setState(State::Ready);
}

QList<ServerLoad> QueryEngine::busiestServers(int count) const {
    return m_state == State::Ready ? QList<ServerLoad>() : m_scheduler->busiestServers(count);
}

QList<ServiceQueue::Hold> QueryEngine::holds() const {
    return m_state == State::Ready ? QList<ServiceQueue::Hold>() : m_scheduler->holds();
}

void QueryEngine::abandon() {
    m_pendingStart.reset();
    if (m_precheck)
        m_precheck->stop();
    // Emptied first: a lookup giving up its turn must not hand it to the next.
    m_kit.queue().clear();
    m_scheduler->abandon();
}

void QueryEngine::setState(State state) {
    m_state = state;
    m_board.setRunState(state);
    Q_EMIT stateChanged(state);
}

} // namespace ds
