#include "batch/EntryReader.h"

#include "platform/StandardInput.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr qint64 ChunkBytes = 256 * 1024;

bool isStandardInput(const QString& input) {
    return input == "-"_L1;
}

} // namespace

EntryReader::EntryReader(QStringList inputs)
    : m_inputs(inputs.isEmpty() ? QStringList{u"-"_s} : std::move(inputs)) {}

EntryReader::~EntryReader() = default;

void EntryReader::useNames(QStringList names) {
    m_inputs.clear();
    m_names = std::move(names);
}

bool EntryReader::open(QString& error) {
    for (const QString& input : m_inputs) {
        auto file = std::make_unique<QFile>();
        bool opened = false;
        if (isStandardInput(input)) {
            opened = platform::openStandardInput(*file);
        } else {
            file->setFileName(input);
            opened = !QFileInfo(input).isDir() && file->open(QIODevice::ReadOnly);
        }
        if (!opened) {
            error = u"cannot read %1: %2"_s.arg(
                input, QFileInfo(input).isDir() ? u"it is a folder"_s : file->errorString());
            return false;
        }
        m_files.push_back(std::move(file));
    }
    return true;
}

bool EntryReader::canRewind() const {
    for (const auto& file : m_files) {
        if (file->isSequential() || file->fileName().isEmpty())
            return false;
    }
    return true;
}

void EntryReader::rewind() {
    m_nextName = 0;
    for (const auto& file : m_files)
        file->seek(0);
    m_current = 0;
    m_buffer.clear();
    m_position = 0;
    m_scanned = 0;
    m_skipLineFeed = false;
    m_lineStart = true;
}

bool EntryReader::fill() {
    if (m_current >= m_files.size())
        return false;
    QFile& file = *m_files[m_current];
    const QByteArray chunk = file.read(ChunkBytes);
    if (!chunk.isEmpty()) {
        m_buffer = m_buffer.mid(m_position) + chunk;
        m_position = 0;
        return true;
    }
    if (file.error() != QFileDevice::NoError && m_error.isEmpty())
        m_error =
            u"reading %1 failed: %2"_s.arg(m_inputs.at(qsizetype(m_current)), file.errorString());
    return false;
}

std::optional<QString> EntryReader::next() {
    if (m_names)
        return m_nextName < m_names->size() ? std::optional(m_names->at(m_nextName++))
                                            : std::nullopt;
    while (m_current < m_files.size()) {
        if (m_skipLineFeed && m_position < m_buffer.size()) {
            m_skipLineFeed = false;
            if (m_buffer.at(m_position) == '\n')
                ++m_position;
        }
        // A long line arrives over many reads: each byte is looked at once.
        const char* end = m_buffer.constData() + m_buffer.size();
        const char* found = std::find_if(m_buffer.constData() + m_position + m_scanned, end,
                                         [](char c) { return c == '\n' || c == '\r'; });
        const qsizetype scan = found - m_buffer.constData();
        m_scanned = 0;
        std::optional<QByteArray> line;
        const bool firstOfInput = std::exchange(m_lineStart, false);
        if (found != end) {
            line = m_buffer.sliced(m_position, scan - m_position);
            m_skipLineFeed = *found == '\r';
            m_position = scan + 1;
        } else if (const qsizetype scanned = scan - m_position; fill()) {
            m_scanned = scanned;
            m_lineStart = firstOfInput;
            continue;
        } else {
            // The end of this input ends its last line, with or without a break.
            line = m_buffer.mid(m_position);
            m_buffer.clear();
            m_position = 0;
            m_skipLineFeed = false;
            m_lineStart = true;
            ++m_current;
        }
        if (firstOfInput && line->startsWith("\xEF\xBB\xBF"))
            line->remove(0, 3); // a byte-order mark is no part of the first name
        QString entry = entryFrom(*line);
        if (!entry.isEmpty())
            return entry;
    }
    return std::nullopt;
}

QString EntryReader::entryFrom(const QByteArray& bytes) {
    QString entry = QString::fromUtf8(bytes).trimmed();
    for (QChar& c : entry) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return entry;
}

} // namespace ds
