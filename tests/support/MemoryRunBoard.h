#pragma once

#include "format/RecordLines.h"
#include "query/RunBoard.h"

#include <QStringList>

namespace ds::test {

// A run's state kept in plain fields, so that the engine can be driven and
// inspected without a window.
class MemoryRunBoard final : public RunBoard {
public:
    // The list as the user would type it: lines separated by '\n'.
    void setList(const QString& text) { entries = text.split(u'\n'); }

    qsizetype entryCount() const override { return entries.size(); }
    QString entryAt(qsizetype number) const override { return entries.at(number); }

    // Worded as the window words them, free names apart from the rest.
    void appendRecord(qsizetype number, const LookupRecord& record) override {
        const QString line = RecordLines::windowLine(record);
        (RecordLines::belongsInFreeBox(record.answer.verdict) ? free : taken).append(line);
        records.append({number, record});
    }
    void clearResults() override {
        free.clear();
        taken.clear();
        records.clear();
    }

    void setTotal(qsizetype value) override { total = value; }
    void setDone(qsizetype value) override { done = value; }
    void setRunState(RunState value) override { state = value; }
    void setPaused(bool value) override { paused = value; }

    QStringList entries;
    QStringList free;
    QStringList taken;
    QList<std::pair<qsizetype, LookupRecord>> records;
    qsizetype total = 0;
    qsizetype done = 0;
    RunState state = RunState::Ready;
    bool paused = false;
};

} // namespace ds::test
