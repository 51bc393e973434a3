#include "app/RetryBoard.h"

#include <QHash>
#include <QTextDocument>

namespace ds {

RetryBoard::RetryBoard(FormRunBoard& board, QTextDocument* failureBox)
    : m_board(board)
    , m_failureBox(failureBox) {
    m_watch = QObject::connect(m_failureBox, &QTextDocument::contentsChange, [this] {
        if (!m_replacing)
            m_linesCurrent = false;
    });
}

RetryBoard::~RetryBoard() {
    QObject::disconnect(m_watch);
}

void RetryBoard::narrow(std::vector<FormRunBoard::FailedLine> lines, qsizetype totalBefore,
                        qsizetype doneBefore) {
    m_lines.clear();
    m_lines.reserve(lines.size());
    for (FormRunBoard::FailedLine& line : lines)
        m_lines.push_back({std::move(line), false});
    m_totalBefore = totalBefore;
    m_doneBefore = doneBefore;
    m_linesCurrent = true;
    m_narrowed = true;
}

void RetryBoard::widen() {
    m_lines.clear();
    m_narrowed = false;
}

std::vector<qsizetype> RetryBoard::unanswered() const {
    std::vector<qsizetype> entries;
    for (const Line& line : m_lines) {
        if (!line.answered)
            entries.push_back(line.failed.entry);
    }
    return entries;
}

qsizetype RetryBoard::entryCount() const {
    return m_narrowed ? qsizetype(m_lines.size()) : m_board.entryCount();
}

QString RetryBoard::entryAt(qsizetype number) const {
    return m_board.entryAt(m_narrowed ? m_lines.at(std::size_t(number)).failed.entry : number);
}

qsizetype RetryBoard::lineCount() const {
    return m_narrowed ? qsizetype(m_lines.size()) : m_board.lineCount();
}

void RetryBoard::appendRecord(qsizetype number, const LookupRecord& record) {
    if (!m_narrowed) {
        m_board.appendRecord(number, record);
        return;
    }
    if (!m_linesCurrent)
        findLinesAgain();
    Line& line = m_lines.at(std::size_t(number));
    line.answered = true;
    m_replacing = true;
    m_board.replaceResult(line.failed.line, line.failed.entry, record);
    m_replacing = false;
}

// Someone edited or cleared the box: each line held is looked up again by its
// facts, which stay with the line however it moved; a line that is gone is
// no longer there to replace.
void RetryBoard::findLinesAgain() {
    QHash<int, QTextBlock> shown;
    for (const FormRunBoard::FailedLine& failed : m_board.failedLines())
        shown.insert(failed.facts, failed.line);
    for (Line& line : m_lines)
        line.failed.line = shown.value(line.failed.facts);
    m_linesCurrent = true;
}

void RetryBoard::clearResults() {
    if (!m_narrowed)
        m_board.clearResults();
}

void RetryBoard::setTotal(qsizetype total) {
    m_board.setTotal(m_narrowed ? m_totalBefore + total : total);
}

void RetryBoard::setDone(qsizetype done) {
    m_board.setDone(m_narrowed ? m_doneBefore + done : done);
}

} // namespace ds
