#include "batch/ResumeIndex.h"

#include "format/RecordLines.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace ds {

bool ResumeIndex::load(const QString& fileName, RecordFormat format, ResumeIndex& index,
                       QString& error) {
    QFile file(fileName);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadWrite)) {
        error = u"cannot resume from %1: %2"_s.arg(fileName, file.errorString());
        return false;
    }
    qint64 wholeLinesEnd = 0;
    while (!file.atEnd()) {
        const QByteArray bytes = file.readLine();
        if (!bytes.endsWith('\n'))
            break; // a crash mid-write: this record is asked again
        wholeLinesEnd = file.pos();
        const auto record = RecordLines::read(format, QString::fromUtf8(bytes).trimmed());
        if (record && record->verdict != Verdict::Failed)
            index.answered.insert(record->name);
    }
    if (wholeLinesEnd < file.size()) {
        index.droppedCutOffRecord = true;
        if (!file.resize(wholeLinesEnd)) {
            error = u"cannot cut the last record of %1: %2"_s.arg(fileName, file.errorString());
            return false;
        }
    }
    return true;
}

} // namespace ds
