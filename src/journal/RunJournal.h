#pragma once

#include "lookup/Answer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace ds {

// A run's list and its records on disk, written as they come, so that a
// crash, a kill or a close in the middle of a run loses no answer: each record
// is handed to the system as it is written and synced at most once a second.
// The file is marked complete when the run ends or is stopped; a journal that
// is not complete is a run to offer back.
//
// A run holds the journal's lock from its start to its end, so that a second
// window never writes into a live run's journal nor offers it back; a lock
// whose process is gone counts as free.
//
// Layout, one line each: a JSON header {"journal":1,"entries":M}; the M
// entries as written; one JSON record per answer with its entry number "n";
// {"complete":true} last.
class RunJournal final {
public:
    // What a journal on disk holds, as far as it could be read.
    struct Contents {
        QStringList entries;
        QList<std::pair<qsizetype, LookupRecord>> records;
        bool complete = false;
        // The header promised more entries than the file holds.
        bool listCut = false;
        // Lines that were no record, a number out of range or a repeat.
        int damagedLines = 0;
    };

    // The journal file in `folder`.
    explicit RunJournal(const QString& folder);

    QString fileName() const { return m_file.fileName(); }

    using Records = QList<std::pair<qsizetype, LookupRecord>>;

    // Takes the lock for a run; false while another window's run holds it
    // (heldElsewhere() then says so) or when the lock cannot be made.
    bool claim();
    bool heldElsewhere() const { return m_heldElsewhere; }
    // A new journal for a run over `entries` with the records already had,
    // written beside the old one and renamed over it, so that a crash
    // meanwhile leaves one or the other whole. Needs the lock.
    bool begin(const QStringList& entries, const Records& records = {});
    // The same with the entries as their UTF-8 text, each line ended by a
    // line break: a list of millions is written without a string per line.
    bool begin(qsizetype entryCount, const QByteArray& entryLines, const Records& records);
    void append(qsizetype number, const LookupRecord& record);
    // Marks the run complete, closes the file and lets go of the lock.
    void finish();
    // Why the journal is not being written, once anything failed; empty
    // while all is well.
    QString problem() const { return m_problem; }

    // nullopt when there is no journal at all.
    static std::optional<Contents> read(const QString& fileName);
    // Renames the journal beside itself with the time, so that it is kept but
    // no longer offered; false when that failed. Lets go of the lock.
    bool setAside();

private:
    void writeLine(const QByteArray& line);
    void sync();
    void fail(const QString& reason);

    QFile m_file;
    QLockFile m_lock;
    bool m_heldElsewhere = false;
    QString m_problem;
    QElapsedTimer m_sinceSync;
};

} // namespace ds
