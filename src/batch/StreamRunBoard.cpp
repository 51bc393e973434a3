#include "batch/StreamRunBoard.h"

#include "batch/EntryReader.h"
#include "batch/RecordWriter.h"

#include <algorithm>
#include <utility>

namespace ds {

StreamRunBoard::StreamRunBoard(EntryReader& reader, RecordSink& writer, int workers,
                               const NameSet* answered)
    : m_reader(reader)
    , m_writer(writer)
    , m_answeredBefore(answered)
    // A worker's next entry lies as many on as there are workers: short of
    // it, the list would seem to end there and the names after it be lost.
    , m_readAhead(std::max(1, workers) + 8) {}

QString StreamRunBoard::entryAt(qsizetype number) const {
    m_highestAsked = std::max(m_highestAsked, number);
    return m_pending.at(std::size_t(number - m_base)).name;
}

qsizetype StreamRunBoard::lineCount() const {
    readAhead();
    return m_base + qsizetype(m_pending.size());
}

void StreamRunBoard::readAhead() const {
    while (!m_inputEnded && m_base + qsizetype(m_pending.size()) <= m_highestAsked + m_readAhead) {
        std::optional<QString> name = m_reader.next();
        if (!name) {
            m_inputEnded = true;
        } else if (m_answeredBefore && m_answeredBefore->contains(*name)) {
            ++m_tally.answeredBefore;
        } else if (!m_seen.insert(*name)) {
            ++m_tally.repeats;
        } else {
            m_pending.push_back({std::move(*name), false});
        }
    }
}

void StreamRunBoard::appendRecord(qsizetype number, const LookupRecord& record) {
    const bool wasHealthy = m_writer.healthy();
    if (!m_writer.write(record) && wasHealthy && m_outputBroken)
        m_outputBroken();
    if (record.answer.proxyFailed && m_proxyFailed)
        std::exchange(m_proxyFailed, nullptr)(record.answer.detail);
    ++m_tally.done;
    if (record.answer.method == Method::Dns)
        ++m_tally.byDns;
    if (isDropping(record.answer.verdict))
        ++m_tally.dropping;
    switch (record.answer.verdict) {
    case Verdict::Free:
        ++m_tally.free;
        break;
    case Verdict::Taken:
    case Verdict::Redemption:
    case Verdict::PendingDelete:
    case Verdict::Reserved:
        ++m_tally.taken;
        break;
    case Verdict::Invalid:
        ++m_tally.invalid;
        break;
    case Verdict::Failed:
    case Verdict::Unsupported:
        ++m_tally.failed;
        break;
    }
    m_pending.at(std::size_t(number - m_base)).answered = true;
    while (!m_pending.empty() && m_pending.front().answered) {
        m_pending.pop_front();
        ++m_base;
    }
}

} // namespace ds
