#include "app/FormRunBoard.h"

#include "app/Form1.h"
#include "app/RunCaptions.h"
#include "format/RecordLines.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
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
    m_lineFacts.clear();
    m_details.clear();
    m_texts.clear();
    m_textIndex.clear();
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

void FormRunBoard::beginRun(const RunJournal::Records& kept) {
    m_pending.clear();
    m_answered = -1;
    if (!m_journal)
        return;
    QStringList entries;
    const qsizetype lines = lineCount();
    entries.reserve(lines);
    for (qsizetype n = 0; n < lines; ++n)
        entries.append(entryAt(n));
    startJournal(entries, kept);
}

void FormRunBoard::startJournal(const QStringList& entries, const RunJournal::Records& records) {
    m_toldJournal = false;
    m_toldProxy = false;
    if (m_journal->begin(entries, records))
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
        startJournal(contents.entries, contents.records);
    m_pending.clear();
    for (qsizetype n = 0; n < contents.entries.size(); ++n) {
        if (!answered.contains(n))
            m_pending.push_back(n);
    }
    m_answered = contents.entries.size() - qsizetype(m_pending.size());
}

int FormRunBoard::noteFacts(qsizetype entry, const LookupRecord& record) {
    const Answer& answer = record.answer;
    int details = -1;
    if (const Details& given = answer.details; !given.isEmpty()) {
        m_details.push_back({textIndex(given.registrar), textIndex(given.registrarIanaId),
                             textIndex(given.status.join(u' ')), given.created, given.expires,
                             given.lastChanged, given.releases});
        details = int(m_details.size() - 1);
    }
    m_lineFacts.push_back({answer.method, answer.verdict, entry, answer.httpStatus,
                           textIndex(answer.server), textIndex(answer.detail), details});
    return int(m_lineFacts.size() - 1);
}

void FormRunBoard::appendResult(qsizetype entry, const LookupRecord& record) {
    const bool free = RecordLines::belongsInFreeBox(record.answer.verdict);
    appendLine(free ? m_form.Text1() : m_form.Text2(), RecordLines::windowLine(record),
               noteFacts(entry, record));
}

std::vector<FormRunBoard::FailedLine> FormRunBoard::failedLines() const {
    std::vector<FailedLine> lines;
    QSet<qsizetype> seen;
    for (QTextBlock line = m_form.Text2()->document()->begin(); line.isValid();
         line = line.next()) {
        const int facts = line.userState();
        if (facts < 0 || std::size_t(facts) >= m_lineFacts.size())
            continue;
        const LineFacts& f = m_lineFacts[std::size_t(facts)];
        if (f.verdict == Verdict::Failed && !seen.contains(f.entry)) {
            seen.insert(f.entry);
            lines.push_back({f.entry, facts, line});
        }
    }
    return lines;
}

void FormRunBoard::replaceResult(const QTextBlock& old, qsizetype entry,
                                 const LookupRecord& record) {
    keepRecord(entry, record);
    if (!old.isValid() || RecordLines::belongsInFreeBox(record.answer.verdict)) {
        if (old.isValid()) {
            // The line with its own line break: the lines around it keep
            // their blocks, and with them their facts.
            QTextCursor cursor(old);
            cursor.setPosition(old.next().isValid() ? old.next().position()
                                                    : old.position() + old.length() - 1,
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        appendResult(entry, record);
        return;
    }
    QTextCursor cursor(old);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(RecordLines::windowLine(record));
    QTextBlock(old).setUserState(noteFacts(entry, record));
}

int FormRunBoard::textIndex(const QString& text) {
    const auto found = m_textIndex.constFind(text);
    if (found != m_textIndex.cend())
        return found.value();
    m_texts.append(text);
    return *m_textIndex.insert(text, int(m_texts.size() - 1));
}

std::optional<Answer> FormRunBoard::answerOf(const QTextBlock& line) const {
    const int facts = line.userState();
    if (facts < 0 || std::size_t(facts) >= m_lineFacts.size())
        return std::nullopt;
    const LineFacts& f = m_lineFacts[std::size_t(facts)];
    Answer answer;
    answer.method = f.method;
    answer.httpStatus = f.httpStatus;
    answer.server = m_texts.at(f.server);
    answer.detail = m_texts.at(f.detail);
    if (f.details >= 0) {
        const LineDetails& d = m_details[std::size_t(f.details)];
        answer.details = {m_texts.at(d.registrar),
                          m_texts.at(d.registrarIanaId),
                          d.created,
                          d.expires,
                          d.lastChanged,
                          m_texts.at(d.status).split(u' ', Qt::SkipEmptyParts),
                          d.releases};
    }
    return answer;
}

QString FormRunBoard::lineTip(const QTextBlock& line) const {
    const std::optional<Answer> answer = answerOf(line);
    if (!answer)
        return {};
    QStringList parts{tr("查询方式：%1").arg(RecordLines::methodWord(answer->method))};
    if (!answer->server.isEmpty())
        parts.append(tr("服务器：%1").arg(answer->server));
    if (answer->httpStatus != 0)
        parts.append(tr("HTTP 状态：%1").arg(answer->httpStatus));
    const QString& detail = answer->detail;
    // The DNS's detail is the name servers that show the name taken.
    if (!detail.isEmpty() && answer->method == Method::Dns)
        parts.append(tr("域名服务器：%1").arg(detail));
    else if (!detail.isEmpty() && detail != u"HTTP %1"_s.arg(answer->httpStatus))
        parts.append(tr("说明：%1").arg(detail));
    parts.append(detailsTip(answer->details));
    return parts.join(u'\n');
}

QStringList FormRunBoard::detailsTip(const Details& details) {
    QStringList parts;
    if (!details.registrar.isEmpty() && !details.registrarIanaId.isEmpty())
        parts.append(tr("注册商：%1（IANA %2）").arg(details.registrar, details.registrarIanaId));
    else if (!details.registrar.isEmpty())
        parts.append(tr("注册商：%1").arg(details.registrar));
    const auto date = [&parts](const QString& label, QDate value) {
        if (value.isValid())
            parts.append(label.arg(value.toString(Qt::ISODate)));
    };
    date(tr("注册日期：%1"), details.created);
    date(tr("到期日期：%1"), details.expires);
    if (!details.status.isEmpty())
        parts.append(tr("状态：%1").arg(details.status.join(u", "_s)));
    date(tr("预计释放：%1"), details.releases);
    return parts;
}

// The line's block keeps the index of its facts in its user state, which
// moves with the line if the box is edited and goes when it is cleared.
void FormRunBoard::appendLine(QPlainTextEdit* box, const QString& line, int facts) {
    // Inserting at the end touches only the last block; rewriting the box's
    // whole text would cost time in proportion to what it already holds.
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    if (!cursor.block().text().isEmpty()) {
        // Someone typed a last line without a line break: keep lines apart.
        cursor.insertText(QStringLiteral("\n"));
    }
    cursor.insertText(line + u'\n');
    cursor.block().previous().setUserState(facts);
}

void FormRunBoard::showNumber(QLabel* label, qsizetype number) {
    label->setText(QString::number(number));
    label->adjustSize(); // a counter grows to the right as its number gets longer
}

} // namespace ds
