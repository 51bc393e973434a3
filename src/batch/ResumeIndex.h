#pragma once

#include "batch/NameSet.h"
#include "format/RecordFormat.h"

#include <QString>

namespace ds {

// What an earlier run's output already answers, so that --resume asks only
// the rest.
struct ResumeIndex {
    // Names with a final verdict: anything but "failed".
    NameSet answered;
    // A last record cut off mid-write was dropped from the file.
    bool droppedCutOffRecord = false;

    // Reads `fileName` in `format` and cuts a last line that has no line break,
    // so that appending starts on a fresh line. A missing file is an empty
    // index; false with a reason when the file cannot be read or cut.
    static bool load(const QString& fileName, RecordFormat format, ResumeIndex& index,
                     QString& error);
};

} // namespace ds
