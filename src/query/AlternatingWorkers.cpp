#include "query/AlternatingWorkers.h"

#include "common/Error.h"
#include "http/HTTPPage2.h"
#include "query/RunBoard.h"
#include "query/RunLedger.h"

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

AlternatingWorkers::AlternatingWorkers(RunLedger& ledger, XTimerSupport& timers, int workers,
                                       int restartIntervalMs, const LookupMaker& makeLookup,
                                       QObject* parent)
    : RunScheduler(parent)
    , m_ledger(ledger)
    , m_timers(timers)
    , m_restartIntervalMs(restartIntervalMs) {
    const int count = std::max(1, workers);
    for (int n = 0; n < count; ++n) {
        auto worker = std::make_unique<Worker>();
        worker->restart.setSingleShot(true);
        worker->restart.setTimerType(Qt::PreciseTimer);
        connect(&worker->restart, &QTimer::timeout, this, [this, n] { onRestartTick(n); });
        worker->lookup = makeLookup();
        m_workers.push_back(std::move(worker));
    }
}

AlternatingWorkers::~AlternatingWorkers() {
    abandon();
}

void AlternatingWorkers::begin(qsizetype firstEntry, std::function<void()> finished) {
    abandon();
    m_finished = std::move(finished);
    m_paused = false;
    const qsizetype lines = m_ledger.board().lineCount();
    for (std::size_t n = 0; n < m_workers.size(); ++n) {
        Worker& w = *m_workers[n];
        w.cursor = firstEntry + qsizetype(n);
        if (w.cursor < lines)
            startDeferral(int(n));
        else
            w.phase = Phase::Finished;
    }
    checkEnd();
}

void AlternatingWorkers::setPaused(bool paused) {
    m_paused = paused;
    if (paused)
        return;
    // Only the workers that the pause stopped; the others are still on their way
    // and their restart tick will find the flag cleared.
    for (std::size_t n = 0; n < m_workers.size(); ++n) {
        if (m_workers[n]->phase == Phase::Paused)
            startDeferral(int(n));
    }
    checkEnd();
}

void AlternatingWorkers::abandon() {
    m_finished = nullptr;
    for (const auto& w : m_workers) {
        w->lookup->abandon();
        dropDeferral(*w);
        w->restart.stop();
        w->restartPending = false;
        w->phase = Phase::Idle;
    }
}

void AlternatingWorkers::startDeferral(int worker) {
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

// Its entries end as failures now rather than never: no name is lost, and the
// run can still end. Callers check for the run's end themselves.
void AlternatingWorkers::giveUpWorker(int worker) {
    Worker& w = *m_workers[std::size_t(worker)];
    const qsizetype stride = qsizetype(m_workers.size());
    const RunBoard& board = m_ledger.board();
    qsizetype failed = 0;
    for (qsizetype n = w.cursor; n < board.lineCount(); n += stride) {
        const QString entry = board.entryAt(n);
        if (!m_ledger.endIfUnaskable(n, entry)) {
            m_ledger.fail(n, entry, u"the worker could not start"_s);
            ++failed;
        }
    }
    w.phase = Phase::Finished;
    Q_EMIT problem(tr("第%1路查询未能启动，它负责的%2个域名已记为“查询失败”，请稍后重新查询。")
                       .arg(worker + 1)
                       .arg(failed));
}

void AlternatingWorkers::dropDeferral(Worker& w) {
    ++w.deferralToken;
    w.deferralPending = false;
    w.page.reset();
}

void AlternatingWorkers::onDeferralEnded(int worker, quint64 token) {
    Worker& w = *m_workers[std::size_t(worker)];
    if (token != w.deferralToken || !w.deferralPending)
        return;
    w.deferralPending = false;
    if (!w.restartPending)
        runStep(worker);
}

void AlternatingWorkers::onRestartTick(int worker) {
    Worker& w = *m_workers[std::size_t(worker)];
    w.restartPending = false;
    if (m_paused) {
        dropDeferral(w);
        w.phase = Phase::Paused;
        return;
    }
    if (!w.deferralPending)
        runStep(worker);
}

void AlternatingWorkers::runStep(int worker) {
    Worker& w = *m_workers[std::size_t(worker)];
    w.phase = Phase::Asking;
    w.lookup->ask([this, worker] { return takeEntry(worker); },
                  [this, worker](const LookupRecord& record) { onAnswered(worker, record); });
}

// Read when the lookup's turn comes: the list may have changed while it waited.
std::optional<QString> AlternatingWorkers::takeEntry(int worker) {
    const RunLedger::Busy busy(m_ledger);
    Worker& w = *m_workers[std::size_t(worker)];
    RunBoard& board = m_ledger.board();
    const qsizetype lines = board.lineCount();
    board.setTotal(lines);
    if (w.cursor >= lines) {
        // The list was shortened under the worker: nothing is left for it.
        w.phase = Phase::Finished;
        checkEnd();
        return std::nullopt;
    }
    w.asked = w.cursor;
    QString entry = board.entryAt(w.cursor);
    if (m_ledger.endIfUnaskable(w.cursor, entry)) {
        finishStep(worker);
        return std::nullopt;
    }
    return entry;
}

void AlternatingWorkers::onAnswered(int worker, const LookupRecord& record) {
    const RunLedger::Busy busy(m_ledger);
    m_ledger.record(m_workers[std::size_t(worker)]->asked, record);
    finishStep(worker);
}

void AlternatingWorkers::finishStep(int worker) {
    Worker& w = *m_workers[std::size_t(worker)];
    const qsizetype next = w.cursor + qsizetype(m_workers.size());
    if (next < m_ledger.board().lineCount()) {
        w.cursor = next;
        // The deferral runs beside the restart interval; the step waits for both.
        w.restartPending = true;
        w.restart.start(m_restartIntervalMs);
        startDeferral(worker);
    } else {
        w.phase = Phase::Finished;
    }
    checkEnd();
}

void AlternatingWorkers::checkEnd() {
    for (const auto& w : m_workers) {
        if (w->phase != Phase::Idle && w->phase != Phase::Finished)
            return;
    }
    if (std::function<void()> finished = std::exchange(m_finished, nullptr))
        finished();
}

} // namespace ds
