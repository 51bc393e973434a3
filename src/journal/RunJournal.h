#pragma once

#include "lookup/Answer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
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

    // A new journal for a run over `entries`, replacing the previous one.
    bool begin(const QStringList& entries);
    void append(qsizetype number, const LookupRecord& record);
    // Marks the run complete and closes the file.
    void finish();

    // nullopt when there is no journal at all.
    static std::optional<Contents> read(const QString& fileName);
    // Renames the journal beside itself with the time, so that it is kept but
    // no longer offered; false when that failed.
    bool setAside();

private:
    void writeLine(const QByteArray& line);
    void sync();

    QFile m_file;
    QElapsedTimer m_sinceSync;
};

} // namespace ds
