#pragma once

#include "lookup/Answer.h"
#include "query/RunState.h"

#include <QString>
#include <QtGlobal>

namespace ds {

// The state a query run reads and writes: the live domain list, the results,
// the two counters, the run state and the pause flag. In the
// window these are the controls themselves; a batch run reads its list from
// streams and writes records to a file; the benchmark keeps them in memory. Every call must cost
// the same whatever the size of the list or of the boxes, so that a step never grows with the list.
class RunBoard {
public:
    virtual ~RunBoard() = default;

    // Entries of the list, numbered from 0, as separated by line breaks; a list
    // that ends with a line break has an empty last entry.
    virtual qsizetype entryCount() const = 0;
    virtual QString entryAt(qsizetype number) const = 0;

    // The one record of entry `number`; each board words it as it shows it.
    virtual void appendRecord(qsizetype number, const LookupRecord& record) = 0;
    virtual void clearResults() = 0;

    virtual void setTotal(qsizetype total) = 0;
    virtual void setDone(qsizetype done) = 0;
    // The window words it on the start button.
    virtual void setRunState(RunState state) = 0;
    virtual void setPaused(bool paused) = 0;

    // The number of lines: the entries without the empty one after a final
    // line break. A board over a stream, which has no such entry, says how far
    // it has read ahead.
    virtual qsizetype lineCount() const;
};

} // namespace ds
