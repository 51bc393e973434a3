#include "app/FormRunBoard.h"

#include "app/Form1.h"
#include "app/LineBox.h"
#include "app/ListText.h"
#include "app/RunCaptions.h"
#include "format/RecordLines.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>

#include <utility>

using namespace Qt::StringLiterals;

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
    appendResult(listNumber(number), record);
    keepRecord(listNumber(number), record);
}

// The journal gets every record, and a proxy that failed is told of once.
void FormRunBoard::keepRecord(qsizetype entry, const LookupRecord& record) {
    if (m_journal) {
        m_journal->append(entry, record);
        checkJournal();
    }
    if (record.answer.proxyFailed)
        tellOnce(m_toldProxy, tr("%1\n经过这个代理的名字都列为“查询失败”，"
                                 "请检查代理是否在运行，或在“设置”中更换。")
                                  .arg(record.answer.detail));
}

void FormRunBoard::clearResults() {
    if (continuing())
        return; // the restored results are this run's own
    m_form.Text1()->clear();
    m_form.Text2()->clear();
    m_facts.clear();
}

void FormRunBoard::setTotal(qsizetype total) {
    showNumber(m_form.Label3(0), continuing() ? m_answered + total : total);
}

void FormRunBoard::setDone(qsizetype done) {
    showNumber(m_form.Label3(1), continuing() ? m_answered + done : done);
}

void FormRunBoard::setRunState(RunState state) {
    m_form.Command1()->setText(RunCaptions::of(state));
}

void FormRunBoard::setPaused(bool paused) {
    m_form.Check1()->setChecked(paused);
}

void FormRunBoard::beginRun(const RunJournal::Records& kept, QString listText) {
    m_pending.clear();
    m_answered = -1;
    if (!m_journal)
        return;
    // Read as one text: a million lines one by one would take seconds.
    if (listText.isNull())
        listText = m_form.Text4()->document()->toRawText();
    const QByteArray lines = ListText::journalLines(std::move(listText));
    startJournal([&] { return m_journal->begin(lineCount(), lines, kept); });
}

void FormRunBoard::startJournal(const std::function<bool()>& begin) {
    m_toldJournal = false;
    m_toldProxy = false;
    if (begin())
        return;
    if (m_journal->heldElsewhere())
        tellOnce(m_toldJournal, tr("另一个米筛窗口的查询正在使用日志。这次查询不写日志，"
                                   "程序意外退出时结果不会保留；查询照常进行。"));
    else
        checkJournal();
}

void FormRunBoard::checkJournal() {
    const QString problem = m_journal->problem();
    if (!problem.isEmpty())
        tellOnce(m_toldJournal, tr("查询日志无法写入（%1）。程序意外退出时结果不会保留；"
                                   "查询照常进行。")
                                    .arg(problem));
}

void FormRunBoard::tellOnce(bool& told, const QString& text) {
    if (std::exchange(told, true) || !m_notice)
        return;
    m_notice(text);
}

void FormRunBoard::endRun() {
    // Numbers are the list's own again, for whatever asks about the results.
    m_pending.clear();
    m_answered = -1;
    if (m_journal)
        m_journal->finish();
}

void FormRunBoard::restore(const RunJournal::Contents& contents) {
    m_form.Text4()->setPlainText(contents.entries.join(u'\n') + u'\n');
    m_answered = -1;
    clearResults();
    QSet<qsizetype> answered;
    for (const auto& [number, record] : contents.records) {
        answered.insert(number);
        appendResult(number, record);
    }
    if (m_journal)
        startJournal([&] { return m_journal->begin(contents.entries, contents.records); });
    m_pending.clear();
    for (qsizetype n = 0; n < contents.entries.size(); ++n) {
        if (!answered.contains(n))
            m_pending.push_back(n);
    }
    m_answered = contents.entries.size() - qsizetype(m_pending.size());
}

LineBox* FormRunBoard::boxFor(Verdict verdict) const {
    return RecordLines::belongsInFreeBox(verdict) ? m_form.Text1() : m_form.Text2();
}

void FormRunBoard::appendResult(qsizetype entry, const LookupRecord& record) {
    boxFor(record.answer.verdict)
        ->appendLine(RecordLines::windowLine(record), m_facts.note(entry, record));
}

std::vector<FormRunBoard::FailedLine> FormRunBoard::failedLines() const {
    std::vector<FailedLine> lines;
    QSet<qsizetype> seen;
    const LineBox* box = m_form.Text2();
    for (qsizetype line = 0; line < box->lineCount(); ++line) {
        const int facts = box->tag(line);
        const qsizetype entry = m_facts.failedEntry(facts);
        if (entry >= 0 && !seen.contains(entry)) {
            seen.insert(entry);
            lines.push_back({entry, facts, line});
        }
    }
    return lines;
}

void FormRunBoard::replaceResult(const FailedLine& old, const LookupRecord& record) {
    keepRecord(old.entry, record);
    LineBox* failures = m_form.Text2();
    const qsizetype line = failures->findTag(old.facts, old.line);
    if (line >= 0 && boxFor(record.answer.verdict) == failures) {
        failures->replaceLine(line, RecordLines::windowLine(record),
                              m_facts.note(old.entry, record));
        return;
    }
    if (line >= 0)
        failures->removeLine(line);
    appendResult(old.entry, record);
}

void FormRunBoard::showNumber(QLabel* label, qsizetype number) {
    label->setText(QString::number(number));
    label->adjustSize(); // a counter grows to the right as its number gets longer
}

} // namespace ds
