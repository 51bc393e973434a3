#pragma once

#include "lookup/Answer.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>

namespace ds {

class RunBoard;

// The one rule every run keeps, whoever schedules it: each line ends exactly
// once, as one record, or (a blank line, which names nothing) as a step
// without one; the done counter counts the lines ended.
class RunLedger {
public:
    explicit RunLedger(RunBoard& board)
        : m_board(board) {}

    RunBoard& board() const { return m_board; }
    void begin();
    qsizetype done() const { return m_done; }

    void record(qsizetype number, const LookupRecord& record);
    // True when the entry is no name to ask about: then it has ended, with an
    // "invalid" record unless it is blank.
    bool endIfUnaskable(qsizetype number, const QString& entry);
    // Ends the entry as failed, for the reason given.
    void fail(qsizetype number, const QString& entry, const QString& reason);

    // Counts the time spent in the scheduler's own work while it lives; an
    // inner count within an outer one adds nothing.
    class Busy {
    public:
        explicit Busy(RunLedger& ledger);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        RunLedger& m_ledger;
        QElapsedTimer m_clock;
    };
    qint64 busyNanoseconds() const { return m_busyNs; }

    // Told of every record, for watching the run.
    void onRecord(std::function<void(const LookupRecord&)> watch) { m_watch = std::move(watch); }

private:
    void countOne();

    RunBoard& m_board;
    qsizetype m_done = 0;
    qint64 m_busyNs = 0;
    int m_busyDepth = 0;
    std::function<void(const LookupRecord&)> m_watch;
};

} // namespace ds
