#include "app/FormRunBoard.h"

#include "app/Form1.h"
#include "journal/RecordLines.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace ds {

FormRunBoard::FormRunBoard(Form1& form, const QString& journalFolder)
    : m_form(form) {
    if (!journalFolder.isEmpty())
        m_journal = std::make_unique<RunJournal>(journalFolder);
}

qsizetype FormRunBoard::entryCount() const {
    if (continuing())
        return qsizetype(m_pending.size());
    return m_form.Text4()->document()->blockCount();
}

QString FormRunBoard::entryAt(qsizetype number) const {
    return m_form.Text4()->document()->findBlockByNumber(int(listNumber(number))).text();
}

qsizetype FormRunBoard::lineCount() const {
    return continuing() ? qsizetype(m_pending.size()) : RunBoard::lineCount();
}

qsizetype FormRunBoard::listNumber(qsizetype number) const {
    return continuing() ? m_pending.at(std::size_t(number)) : number;
}

void FormRunBoard::appendRecord(qsizetype number, const LookupRecord& record) {
    const bool free = RecordLines::belongsInFreeBox(record.answer.verdict);
    appendLine(free ? m_form.Text1() : m_form.Text2(), RecordLines::windowLine(record));
    if (m_journal)
        m_journal->append(listNumber(number), record);
}

void FormRunBoard::clearResults() {
    if (continuing())
        return; // the restored results are this run's own
    m_form.Text1()->clear();
    m_form.Text2()->clear();
}

void FormRunBoard::setTotal(qsizetype total) {
    showNumber(m_form.Label3(0), continuing() ? m_answered + total : total);
}

void FormRunBoard::setDone(qsizetype done) {
    showNumber(m_form.Label3(1), continuing() ? m_answered + done : done);
}

void FormRunBoard::setCaption(const QString& caption) {
    m_form.Command1()->setText(caption);
}

void FormRunBoard::setPauseFlag(bool held) {
    m_form.Check1()->setChecked(held);
}

void FormRunBoard::beginRun() {
    m_pending.clear();
    m_answered = -1;
    if (!m_journal)
        return;
    QStringList entries;
    const qsizetype lines = lineCount();
    entries.reserve(lines);
    for (qsizetype n = 0; n < lines; ++n)
        entries.append(entryAt(n));
    m_journal->begin(entries);
}

void FormRunBoard::endRun() {
    if (m_journal)
        m_journal->finish();
}

void FormRunBoard::restore(const RunJournal::Contents& contents) {
    m_form.Text4()->setPlainText(contents.entries.join(u'\n') + u'\n');
    m_form.Text1()->clear();
    m_form.Text2()->clear();
    QSet<qsizetype> answered;
    if (m_journal)
        m_journal->begin(contents.entries);
    for (const auto& [number, record] : contents.records) {
        answered.insert(number);
        const bool free = RecordLines::belongsInFreeBox(record.answer.verdict);
        appendLine(free ? m_form.Text1() : m_form.Text2(), RecordLines::windowLine(record));
        if (m_journal)
            m_journal->append(number, record);
    }
    m_pending.clear();
    for (qsizetype n = 0; n < contents.entries.size(); ++n) {
        if (!answered.contains(n))
            m_pending.push_back(n);
    }
    m_answered = contents.entries.size() - qsizetype(m_pending.size());
}

void FormRunBoard::appendLine(QPlainTextEdit* box, const QString& line) {
    // Inserting at the end touches only the last block; rewriting the box's
    // whole text would cost time in proportion to what it already holds.
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    if (!cursor.block().text().isEmpty()) {
        // Someone typed a last line without a line break: keep lines apart.
        cursor.insertText(QStringLiteral("\n"));
    }
    cursor.insertText(line + u'\n');
}

void FormRunBoard::showNumber(QLabel* label, qsizetype number) {
    label->setText(QString::number(number));
    label->adjustSize(); // a counter grows to the right as its number gets longer
}

} // namespace ds
