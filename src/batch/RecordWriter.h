#pragma once

#include "config/BatchOptions.h"
#include "lookup/Answer.h"

#include <QFile>
#include <QString>

#include <optional>

namespace ds {

// Writes a batch run's records in its format to standard output or a file,
// each record handed to the system as soon as it is written, so that a crash
// loses at most the record being written.
class RecordWriter final {
public:
    RecordWriter(RecordFormat format, std::optional<Verdict> only);

    // Standard output when `fileName` is empty. `append` keeps what the file
    // holds; a header row is written only into an empty file.
    bool open(const QString& fileName, bool append, QString& error);
    void write(const LookupRecord& record);
    // False once a write has failed (a full disk, a closed pipe).
    bool healthy() const { return m_healthy; }
    QString errorText() const { return m_file.errorString(); }

private:
    void writeLine(const QString& line);

    RecordFormat m_format;
    std::optional<Verdict> m_only;
    QFile m_file;
    bool m_healthy = true;
};

} // namespace ds
