#include "app/LineStore.h"

#include <algorithm>

namespace ds {

namespace {

constexpr qsizetype ChunkSize = 1 << 20;

} // namespace

const char* LineStore::bytesOf(const Line& line) const {
    return m_chunks[std::size_t(line.begin / ChunkSize)].constData() + line.begin % ChunkSize;
}

QString LineStore::line(qsizetype number) const {
    const Line& line = m_lines[std::size_t(number)];
    return QString::fromUtf8(bytesOf(line), line.length);
}

// A line starts a new chunk when it does not fit in the last one; a line
// longer than a chunk has one of its own.
LineStore::Line LineStore::store(QStringView line, int tag) {
    const QByteArray bytes = line.toUtf8();
    if (m_chunks.empty() || m_chunks.back().size() + bytes.size() > ChunkSize) {
        m_chunks.emplace_back();
        m_chunks.back().reserve(std::max(ChunkSize, bytes.size()));
    }
    QByteArray& chunk = m_chunks.back();
    const Line stored{std::int64_t(m_chunks.size() - 1) * ChunkSize + chunk.size(),
                      std::int32_t(bytes.size()), tag};
    chunk.append(bytes);
    m_used += bytes.size();
    return stored;
}

void LineStore::append(QStringView line, int tag) {
    m_lines.push_back(store(line, tag));
}

void LineStore::replace(qsizetype number, QStringView line, int tag) {
    m_unused += m_lines[std::size_t(number)].length;
    m_lines[std::size_t(number)] = store(line, tag);
    compactIfWasteful();
}

void LineStore::remove(qsizetype number) {
    m_unused += m_lines[std::size_t(number)].length;
    m_lines.erase(m_lines.begin() + number);
    compactIfWasteful();
}

void LineStore::clear() {
    m_lines = {};
    m_chunks = {};
    m_used = 0;
    m_unused = 0;
}

void LineStore::compactIfWasteful() {
    if (m_unused < ChunkSize || m_unused * 2 < m_used)
        return;
    LineStore kept;
    for (const Line& line : m_lines)
        kept.append(QString::fromUtf8(bytesOf(line), line.length), line.tag);
    *this = std::move(kept);
}

void LineStore::setText(QStringView text) {
    clear();
    qsizetype start = 0;
    const qsizetype end = text.size();
    while (start < end) {
        qsizetype stop = start;
        while (stop < end && text[stop] != u'\n' && text[stop] != u'\r' &&
               text[stop] != QChar::ParagraphSeparator && text[stop] != QChar::LineSeparator)
            ++stop;
        append(text.mid(start, stop - start));
        if (stop + 1 < end && text[stop] == u'\r' && text[stop + 1] == u'\n')
            ++stop;
        start = stop + 1;
    }
}

QString LineStore::text() const {
    QString text;
    text.reserve(m_used - m_unused + size());
    for (qsizetype n = 0; n < size(); ++n)
        text += line(n) + u'\n';
    return text;
}

qsizetype LineStore::find(int tag, qsizetype hint) const {
    if (tag < 0)
        return -1;
    for (qsizetype n = std::min(hint, size() - 1); n >= 0; --n) {
        if (m_lines[std::size_t(n)].tag == tag)
            return n;
    }
    return -1;
}

} // namespace ds
