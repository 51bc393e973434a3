#include "app/FailedRetry.h"

#include "app/Form1.h"
#include "app/LinkLabel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QSet>
#include <QTextDocument>

namespace ds {

FailedRetry::FailedRetry(Form1& form, FormRunBoard& board, LinkLabel* link)
    : m_form(form)
    , m_board(board)
    , m_link(link)
    , m_retryBoard(board) {
    connect(form.Text4()->document(), &QTextDocument::contentsChanged, this, [this] {
        m_listChanged = true;
        if (m_link->isEnabled())
            refresh();
    });
    m_link->setEnabled(false);
}

void FailedRetry::wholeListRun() {
    m_retryBoard.widen();
    m_listChanged = false;
}

bool FailedRetry::begin() {
    std::vector<FormRunBoard::FailedLine> lines = m_board.failedLines();
    if (lines.empty() || m_listChanged) {
        refresh();
        return false;
    }
    QSet<qsizetype> again;
    for (const FormRunBoard::FailedLine& line : lines)
        again.insert(line.entry);
    // The journal starts again with every record but those asked again; a
    // journal that is gone or belongs to another list keeps only the new ones.
    RunJournal::Records kept;
    m_oldRecords.clear();
    const RunJournal* journal = m_board.journal();
    const auto contents = journal ? RunJournal::read(journal->fileName()) : std::nullopt;
    if (contents && contents->entries.size() == m_board.lineCount()) {
        for (const auto& [number, record] : contents->records) {
            if (again.contains(number))
                m_oldRecords.insert(number, record);
            else
                kept.append({number, record});
        }
    }
    const qsizetype doneBefore = m_form.Label3(1)->text().toLongLong();
    m_board.beginRun(kept);
    const auto failed = qsizetype(lines.size());
    m_retryBoard.narrow(std::move(lines), m_board.lineCount() - failed, doneBefore - failed);
    return true;
}

void FailedRetry::refresh() {
    const bool running = m_form.runHoldsList();
    if (!running && m_retryBoard.narrowed())
        endRetry();
    const qsizetype failed = running || m_listChanged ? 0 : qsizetype(m_board.failedLines().size());
    m_link->setEnabled(failed > 0);
    m_link->setToolTip(
        failed > 0 ? tr("重新查询上次结果中“查询失败”的 %1 个域名，其余结果不变。").arg(failed)
                   : QString());
}

// Lines the run did not reach (it was stopped) keep their old records, in the
// journal too.
void FailedRetry::endRetry() {
    if (RunJournal* journal = m_board.journal()) {
        for (const qsizetype entry : m_retryBoard.unanswered()) {
            const auto old = m_oldRecords.constFind(entry);
            if (old != m_oldRecords.cend())
                journal->append(entry, *old);
        }
    }
    m_oldRecords.clear();
    m_retryBoard.widen();
}

} // namespace ds
