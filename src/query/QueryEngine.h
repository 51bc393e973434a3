#pragma once

#include "query/RegistrarClient.h"
#include "query/ReplyVerdict.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <array>
#include <deque>
#include <memory>
#include <optional>

namespace ds {

class HTTPPage2;
class RunBoard;
class XTimerSupport;

struct EngineConfig {
    QUrl registrar;
    int requestTimeLimitMs = 30000;
    int restartIntervalMs = 100;
    RetryPolicy retry;
};

// Runs the three workers through the domain list: worker 1 takes entries 0, 3,
// 6 ..., worker 2 entries 1, 4, 7 ..., worker 3 entries 2, 5, 8 .... Each step
// of a worker waits for a fresh page-request deferral and, after the first,
// for its restart interval; then it waits for its turn, since only one
// availability request is ever outstanding. Every line of a run ends as
// exactly one record, a failure or an invalid name included, unless the run is
// stopped; only blank lines, which name nothing, end without one.
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
    void runEnded();

private:
    enum class Phase { Idle, Waiting, Queued, Stepping, Held, Finished };
    struct Worker {
        qsizetype cursor = 0;
        Phase phase = Phase::Idle;
        bool deferralPending = false;
        bool restartPending = false;
        quint64 deferralToken = 0;
        std::shared_ptr<HTTPPage2> page;
        QTimer restart;
    };
    struct Step {
        int worker = 0;
        qsizetype number = 0;
        LookupRecord record;
        QElapsedTimer clock;
    };

    void startDeferral(int worker);
    void dropDeferral(Worker& w);
    void giveUpWorker(int worker);
    void onDeferralEnded(int worker, quint64 token);
    void onRestartTick(int worker);
    void enqueue(int worker);
    void pump();
    void runStep(int worker);
    // True when the entry is no name to ask about; then it has had its record.
    bool endsUnasked(qsizetype number, const QString& entry);
    void sendCheck();
    void onChecked(const RegistrarClient::Reply& reply);
    void finishStep(int worker);
    void checkRunEnd();
    void abandon();
    void setState(State state);

    RunBoard& m_board;
    EngineConfig m_config;
    XTimerSupport& m_timers;
    RegistrarClient m_registrar;
    std::array<Worker, 3> m_workers;
    std::deque<int> m_queue;
    std::optional<Step> m_step;
    QTimer m_retryTimer;
    State m_state = State::Ready;
    bool m_held = false;
    qsizetype m_done = 0;
    qint64 m_busyNs = 0;
};

} // namespace ds
