#include "query/QueryEngine.h"

#include "common/Error.h"
#include "http/HTTPPage2.h"
#include "query/DomainList.h"
#include "query/RunBoard.h"
#include "query/RunCaptions.h"
#include "timer/XTimerSupport.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr int WorkerCount = 3;

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
    , m_registrar(m_config.registrar, m_config.requestTimeLimitMs) {
    for (int n = 0; n < WorkerCount; ++n) {
        QTimer& restart = m_workers[n].restart;
        restart.setSingleShot(true);
        restart.setTimerType(Qt::PreciseTimer);
        connect(&restart, &QTimer::timeout, this, [this, n] { onRestartTick(n); });
    }
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &QueryEngine::sendCheck);
}

QueryEngine::~QueryEngine() {
    abandon();
}

void QueryEngine::start(qsizetype firstEntry) {
    abandon();
    setState(State::Querying);
    const qsizetype lines = m_board.lineCount();
    m_board.setTotal(lines);
    m_done = 0;
    m_board.setDone(0);
    m_board.clearResults();
    m_held = false;
    m_board.setPauseFlag(false);
    for (int n = 0; n < WorkerCount; ++n) {
        m_workers[n].cursor = firstEntry + n;
        if (m_workers[n].cursor < lines) {
            startDeferral(n);
        } else {
            m_workers[n].phase = Phase::Finished;
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
    setState(State::Paused);
}

void QueryEngine::resume() {
    if (m_state != State::Paused) {
        return;
    }
    m_held = false;
    m_board.setPauseFlag(false);
    setState(State::Querying);
    // Only the workers that the pause held; the others are still on their way
    // and their restart tick will find the flag cleared.
    for (int n = 0; n < WorkerCount; ++n) {
        if (m_workers[n].phase == Phase::Held) {
            startDeferral(n);
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
    Worker& w = m_workers[worker];
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
    Worker& w = m_workers[worker];
    qsizetype failed = 0;
    for (qsizetype n = w.cursor; n < m_board.lineCount(); n += WorkerCount) {
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
    Worker& w = m_workers[worker];
    if (token != w.deferralToken || !w.deferralPending) {
        return;
    }
    w.deferralPending = false;
    if (!w.restartPending) {
        enqueue(worker);
    }
}

void QueryEngine::onRestartTick(int worker) {
    Worker& w = m_workers[worker];
    w.restartPending = false;
    if (m_held) {
        dropDeferral(w);
        w.phase = Phase::Held;
        checkRunEnd();
        return;
    }
    if (!w.deferralPending) {
        enqueue(worker);
    }
}

void QueryEngine::enqueue(int worker) {
    m_workers[worker].phase = Phase::Queued;
    m_queue.push_back(worker);
    pump();
}

void QueryEngine::pump() {
    while (!m_step && !m_queue.empty()) {
        const int worker = m_queue.front();
        m_queue.pop_front();
        runStep(worker);
    }
}

void QueryEngine::runStep(int worker) {
    BusyClock busy(m_busyNs);
    Worker& w = m_workers[worker];
    const qsizetype lines = m_board.lineCount();
    m_board.setTotal(lines);
    if (w.cursor >= lines) {
        // The list was shortened under the worker: nothing is left for it.
        w.phase = Phase::Finished;
        checkRunEnd();
        return;
    }
    w.phase = Phase::Stepping;
    LookupRecord record;
    record.entry = m_board.entryAt(w.cursor);
    if (endsUnasked(w.cursor, record.entry)) {
        finishStep(worker);
        return;
    }
    record.ascii = record.entry;
    m_step = Step{worker, w.cursor, std::move(record), {}};
    m_step->clock.start();
    sendCheck();
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

void QueryEngine::sendCheck() {
    ++m_step->record.tries;
    m_registrar.check(m_step->record.ascii,
                      [this](const RegistrarClient::Reply& reply) { onChecked(reply); });
}

void QueryEngine::onChecked(const RegistrarClient::Reply& reply) {
    {
        BusyClock busy(m_busyNs);
        Step& step = *m_step;
        const int retries = step.record.tries - 1;
        if (reply.answer.verdict == Verdict::Failed && retries < m_config.retry.maxRetries) {
            m_retryTimer.start(m_config.retry.delayMs(retries + 1, reply.retryAfter,
                                                      QDateTime::currentDateTimeUtc()));
            return;
        }
        step.record.answer = reply.answer;
        step.record.elapsedMs = step.clock.elapsed();
        m_board.appendRecord(step.number, step.record);
        const int worker = step.worker;
        m_step.reset();
        finishStep(worker);
    }
    pump();
}

void QueryEngine::finishStep(int worker) {
    Worker& w = m_workers[worker];
    m_board.setDone(++m_done);
    const qsizetype next = w.cursor + WorkerCount;
    if (next < m_board.lineCount()) {
        w.cursor = next;
        // The deferral runs beside the restart interval; the step waits for both.
        w.restartPending = true;
        w.restart.start(m_config.restartIntervalMs);
        startDeferral(worker);
    } else {
        w.phase = Phase::Finished;
    }
    checkRunEnd();
}

void QueryEngine::checkRunEnd() {
    if (m_state == State::Ready) {
        return;
    }
    for (const Worker& w : m_workers) {
        if (w.phase != Phase::Idle && w.phase != Phase::Finished) {
            return;
        }
    }
    setState(State::Ready);
    Q_EMIT runEnded();
}

void QueryEngine::abandon() {
    m_registrar.abandon();
    m_retryTimer.stop();
    m_step.reset();
    m_queue.clear();
    for (Worker& w : m_workers) {
        dropDeferral(w);
        w.restart.stop();
        w.restartPending = false;
        w.phase = Phase::Idle;
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
