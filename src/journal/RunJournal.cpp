#include "journal/RunJournal.h"

#include "journal/RecordLines.h"

#include <QDateTime>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr qint64 SyncIntervalMs = 1000;

QJsonObject parsed(const QByteArray& line) {
    return QJsonDocument::fromJson(line).object();
}

} // namespace

RunJournal::RunJournal(const QString& folder)
    : m_file(QDir(folder).filePath(u"run.journal"_s)) {}

bool RunJournal::begin(const QStringList& entries) {
    m_file.close();
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray text = QJsonDocument(QJsonObject{{u"journal"_s, 1}, {u"entries"_s, entries.size()}})
                          .toJson(QJsonDocument::Compact);
    text += '\n';
    for (const QString& entry : entries) {
        text += entry.toUtf8();
        text += '\n';
    }
    m_file.write(text);
    m_file.flush();
    sync();
    return true;
}

void RunJournal::append(qsizetype number, const LookupRecord& record) {
    if (!m_file.isOpen())
        return;
    QJsonObject object = RecordLines::toJson(record);
    object.insert(u"n"_s, number);
    writeLine(QJsonDocument(object).toJson(QJsonDocument::Compact));
    if (m_sinceSync.elapsed() >= SyncIntervalMs)
        sync();
}

void RunJournal::finish() {
    if (!m_file.isOpen())
        return;
    writeLine(QJsonDocument(QJsonObject{{u"complete"_s, true}}).toJson(QJsonDocument::Compact));
    sync();
    m_file.close();
}

void RunJournal::writeLine(const QByteArray& line) {
    m_file.write(line + '\n');
    // Handed to the system at once: a killed program loses nothing written.
    m_file.flush();
}

void RunJournal::sync() {
#ifdef Q_OS_UNIX
    ::fdatasync(m_file.handle());
#endif
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
    const QString aside =
        m_file.fileName() + u'.' + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    return QFile::rename(m_file.fileName(), aside);
}

} // namespace ds
