#pragma once

#include "batch/NameSet.h"
#include "batch/RecordWriter.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace ds {

// The output of an earlier run whose failures are asked again (--retry-failed).
// The file is read to learn which names failed; the new records gather here;
// then the file is written anew beside itself and renamed into place, each
// failed record replaced by its name's new one and every other line kept byte
// for byte, so that an interruption at any moment leaves either the old file
// or the new one.
class RetryFile final : public RecordSink {
public:
    RetryFile(QString fileName, RecordFormat format);

    // Reads the file; false with a one-line reason when it is missing,
    // unreadable or holds no record in the format.
    bool load(QString& error);
    // The names to ask again, each once, in the order of the file: those with
    // a failed record and no other.
    const QStringList& names() const { return m_names; }

    bool write(const LookupRecord& record) override;
    bool healthy() const override { return true; }

    // Writes the file anew with the records gathered so far; false with a
    // reason, the old file then left as it was.
    bool rewrite(QString& error);
    // What the last rewrite did, in one line.
    QString rewriteSummary() const;

private:
    QString m_fileName;
    RecordFormat m_format;
    QStringList m_names;
    // Names the file answers with anything but a failure: their failed
    // records, written before the answer, are out of date.
    NameSet m_answered;
    QHash<QString, QString> m_newLines;
    qsizetype m_replaced = 0;
    qsizetype m_dropped = 0;
};

} // namespace ds
