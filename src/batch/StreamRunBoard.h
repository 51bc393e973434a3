#pragma once

#include "batch/NameSet.h"
#include "query/RunBoard.h"

#include <deque>
#include <functional>

namespace ds {

class EntryReader;
class RecordSink;

// How far a batch run has come.
struct BatchTally {
    qsizetype done = 0;
    qsizetype free = 0;
    qsizetype taken = 0;
    qsizetype failed = 0;
    qsizetype invalid = 0;
    // Of the taken, those the DNS answered: no registry was asked.
    qsizetype byDns = 0;
    // Of the taken, those in redemption or pending delete.
    qsizetype dropping = 0;
    // Lines naming a name already read, skipped.
    qsizetype repeats = 0;
    // Names the output already answered (--resume), skipped.
    qsizetype answeredBefore = 0;
};

// A run board over streams: the engine reads the names as the reader hands
// them out, just ahead of the workers, and every record goes to the writer.
// Only the names between the oldest unanswered one and the read-ahead are
// held, so memory stays flat however long the input; the names seen are kept
// as hashes to check each only once.
class StreamRunBoard final : public RunBoard {
public:
    // `answered`, when given, holds names to skip. `workers` is how many the
    // engine runs: each looks as far ahead as there are workers.
    StreamRunBoard(EntryReader& reader, RecordSink& writer, int workers,
                   const NameSet* answered = nullptr);

    // Reading ahead is how the count becomes known, hence the const reads.
    qsizetype entryCount() const override { return lineCount(); }
    QString entryAt(qsizetype number) const override;
    qsizetype lineCount() const override;

    void appendRecord(qsizetype number, const LookupRecord& record) override;
    void clearResults() override {}
    void setTotal(qsizetype) override {}
    void setDone(qsizetype) override {}
    void setRunState(RunState) override {}
    void setPaused(bool) override {}

    // Each told once, as the record that shows it arrives: the output can no
    // longer be written; an answer failed at the proxy (its detail says which).
    void onOutputBroken(std::function<void()> told) { m_outputBroken = std::move(told); }
    void onProxyFailed(std::function<void(const QString& detail)> told) {
        m_proxyFailed = std::move(told);
    }

    const BatchTally& tally() const { return m_tally; }
    // True once the last input has been read to its end.
    bool inputEnded() const { return m_inputEnded; }

private:
    struct Pending {
        QString name;
        bool answered = false;
    };
    void readAhead() const;

    EntryReader& m_reader;
    RecordSink& m_writer;
    const NameSet* m_answeredBefore;
    qsizetype m_readAhead;
    mutable NameSet m_seen;
    mutable std::deque<Pending> m_pending;
    // The number of m_pending's first name.
    qsizetype m_base = 0;
    mutable qsizetype m_highestAsked = -1;
    mutable bool m_inputEnded = false;
    mutable BatchTally m_tally;
    std::function<void()> m_outputBroken;
    std::function<void(const QString&)> m_proxyFailed;
};

} // namespace ds
