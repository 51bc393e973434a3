#pragma once

#include "format/RecordFormat.h"
#include "lookup/Answer.h"

#include <QFile>
#include <QString>

#include <optional>

namespace ds {

// Where a batch run's records go as they come.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    // False once a write has failed, this one or an earlier one.
    virtual bool write(const LookupRecord& record) = 0;
    virtual bool healthy() const = 0;
};

// Writes a batch run's records in its format to standard output or a file,
// each record handed to the system as soon as it is written, so that a crash
// loses at most the record being written. Once a write fails (a full disk, a
// closed pipe, the file size limit) it writes nothing more, and a file keeps
// only whole lines.
class RecordWriter final : public RecordSink {
public:
    RecordWriter(RecordFormat format, std::optional<RecordSelection> only);

    // Standard output when `fileName` is empty. `append` keeps what the file
    // holds; a header row is written only into an empty file.
    bool open(const QString& fileName, bool append, QString& error);
    bool write(const LookupRecord& record) override;
    bool healthy() const override { return m_healthy; }
    // The file's name, or "standard output".
    QString target() const;
    QString errorText() const { return m_error; }

private:
    bool writeLine(const QString& line);
    void dropPartialLine(qint64 written);

    RecordFormat m_format;
    std::optional<RecordSelection> m_only;
    QFile m_file;
    bool m_toStandardOutput = false;
    bool m_toConsole = false;
    bool m_healthy = true;
    QString m_error;
};

} // namespace ds
