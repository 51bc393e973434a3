#include "query/QueryEngine.h"

#include "common/Error.h"
#include "http/HTTPPage2.h"
#include "http/HttpRequest.h"
#include "lookup/RdapBootstrapStore.h"
#include "lookup/RegistrarLookup.h"
#include "lookup/RegistryLookup.h"
#include "lookup/WhoisPatterns.h"
#include "query/DnsPrecheck.h"
#include "query/DomainList.h"
#include "query/RunBoard.h"
#include "query/RunCaptions.h"
#include "timer/XTimerSupport.h"

#include <QPointer>

#include <algorithm>
#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Registry answers without any reply, before any reply at all, that make the
// network look down.
constexpr int SilentAnswersForUnreachable = 3;

// Adds the time a piece of the engine's own work took to a running total.
class BusyClock {
public:
    explicit BusyClock(qint64& total)
        : m_total(total) {
        m_clock.start();
    }
    ~BusyClock() { m_total += m_clock.nsecsElapsed(); }
    BusyClock(const BusyClock&) = delete;
    BusyClock& operator=(const BusyClock&) = delete;

private:
    qint64& m_total;
    QElapsedTimer m_clock;
};

} // namespace

QueryEngine::QueryEngine(RunBoard& board, EngineConfig config, QObject* parent)
    : QueryEngine(board, std::move(config), XTimerSupport::instance(), parent) {}

QueryEngine::QueryEngine(RunBoard& board, EngineConfig config, XTimerSupport& timers,
                         QObject* parent)
    : QObject(parent)
    , m_board(board)
    , m_config(std::move(config))
    , m_timers(timers)
    , m_services(m_config.registrar.isEmpty() ? m_config.serverIntervalMs : 0)
    , m_whoisServices(m_config.whoisServerIntervalMs) {
    HttpRequest::setProxy(m_config.proxy);
    if (m_config.registrar.isEmpty()) {
        m_whoisServers = std::make_unique<WhoisServers>(WhoisPatterns::builtIn(), m_config.whois);
        m_whoisServices.setLongestBackOffMs(qint64(WhoisPatterns::kLongestBackoffSeconds) * 1000);
        if (m_config.dns) {
            DnsPrecheck::Hooks hooks;
            hooks.taken = [this](qsizetype number, const LookupRecord& record) {
                onDnsTaken(number, record);
            };
            hooks.settled = [this](qsizetype number) {
                wakeAwaitingDns(number);
            };
            hooks.oldestOpen = [this] {
                return oldestOpenEntry();
            };
            hooks.silent = [this] {
                Q_EMIT dnsUnanswered();
                wakeAwaitingDns(std::nullopt);
            };
            m_precheck = std::make_unique<DnsPrecheck>(*m_config.dns, m_board, std::move(hooks));
        }
    }
    const int count = std::max(1, m_config.workers);
    for (int n = 0; n < count; ++n) {
        auto worker = std::make_unique<Worker>();
        worker->restart.setSingleShot(true);
        worker->restart.setTimerType(Qt::PreciseTimer);
        connect(&worker->restart, &QTimer::timeout, this, [this, n] { onRestartTick(n); });
        worker->lookup = makeLookup();
        m_workers.push_back(std::move(worker));
    }
    if (m_config.registrar.isEmpty() && m_config.bootstrap && !m_config.bootstrap->current()) {
        m_loadingBootstrap = true;
        const QPointer<QueryEngine> self(this);
        m_config.bootstrap->load([self](const QString& trouble) {
            if (!self)
                return;
            self->m_loadingBootstrap = false;
            if (!trouble.isEmpty())
                Q_EMIT self->problem(tr("无法读取注册局（RDAP）服务器列表：%1").arg(trouble));
            if (const std::optional<qsizetype> first = std::exchange(self->m_pendingStart, {}))
                self->beginWorkers(*first);
        });
    }
}

std::unique_ptr<Lookup> QueryEngine::makeLookup() {
    if (!m_config.registrar.isEmpty())
        return std::make_unique<RegistrarLookup>(m_services, m_config.registrar,
                                                 m_config.requestTimeLimitMs, m_config.retry);
    RdapLookup::Options options;
    options.timeLimitMs = m_config.requestTimeLimitMs;
    options.retry = m_config.retry;
    WhoisLookup::Options whois;
    whois.timeLimitMs = m_config.requestTimeLimitMs;
    // Plain TCP: through a SOCKS5 proxy, never an HTTP one. The system's
    // choice is asked once, not per server.
    whois.proxy = m_config.proxy.socketProxy(QString(), 43);
    return std::make_unique<RegistryLookup>(
        m_services, m_config.bootstrap, options,
        std::make_unique<WhoisLookup>(m_whoisServices, *m_whoisServers, WhoisPatterns::builtIn(),
                                      whois));
}

QueryEngine::~QueryEngine() {
    abandon();
}

void QueryEngine::start(qsizetype firstEntry) {
    abandon();
    setState(State::Querying);
    m_board.setTotal(m_board.lineCount());
    m_done = 0;
    m_board.setDone(0);
    m_board.clearResults();
    m_held = false;
    m_board.setPauseFlag(false);
    m_silentAnswers = 0;
    m_heardFromRegistry = false;
    // The proxy is the process's: say again which one this run uses.
    HttpRequest::setProxy(m_config.proxy);
    if (m_config.registrar.isEmpty() && m_config.bootstrap)
        m_config.bootstrap->refreshIfStale();
    for (std::size_t n = 0; n < m_workers.size(); ++n)
        m_workers[n]->cursor = firstEntry + qsizetype(n);
    // The DNS need not wait for the registries' list.
    if (m_precheck)
        m_precheck->start(firstEntry);
    // Names asked before the list of servers is there would all fail; once
    // it failed to load, they do, each with that reason.
    if (m_loadingBootstrap) {
        m_pendingStart = firstEntry;
        return;
    }
    beginWorkers(firstEntry);
}

void QueryEngine::beginWorkers(qsizetype firstEntry) {
    const qsizetype lines = m_board.lineCount();
    for (std::size_t n = 0; n < m_workers.size(); ++n) {
        Worker& w = *m_workers[n];
        w.cursor = firstEntry + qsizetype(n);
        if (w.cursor < lines) {
            startDeferral(int(n));
        } else {
            w.phase = Phase::Finished;
        }
    }
    checkRunEnd();
}

void QueryEngine::pause() {
    if (m_state != State::Querying) {
        return;
    }
    m_held = true;
    m_board.setPauseFlag(true);
    if (m_precheck)
        m_precheck->hold(true);
    setState(State::Paused);
}

void QueryEngine::resume() {
    if (m_state != State::Paused) {
        return;
    }
    m_held = false;
    m_board.setPauseFlag(false);
    if (m_precheck)
        m_precheck->hold(false);
    setState(State::Querying);
    // Only the workers that the pause held; the others are still on their way
    // and their restart tick will find the flag cleared.
    for (std::size_t n = 0; n < m_workers.size(); ++n) {
        if (m_workers[n]->phase == Phase::Held) {
            startDeferral(int(n));
        }
    }
    checkRunEnd();
}

void QueryEngine::stop() {
    abandon();
    m_held = true;
    m_board.setPauseFlag(true);
    setState(State::Ready);
}

void QueryEngine::startDeferral(int worker) {
    Worker& w = *m_workers[std::size_t(worker)];
    dropDeferral(w);
    w.phase = Phase::Waiting;
    w.page = HTTPPage2::create(m_timers);
    const quint64 token = w.deferralToken;
    // The step runs on its own turn of the event loop, never inside the
    // component's event, so that the component can be replaced freely.
    w.page->onHttpEvent([this, worker, token](const QString&) {
        QMetaObject::invokeMethod(
            this, [this, worker, token] { onDeferralEnded(worker, token); }, Qt::QueuedConnection);
    });
    w.deferralPending = true;
    try {
        w.page->SubIniData(u"about:blank"_s, u"gb2312"_s, u"10"_s);
    } catch (const Error& error) {
        qWarning("Worker %d could not start: %s", worker + 1, error.what());
        dropDeferral(w);
        w.restart.stop();
        w.restartPending = false;
        giveUpWorker(worker);
    }
}

void QueryEngine::giveUpWorker(int worker) {
    // Its entries end as failures now rather than never: no name is lost, and
    // the run can still end. Callers check for the run's end themselves.
    Worker& w = *m_workers[std::size_t(worker)];
    const qsizetype stride = qsizetype(m_workers.size());
    qsizetype failed = 0;
    for (qsizetype n = w.cursor; n < m_board.lineCount(); n += stride) {
        // The DNS has recorded it already.
        if (m_precheck && !m_precheck->claim(n))
            continue;
        LookupRecord record;
        record.entry = m_board.entryAt(n);
        if (!endsUnasked(n, record.entry)) {
            record.answer.detail = u"the worker could not start"_s;
            m_board.appendRecord(n, record);
            ++failed;
        }
        m_board.setDone(++m_done);
    }
    w.phase = Phase::Finished;
    Q_EMIT problem(tr("第%1路查询未能启动，它负责的%2个域名已记为“查询失败”，请稍后重新查询。")
                       .arg(worker + 1)
                       .arg(failed));
}

void QueryEngine::dropDeferral(Worker& w) {
    ++w.deferralToken;
    w.deferralPending = false;
    w.page.reset();
}

void QueryEngine::onDeferralEnded(int worker, quint64 token) {
    Worker& w = *m_workers[std::size_t(worker)];
    if (token != w.deferralToken || !w.deferralPending) {
        return;
    }
    w.deferralPending = false;
    if (!w.restartPending) {
        runStep(worker);
    }
}

void QueryEngine::onRestartTick(int worker) {
    Worker& w = *m_workers[std::size_t(worker)];
    w.restartPending = false;
    if (m_held) {
        dropDeferral(w);
        w.phase = Phase::Held;
        checkRunEnd();
        return;
    }
    if (!w.deferralPending) {
        runStep(worker);
    }
}

void QueryEngine::runStep(int worker) {
    Worker& w = *m_workers[std::size_t(worker)];
    if (m_precheck && !passDnsAnswered(worker))
        return;
    w.phase = Phase::Asking;
    w.lookup->ask([this, worker] { return takeEntry(worker); },
                  [this, worker](const LookupRecord& record) { onAnswered(worker, record); });
}

// Moves the worker past the names the DNS found taken; false when it has to
// wait for the DNS or has nothing left.
bool QueryEngine::passDnsAnswered(int worker) {
    Worker& w = *m_workers[std::size_t(worker)];
    const qsizetype stride = qsizetype(m_workers.size());
    for (;;) {
        if (w.cursor >= m_board.lineCount()) {
            w.phase = Phase::Finished;
            m_precheck->moreRoom();
            checkRunEnd();
            return false;
        }
        // The worker may just have made room for its own entry to be asked,
        // or settled at once, being no name.
        if (m_precheck->finding(w.cursor) == DnsPrecheck::Finding::Pending)
            m_precheck->moreRoom();
        switch (m_precheck->finding(w.cursor)) {
        case DnsPrecheck::Finding::Taken:
            w.cursor += stride;
            continue;
        case DnsPrecheck::Finding::Pending:
            w.phase = Phase::AwaitingDns;
            return false;
        case DnsPrecheck::Finding::AskRegistry:
            return true;
        }
    }
}

void QueryEngine::onDnsTaken(qsizetype number, const LookupRecord& record) {
    BusyClock busy(m_busyNs);
    m_board.appendRecord(number, record);
    m_board.setDone(++m_done);
}

// A worker waiting for the DNS on the entry (on any entry without one) goes
// on, on a later turn: the DNS's answer is still being handed over.
void QueryEngine::wakeAwaitingDns(std::optional<qsizetype> number) {
    for (std::size_t n = 0; n < m_workers.size(); ++n) {
        Worker& w = *m_workers[n];
        if (w.phase != Phase::AwaitingDns || (number && w.cursor != *number))
            continue;
        w.phase = Phase::Waiting;
        QMetaObject::invokeMethod(
            this,
            [this, n, token = w.deferralToken] {
                Worker& waiting = *m_workers[n];
                if (waiting.deferralToken != token || waiting.phase != Phase::Waiting)
                    return;
                if (m_held) {
                    waiting.phase = Phase::Held;
                    checkRunEnd();
                } else {
                    runStep(int(n));
                }
            },
            Qt::QueuedConnection);
    }
}

qsizetype QueryEngine::oldestOpenEntry() const {
    qsizetype oldest = std::numeric_limits<qsizetype>::max();
    for (const auto& w : m_workers) {
        if (w->phase != Phase::Finished)
            oldest = std::min(oldest, w->cursor);
    }
    return oldest;
}

// Read when the lookup's turn comes: the list may have changed while it waited.
std::optional<QString> QueryEngine::takeEntry(int worker) {
    BusyClock busy(m_busyNs);
    Worker& w = *m_workers[std::size_t(worker)];
    const qsizetype lines = m_board.lineCount();
    m_board.setTotal(lines);
    if (w.cursor >= lines) {
        // The list was shortened under the worker: nothing is left for it.
        w.phase = Phase::Finished;
        checkRunEnd();
        return std::nullopt;
    }
    w.asked = w.cursor;
    QString entry = m_board.entryAt(w.cursor);
    if (endsUnasked(w.cursor, entry)) {
        finishStep(worker);
        return std::nullopt;
    }
    return entry;
}

bool QueryEngine::endsUnasked(qsizetype number, const QString& entry) {
    if (DomainList::isQueryable(entry))
        return false;
    // A name that cannot be one never reaches the wire; a blank line names nothing.
    if (!entry.trimmed().isEmpty()) {
        LookupRecord record;
        record.entry = entry;
        record.answer.verdict = Verdict::Invalid;
        record.answer.detail = u"not a domain name"_s;
        m_board.appendRecord(number, record);
    }
    return true;
}

void QueryEngine::onAnswered(int worker, const LookupRecord& record) {
    BusyClock busy(m_busyNs);
    m_board.appendRecord(m_workers[std::size_t(worker)]->asked, record);
    noteReachability(record.answer);
    finishStep(worker);
}

void QueryEngine::noteReachability(const Answer& answer) {
    if (answer.method != Method::Rdap || m_heardFromRegistry)
        return;
    if (answer.httpStatus != 0 || answer.verdict != Verdict::Failed) {
        m_heardFromRegistry = answer.httpStatus != 0;
        return;
    }
    if (++m_silentAnswers == SilentAnswersForUnreachable)
        Q_EMIT registriesUnreachable();
}

void QueryEngine::finishStep(int worker) {
    Worker& w = *m_workers[std::size_t(worker)];
    m_board.setDone(++m_done);
    const qsizetype next = w.cursor + qsizetype(m_workers.size());
    if (next < m_board.lineCount()) {
        w.cursor = next;
        // The deferral runs beside the restart interval; the step waits for both.
        w.restartPending = true;
        w.restart.start(m_config.restartIntervalMs);
        startDeferral(worker);
    } else {
        w.phase = Phase::Finished;
    }
    // The oldest open entry may have moved on.
    if (m_precheck)
        m_precheck->moreRoom();
    checkRunEnd();
}

void QueryEngine::checkRunEnd() {
    if (m_state == State::Ready) {
        return;
    }
    for (const auto& w : m_workers) {
        if (w->phase != Phase::Idle && w->phase != Phase::Finished) {
            return;
        }
    }
    setState(State::Ready);
    Q_EMIT runEnded();
}

void QueryEngine::abandon() {
    m_pendingStart.reset();
    // Emptied first: a lookup giving up its turn must not hand it to the next.
    m_services.clear();
    m_whoisServices.clear();
    for (const auto& w : m_workers) {
        w->lookup->abandon();
        dropDeferral(*w);
        w->restart.stop();
        w->restartPending = false;
        w->phase = Phase::Idle;
    }
}

void QueryEngine::setState(State state) {
    m_state = state;
    switch (state) {
    case State::Ready:
        m_board.setCaption(RunCaptions::ready());
        break;
    case State::Querying:
        m_board.setCaption(RunCaptions::querying());
        break;
    case State::Paused:
        m_board.setCaption(RunCaptions::paused());
        break;
    }
}

} // namespace ds
