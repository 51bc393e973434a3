#pragma once

#include <QString>
#include <QtGlobal>

namespace ds {

// The state a query run reads and writes: the live domain list, the two result
// boxes, the two counters, the start button's caption and the pause flag. In
// the window these are the controls themselves; a headless run or the
// benchmark keeps them in memory. Every call must cost the same whatever the
// size of the list or of the boxes, so that a step never grows with the list.
class RunBoard {
public:
    virtual ~RunBoard() = default;

    // Entries of the list, numbered from 0, as separated by line breaks; a list
    // that ends with a line break has an empty last entry.
    virtual qsizetype entryCount() const = 0;
    virtual QString entryAt(qsizetype number) const = 0;

    // Result boxes: one line is appended with its line break.
    virtual void appendFree(const QString& line) = 0;
    virtual void appendTaken(const QString& line) = 0;
    virtual void clearResults() = 0;

    virtual void setTotal(qsizetype total) = 0;
    virtual void setDone(qsizetype done) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setPauseFlag(bool held) = 0;

    // The number of lines: the entries without the empty one after a final
    // line break.
    qsizetype lineCount() const;
};

} // namespace ds
