#pragma once

#include "app/FormRunBoard.h"

#include <vector>

namespace ds {

// The board the window's engine runs over. Usually it hands everything on to
// the window's own board; while failures are asked again, the engine sees only
// the failed lines as its list, numbered from 0, and each new record takes the
// place of its line's old one, the other results and the counts of the
// untouched lines staying as they are.
class RetryBoard final : public RunBoard {
public:
    explicit RetryBoard(FormRunBoard& board)
        : m_board(board) {}

    // Only these lines until widen(). The counters show `totalBefore` and
    // `doneBefore` lines besides the run's own.
    void narrow(std::vector<FormRunBoard::FailedLine> lines, qsizetype totalBefore,
                qsizetype doneBefore);
    void widen();
    bool narrowed() const { return m_narrowed; }
    // The list entries of the narrowed run that have had no new record.
    std::vector<qsizetype> unanswered() const;

    qsizetype entryCount() const override;
    QString entryAt(qsizetype number) const override;
    qsizetype lineCount() const override;

    void appendRecord(qsizetype number, const LookupRecord& record) override;
    void clearResults() override;

    void setTotal(qsizetype total) override;
    void setDone(qsizetype done) override;
    void setRunState(RunState state) override { m_board.setRunState(state); }
    void setPaused(bool paused) override { m_board.setPaused(paused); }

private:
    struct Line {
        FormRunBoard::FailedLine failed;
        bool answered = false;
    };
    FormRunBoard& m_board;
    std::vector<Line> m_lines;
    bool m_narrowed = false;
    qsizetype m_totalBefore = 0;
    qsizetype m_doneBefore = 0;
};

} // namespace ds
