#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <deque>
#include <vector>

namespace ds {

// The lines of a result box, a million of them in a few dozen megabytes: the
// text as UTF-8 in chunks of a megabyte, and per line where it starts, how
// long it is and a number its owner gives it (the index of the line's facts,
// or -1). Chunks and line records are never moved as they grow, so growing
// never holds the old and the new copy at once. A line replaced or removed
// leaves its old bytes behind until they are half of all.
class LineStore {
public:
    qsizetype size() const { return qsizetype(m_lines.size()); }
    bool isEmpty() const { return m_lines.empty(); }
    QString line(qsizetype number) const;
    int tag(qsizetype number) const { return m_lines[std::size_t(number)].tag; }

    void append(QStringView line, int tag = -1);
    void replace(qsizetype number, QStringView line, int tag);
    void remove(qsizetype number);
    void clear();
    // The lines of `text`, split at any line break, each without a tag.
    void setText(QStringView text);
    // Every line followed by a line break.
    QString text() const;

    // Where the line tagged `tag` is now, looking from `hint` upwards, since
    // lines only ever move up; -1 when it is gone.
    qsizetype find(int tag, qsizetype hint) const;

private:
    struct Line {
        std::int64_t begin = 0;
        std::int32_t length = 0;
        std::int32_t tag = -1;
    };
    Line store(QStringView line, int tag);
    const char* bytesOf(const Line& line) const;
    void compactIfWasteful();

    std::vector<QByteArray> m_chunks;
    std::deque<Line> m_lines;
    std::int64_t m_used = 0;
    std::int64_t m_unused = 0;
};

} // namespace ds
