#pragma once

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

    void appendFree(const QString& line) override { free.append(line); }
    void appendTaken(const QString& line) override { taken.append(line); }
    void clearResults() override {
        free.clear();
        taken.clear();
    }

    void setTotal(qsizetype value) override { total = value; }
    void setDone(qsizetype value) override { done = value; }
    void setCaption(const QString& value) override { caption = value; }
    void setPauseFlag(bool value) override { held = value; }

    QStringList entries;
    QStringList free;
    QStringList taken;
    qsizetype total = 0;
    qsizetype done = 0;
    QString caption;
    bool held = false;
};

} // namespace ds::test
