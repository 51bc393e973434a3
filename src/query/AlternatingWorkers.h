#pragma once

#include "lookup/Lookup.h"
#include "query/RunScheduler.h"

#include <QTimer>

#include <memory>
#include <vector>

namespace ds {

class HTTPPage2;
class RunLedger;
class XTimerSupport;

// The registrar's workers, taking turns through the list: with three, worker
// 1 takes entries 0, 3, 6 ..., worker 2 entries 1, 4, 7 ..., worker 3 entries
// 2, 5, 8 .... Each step of a worker waits for a fresh page-request deferral
// and, after the first, for its restart interval; then its lookup waits for
// its turn at the registrar's one service.
class AlternatingWorkers final : public RunScheduler {
    Q_OBJECT
public:
    using LookupMaker = std::function<std::unique_ptr<Lookup>()>;

    AlternatingWorkers(RunLedger& ledger, XTimerSupport& timers, int workers, int restartIntervalMs,
                       const LookupMaker& makeLookup, QObject* parent = nullptr);
    ~AlternatingWorkers() override;

    void begin(qsizetype firstEntry, std::function<void()> finished) override;
    void setPaused(bool paused) override;
    void abandon() override;

private:
    enum class Phase { Idle, Waiting, Asking, Paused, Finished };
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

    void startDeferral(int worker);
    void giveUpWorker(int worker);
    void dropDeferral(Worker& w);
    void onDeferralEnded(int worker, quint64 token);
    void onRestartTick(int worker);
    void runStep(int worker);
    std::optional<QString> takeEntry(int worker);
    void onAnswered(int worker, const LookupRecord& record);
    void finishStep(int worker);
    void checkEnd();

    RunLedger& m_ledger;
    XTimerSupport& m_timers;
    int m_restartIntervalMs;
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::function<void()> m_finished;
    bool m_paused = false;
};

} // namespace ds
