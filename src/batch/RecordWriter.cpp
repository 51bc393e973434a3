#include "batch/RecordWriter.h"

#include "journal/RecordLines.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ds {

RecordWriter::RecordWriter(RecordFormat format, std::optional<Verdict> only)
    : m_format(format)
    , m_only(only) {}

bool RecordWriter::open(const QString& fileName, bool append, QString& error) {
    bool opened = false;
    if (fileName.isEmpty()) {
        opened = m_file.open(stdout, QIODevice::WriteOnly);
    } else {
        m_file.setFileName(fileName);
        opened =
            m_file.open(QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate));
    }
    if (!opened) {
        error = u"cannot write %1: %2"_s.arg(fileName, m_file.errorString());
        return false;
    }
    const QString header = RecordLines::header(m_format);
    if (!header.isEmpty() && (fileName.isEmpty() || m_file.size() == 0))
        writeLine(header);
    return true;
}

void RecordWriter::write(const LookupRecord& record) {
    if (m_only && record.answer.verdict != *m_only)
        return;
    writeLine(RecordLines::line(m_format, record));
}

void RecordWriter::writeLine(const QString& line) {
    const QByteArray bytes = (line + RecordLines::lineEnding(m_format)).toUtf8();
    m_healthy = m_healthy && m_file.write(bytes) == bytes.size() && m_file.flush();
}

} // namespace ds
