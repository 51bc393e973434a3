#include "app/ResultsFile.h"

#include "app/LineBox.h"
#include "app/MessageBoxes.h"
#include "format/RecordLines.h"

#include <QCoreApplication>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace ds::ResultsFile {

RecordFormat formatFor(const QString& fileName) {
    const QString lower = fileName.toLower();
    if (lower.endsWith(".csv"_L1))
        return RecordFormat::Csv;
    if (lower.endsWith(".jsonl"_L1) || lower.endsWith(".json"_L1))
        return RecordFormat::Jsonl;
    return RecordFormat::Text;
}

Export contents(const QList<const LineBox*>& boxes, RecordFormat format, const AnswerOf& answerOf) {
    Export result;
    QString text;
    const QString header = RecordLines::header(format);
    if (!header.isEmpty())
        text += header + RecordLines::lineEnding(format);
    for (const LineBox* box : boxes) {
        for (qsizetype number = 0; number < box->lineCount(); ++number) {
            const QString line = box->line(number);
            if (line.isEmpty())
                continue;
            if (format == RecordFormat::Text) {
                text += line + u'\n';
                continue;
            }
            const auto read = RecordLines::read(RecordFormat::Text, line);
            if (!read) {
                ++result.skippedLines;
                continue;
            }
            // The line's text has the last word on name and verdict: a person
            // may have edited it.
            LookupRecord record;
            record.answer = answerOf(box->tag(number)).value_or(Answer());
            record.entry = read->name;
            record.answer.verdict = read->verdict;
            text += RecordLines::line(format, record) + RecordLines::lineEnding(format);
        }
    }
    result.bytes = text.toUtf8();
    return result;
}

bool save(const QString& fileName, const QByteArray& bytes, QString& error) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

void exportBoxes(QWidget* parent, const QString& fileName, const QList<const LineBox*>& boxes,
                 const AnswerOf& answerOf) {
    const Export exported = contents(boxes, formatFor(fileName), answerOf);
    QString error;
    if (!save(fileName, exported.bytes, error)) {
        MessageBoxes::inform(
            parent,
            QCoreApplication::translate("ResultsFile", "导出失败：%1\n%2").arg(fileName, error));
        return;
    }
    QString done = QCoreApplication::translate("ResultsFile", "结果已导出到：%1").arg(fileName);
    if (exported.skippedLines > 0)
        done += QCoreApplication::translate("ResultsFile", "\n（%1 行不是查询结果，没有导出。）")
                    .arg(exported.skippedLines);
    MessageBoxes::inform(parent, done);
}

} // namespace ds::ResultsFile
