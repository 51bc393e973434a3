#pragma once

#include "config/BatchOptions.h"

#include <QByteArray>
#include <QString>

class QWidget;

namespace ds {

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
// The free box's lines first, then the other box's.
Export contents(const QString& text1, const QString& text2, RecordFormat format);

// Writes to a temporary file beside `fileName` and renames it into place, so a
// failure leaves an existing file whole; false with the reason.
bool save(const QString& fileName, const QByteArray& bytes, QString& error);

// Saves both boxes to `fileName` and tells the person how that went.
void exportBoxes(QWidget* parent, const QString& fileName, const QString& text1,
                 const QString& text2);

} // namespace ResultsFile
} // namespace ds
