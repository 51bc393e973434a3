#include "batch/RecordWriter.h"

#include "format/RecordLines.h"
#include "platform/ConsoleText.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ds {

RecordWriter::RecordWriter(RecordFormat format, std::optional<RecordSelection> only)
    : m_format(format)
    , m_only(only) {}

bool RecordWriter::open(const QString& fileName, bool append, QString& error) {
    // Unbuffered: each line goes to the system at once, and nothing is left
    // in a buffer to be written later, after a failure has been handled.
    bool opened = false;
    m_toStandardOutput = fileName.isEmpty();
    m_toConsole = m_toStandardOutput && platform::takesCharacters(stdout);
    if (m_toStandardOutput) {
        opened = m_file.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else {
        m_file.setFileName(fileName);
        opened = m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered |
                             (append ? QIODevice::Append : QIODevice::Truncate));
    }
    if (!opened) {
        error = u"cannot write %1: %2"_s.arg(fileName, m_file.errorString());
        return false;
    }
    const QString header = RecordLines::header(m_format);
    if (!header.isEmpty() && (m_toStandardOutput || m_file.size() == 0))
        writeLine(header);
    return true;
}

QString RecordWriter::target() const {
    return m_toStandardOutput ? u"standard output"_s : m_file.fileName();
}

bool RecordWriter::write(const LookupRecord& record) {
    if (m_only && !selects(*m_only, record.answer.verdict))
        return m_healthy;
    return writeLine(RecordLines::line(m_format, record));
}

bool RecordWriter::writeLine(const QString& line) {
    if (!m_healthy)
        return false;
    // A Chinese cmd.exe left at code page 936 would show UTF-8 bytes garbled.
    if (m_toConsole) {
        m_healthy = platform::writeText(stdout, line + RecordLines::lineEnding(m_format));
        if (!m_healthy)
            m_error = u"the console takes no more text"_s;
        return m_healthy;
    }
    const QByteArray bytes = (line + RecordLines::lineEnding(m_format)).toUtf8();
    qint64 written = 0;
    // A short write says nothing of why; the next attempt at the rest fails
    // with the reason (or, the trouble having passed, completes the line).
    while (written < bytes.size()) {
        const qint64 step = m_file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0) {
            m_healthy = false;
            m_error = m_file.errorString();
            dropPartialLine(written);
            return false;
        }
        written += step;
    }
    return true;
}

// A file the run writes must hold whole records only: a resumed run reads it.
// A pipe cannot be taken back, and a reader past a failed write is gone anyway.
void RecordWriter::dropPartialLine(qint64 written) {
    if (written > 0 && !m_file.isSequential())
        m_file.resize(m_file.size() - written);
}

} // namespace ds
