#pragma once

#include "format/RecordFormat.h"
#include "lookup/Answer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace ds {

class LineBox;

// "导出结果": both result boxes saved to a file, as text (the boxes' own
// lines), CSV or JSON Lines as a batch run writes them.
namespace ResultsFile {

// CSV for ".csv", JSON Lines for ".jsonl" and ".json", the boxes' text otherwise.
RecordFormat formatFor(const QString& fileName);

struct Export {
    QByteArray bytes;
    // Lines of the boxes that are no result line, left out of CSV and JSON Lines.
    int skippedLines = 0;
};
// The answer the run kept for a line (method, server, details ...); nullopt
// for a line no record wrote, which is exported with its name and verdict only.
// It is given the line's tag.
using AnswerOf = std::function<std::optional<Answer>(int facts)>;
// The boxes' lines in order: the free box first, then the other.
Export contents(const QList<const LineBox*>& boxes, RecordFormat format, const AnswerOf& answerOf);

// Writes to a temporary file beside `fileName` and renames it into place, so a
// failure leaves an existing file whole; false with the reason.
bool save(const QString& fileName, const QByteArray& bytes, QString& error);

// Saves the boxes to `fileName` and tells the person how that went.
void exportBoxes(QWidget* parent, const QString& fileName, const QList<const LineBox*>& boxes,
                 const AnswerOf& answerOf);

} // namespace ResultsFile
} // namespace ds
