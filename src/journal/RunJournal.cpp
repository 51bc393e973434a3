#include "journal/RunJournal.h"

#include "format/RecordLines.h"
#include "platform/DiskSync.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr qint64 SyncIntervalMs = 1000;

QJsonObject parsed(const QByteArray& line) {
    return QJsonDocument::fromJson(line).object();
}

QByteArray recordLine(qsizetype number, const LookupRecord& record) {
    QJsonObject object = RecordLines::toJson(record);
    object.insert(u"n"_s, number);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

RunJournal::RunJournal(const QString& folder)
    : m_file(QDir(folder).filePath(u"run.journal"_s))
    , m_lock(QDir(folder).filePath(u"run.journal.lock"_s)) {
    // Only a lock whose process is gone is free: a long run's is not stale.
    m_lock.setStaleLockTime(0);
}

bool RunJournal::claim() {
    m_heldElsewhere = false;
    if (m_lock.isLocked())
        return true;
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    if (m_lock.tryLock(0))
        return true;
    m_heldElsewhere = m_lock.error() == QLockFile::LockFailedError;
    if (!m_heldElsewhere)
        m_problem = QDir::toNativeSeparators(QFileInfo(m_file).absolutePath()) +
                    QCoreApplication::translate("RunJournal", "：无法在此创建文件");
    return false;
}

bool RunJournal::begin(const QStringList& entries, const Records& records) {
    QByteArray lines;
    for (const QString& entry : entries) {
        lines += entry.toUtf8();
        lines += '\n';
    }
    return begin(entries.size(), lines, records);
}

bool RunJournal::begin(qsizetype entryCount, const QByteArray& entryLines, const Records& records) {
    m_file.close();
    m_problem.clear();
    if (!claim())
        return false;
    QSaveFile next(m_file.fileName());
    QByteArray header = QJsonDocument(QJsonObject{{u"journal"_s, 1}, {u"entries"_s, entryCount}})
                            .toJson(QJsonDocument::Compact);
    header += '\n';
    QByteArray kept;
    for (const auto& [number, record] : records)
        kept += recordLine(number, record) + '\n';
    // Three writes: a million-line list is not worth copying once more.
    const auto writes = [&next](const QByteArray& bytes) {
        return next.write(bytes) == bytes.size();
    };
    if (!next.open(QIODevice::WriteOnly) || !writes(header) || !writes(entryLines) ||
        !writes(kept) || !next.commit()) {
        fail(next.errorString());
        return false;
    }
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        fail(m_file.errorString());
        return false;
    }
    m_sinceSync.start();
    return true;
}

void RunJournal::append(qsizetype number, const LookupRecord& record) {
    if (!m_file.isOpen())
        return;
    writeLine(recordLine(number, record));
    if (m_file.isOpen() && m_sinceSync.elapsed() >= SyncIntervalMs)
        sync();
}

void RunJournal::finish() {
    if (m_file.isOpen()) {
        writeLine(QJsonDocument(QJsonObject{{u"complete"_s, true}}).toJson(QJsonDocument::Compact));
        if (m_file.isOpen())
            sync();
        m_file.close();
    }
    m_lock.unlock();
}

void RunJournal::writeLine(const QByteArray& line) {
    const QByteArray bytes = line + '\n';
    // Handed to the system at once: a killed program loses nothing written.
    if (m_file.write(bytes) != bytes.size() || !m_file.flush())
        fail(m_file.errorString());
}

// The run goes on without its journal: its results are still shown, only
// a crash would lose them.
void RunJournal::fail(const QString& reason) {
    m_problem = QDir::toNativeSeparators(m_file.fileName()) + u"："_s + reason;
    m_file.close();
}

void RunJournal::sync() {
    platform::syncToDisk(m_file.handle());
    m_sinceSync.start();
}

std::optional<RunJournal::Contents> RunJournal::read(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Contents contents;
    const QByteArray header = file.readLine();
    const qsizetype promised = parsed(header).value("entries"_L1).toInteger(-1);
    if (promised < 0) {
        // Not even the header: nothing to offer, but the file is there.
        contents.listCut = true;
        return contents;
    }
    while (contents.entries.size() < promised && !file.atEnd()) {
        QByteArray line = file.readLine();
        if (!line.endsWith('\n'))
            break; // cut off mid-entry
        line.chop(1);
        contents.entries.append(QString::fromUtf8(line));
    }
    contents.listCut = contents.entries.size() < promised;
    QSet<qsizetype> answered;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        const QJsonObject object = parsed(line);
        if (object.value("complete"_L1).toBool()) {
            contents.complete = true;
            continue;
        }
        const qsizetype number = object.value("n"_L1).toInteger(-1);
        const auto record = RecordLines::fromJson(object);
        if (!line.endsWith('\n') || !record || number < 0 || number >= contents.entries.size() ||
            answered.contains(number)) {
            ++contents.damagedLines;
            continue;
        }
        answered.insert(number);
        contents.records.append({number, *record});
    }
    return contents;
}

bool RunJournal::setAside() {
    m_file.close();
    m_lock.unlock();
    const QString aside =
        m_file.fileName() + u'.' + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    return QFile::rename(m_file.fileName(), aside);
}

} // namespace ds
