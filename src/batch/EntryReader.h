#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace ds {

// The names of a batch run, read line by line from the input files in order
// ("-" is standard input), never more than a buffer's worth at a time. CR LF,
// LF and CR all end a line; each line is trimmed and blank ones are skipped.
// Bytes that are no UTF-8 and control characters, NUL among them, become
// U+FFFD, so that a name is always one printable line.
class EntryReader final {
public:
    explicit EntryReader(QStringList inputs);
    ~EntryReader();

    // These names instead of the inputs, each as it is: a run that asks again
    // about names it already holds.
    void useNames(QStringList names);

    // Opens every input; false with a one-line reason naming the file.
    bool open(QString& error);
    // True when every input is a regular file, so that a first pass can count.
    bool canRewind() const;
    // Back to the first line of the first input.
    void rewind();

    std::optional<QString> next();
    // The reason reading stopped early, empty when every input was read whole.
    const QString& errorText() const { return m_error; }

private:
    bool fill();
    static QString entryFrom(const QByteArray& bytes);

    QStringList m_inputs;
    std::vector<std::unique_ptr<QFile>> m_files;
    std::size_t m_current = 0;
    QByteArray m_buffer;
    qsizetype m_position = 0;
    // Bytes from m_position on already known to hold no line break.
    qsizetype m_scanned = 0;
    bool m_skipLineFeed = false;
    bool m_lineStart = true;
    QString m_error;
    std::optional<QStringList> m_names;
    qsizetype m_nextName = 0;
};

} // namespace ds
