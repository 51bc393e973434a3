#include "batch/RetryFile.h"

#include "format/RecordLines.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <optional>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// The record a line of the file holds. A last line without its line break
// was cut off mid-write: it is no record, and stays as it is.
std::optional<RecordLines::NameVerdict> recordOf(RecordFormat format, const QByteArray& bytes) {
    if (!bytes.endsWith('\n'))
        return std::nullopt;
    return RecordLines::read(format, QString::fromUtf8(bytes).trimmed());
}

} // namespace

RetryFile::RetryFile(QString fileName, RecordFormat format)
    : m_fileName(std::move(fileName))
    , m_format(format) {}

bool RetryFile::load(QString& error) {
    const QFileInfo info(m_fileName);
    if (!info.exists() || info.isDir()) {
        error = u"cannot retry the failures of %1: %2"_s.arg(
            m_fileName, info.isDir() ? u"it is a folder"_s : u"there is no such file"_s);
        return false;
    }
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = u"cannot read %1: %2"_s.arg(m_fileName, file.errorString());
        return false;
    }
    const QString header = RecordLines::header(m_format);
    qsizetype records = 0;
    qsizetype strangers = 0;
    NameSet failedSeen;
    QStringList failed;
    while (!file.atEnd()) {
        const QByteArray bytes = file.readLine();
        const auto record = recordOf(m_format, bytes);
        if (!record) {
            const QString line = QString::fromUtf8(bytes).trimmed();
            strangers += line.isEmpty() || line == header ? 0 : 1;
            continue;
        }
        ++records;
        if (record->verdict != Verdict::Failed)
            m_answered.insert(record->name);
        else if (failedSeen.insert(record->name))
            failed.append(record->name);
    }
    if (file.error() != QFileDevice::NoError) {
        error = u"reading %1 failed: %2"_s.arg(m_fileName, file.errorString());
        return false;
    }
    if (records == 0 && strangers > 0) {
        error = u"no line of %1 reads as a record of the format given; is --format right "
                u"(text unless given)?"_s.arg(m_fileName);
        return false;
    }
    for (const QString& name : failed) {
        if (!m_answered.contains(name))
            m_names.append(name);
    }
    return true;
}

bool RetryFile::write(const LookupRecord& record) {
    m_newLines.insert(record.entry, RecordLines::line(m_format, record));
    return true;
}

bool RetryFile::rewrite(QString& error) {
    QFile old(m_fileName);
    QSaveFile fresh(m_fileName);
    if (!old.open(QIODevice::ReadOnly)) {
        error = u"cannot read %1 again: %2"_s.arg(m_fileName, old.errorString());
        return false;
    }
    if (!fresh.open(QIODevice::WriteOnly)) {
        error = u"cannot write beside %1: %2"_s.arg(m_fileName, fresh.errorString());
        return false;
    }
    QSet<QString> written;
    m_replaced = 0;
    m_dropped = 0;
    while (!old.atEnd()) {
        QByteArray bytes = old.readLine();
        const auto record = recordOf(m_format, bytes);
        if (record && record->verdict == Verdict::Failed) {
            const auto newLine = m_newLines.constFind(record->name);
            const bool asked = newLine != m_newLines.cend();
            // One record a name: a failure the file answers elsewhere, or a
            // repeat of one already replaced, is out of date.
            if (m_answered.contains(record->name) || (asked && written.contains(record->name))) {
                ++m_dropped;
                continue;
            }
            if (asked) {
                // The line ending the line had, whatever the format's own.
                bytes = newLine->toUtf8() + (bytes.endsWith("\r\n") ? "\r\n" : "\n");
                written.insert(record->name);
                ++m_replaced;
            }
        }
        fresh.write(bytes);
    }
    if (old.error() != QFileDevice::NoError) {
        fresh.cancelWriting();
        error = u"reading %1 failed: %2; it is left as it was"_s.arg(m_fileName, old.errorString());
        return false;
    }
    if (!fresh.commit()) {
        error =
            u"cannot rewrite %1: %2; it is left as it was"_s.arg(m_fileName, fresh.errorString());
        return false;
    }
    return true;
}

QString RetryFile::rewriteSummary() const {
    QString summary =
        u"%1 rewritten: %2 failed record(s) replaced"_s.arg(m_fileName).arg(m_replaced);
    if (m_dropped > 0)
        summary += u", %1 out of date dropped"_s.arg(m_dropped);
    return summary;
}

} // namespace ds
