#include "query/RunLedger.h"

#include "lookup/DomainName.h"
#include "query/RunBoard.h"

using namespace Qt::StringLiterals;

namespace ds {

void RunLedger::begin() {
    m_done = 0;
    m_board.setDone(0);
}

void RunLedger::record(qsizetype number, const LookupRecord& record) {
    m_board.appendRecord(number, record);
    countOne();
    if (m_watch)
        m_watch(record);
}

bool RunLedger::endIfUnaskable(qsizetype number, const QString& entry) {
    if (isAskableEntry(entry))
        return false;
    // A name that cannot be one never reaches the wire; a blank line names nothing.
    if (entry.trimmed().isEmpty()) {
        countOne();
        return true;
    }
    LookupRecord invalid;
    invalid.entry = entry;
    invalid.answer.verdict = Verdict::Invalid;
    invalid.answer.detail = u"not a domain name"_s;
    record(number, invalid);
    return true;
}

void RunLedger::fail(qsizetype number, const QString& entry, const QString& reason) {
    LookupRecord failed;
    failed.entry = entry;
    failed.answer.detail = reason;
    record(number, failed);
}

RunLedger::Busy::Busy(RunLedger& ledger)
    : m_ledger(ledger) {
    if (m_ledger.m_busyDepth++ == 0)
        m_clock.start();
}

RunLedger::Busy::~Busy() {
    if (--m_ledger.m_busyDepth == 0)
        m_ledger.m_busyNs += m_clock.nsecsElapsed();
}

void RunLedger::countOne() {
    m_board.setDone(++m_done);
}

} // namespace ds
