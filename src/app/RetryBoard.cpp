#include "app/RetryBoard.h"

namespace ds {

void RetryBoard::narrow(std::vector<FormRunBoard::FailedLine> lines, qsizetype totalBefore,
                        qsizetype doneBefore) {
    m_lines.clear();
    m_lines.reserve(lines.size());
    for (FormRunBoard::FailedLine& line : lines)
        m_lines.push_back({std::move(line), false});
    m_totalBefore = totalBefore;
    m_doneBefore = doneBefore;
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
    Line& line = m_lines.at(std::size_t(number));
    line.answered = true;
    m_board.replaceResult(line.failed, record);
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
