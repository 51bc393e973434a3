#include "query/DnsPrecheck.h"

#include "lookup/DomainName.h"
#include "query/RunBoard.h"

#include <QElapsedTimer>
#include <QScopedValueRollback>

#include <algorithm>
#include <limits>

namespace ds {

namespace {

// How far past the oldest entry not yet ended the DNS may go: far enough
// never to hold the registries up, near enough that a stream keeps only
// a few thousand names in memory.
constexpr qsizetype LookAhead = 4096;

// Names without any answer, before the resolver answered once, that make it
// look unreachable (UDP blocked, say); asking on would only hold every name
// up by the time limit.
constexpr int UnansweredBeforeGivingUp = 16;

} // namespace

DnsPrecheck::DnsPrecheck(DnsCheckOptions options, RunBoard& board, Hooks hooks, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_board(board)
    , m_hooks(std::move(hooks)) {}

DnsPrecheck::~DnsPrecheck() = default;

void DnsPrecheck::start(qsizetype firstEntry) {
    stop();
    m_check = std::make_unique<DnsCheck>(m_options);
    m_first = firstEntry;
    m_next = firstEntry;
    m_running = true;
    askMore();
}

void DnsPrecheck::setPaused(bool paused) {
    m_paused = paused;
    askMore();
}

void DnsPrecheck::stop() {
    ++m_run;
    m_running = false;
    m_paused = false;
    m_states.clear();
    m_asking = 0;
    m_unanswered = 0;
    m_heard = false;
    m_gaveUp = false;
    // The queries on their way go with it, later when it is the one whose
    // answer is being delivered.
    if (m_delivering && m_check)
        m_check.release()->deleteLater();
    m_check.reset();
}

void DnsPrecheck::moreRoom() {
    askMore();
}

DnsPrecheck::Finding DnsPrecheck::finding(qsizetype number) const {
    switch (stateOf(number)) {
    case State::Taken:
        return Finding::Taken;
    case State::AskRegistry:
        return Finding::AskRegistry;
    case State::Waiting:
        return m_gaveUp ? Finding::AskRegistry : Finding::Pending;
    case State::Asking:
        break;
    }
    return Finding::Pending;
}

DnsPrecheck::Finding DnsPrecheck::admit(qsizetype number) {
    // The scheduler may just have made room for this entry to be asked, or
    // it settles at once, being no name.
    if (finding(number) == Finding::Pending)
        askMore();
    return finding(number);
}

DnsPrecheck::State DnsPrecheck::stateOf(qsizetype number) const {
    const qsizetype index = number - m_first;
    if (index < 0 || index >= qsizetype(m_states.size()))
        return State::Waiting;
    return m_states[std::size_t(index)];
}

void DnsPrecheck::askMore() {
    if (!m_running || m_paused || m_gaveUp)
        return;
    // Saturated: with every entry taken in, the oldest open one is the largest number.
    const qsizetype horizon =
        std::min(m_hooks.oldestOpen(), std::numeric_limits<qsizetype>::max() - LookAhead) +
        LookAhead;
    const int parallel = std::max(1, m_options.parallel);
    while (m_asking < parallel && m_next < horizon && m_next < m_board.lineCount()) {
        const qsizetype number = m_next++;
        const QString entry = m_board.entryAt(number);
        const DomainName name = isAskableEntry(entry) ? DomainName::fromEntry(entry) : DomainName();
        if (name.ace.isEmpty()) {
            // Not a name: the run words its record.
            settle(number, State::AskRegistry);
            continue;
        }
        settle(number, State::Asking);
        ++m_asking;
        LookupRecord base;
        base.entry = entry;
        base.sentName = name.ace;
        QElapsedTimer clock;
        clock.start();
        m_check->check(name.ace,
                       [this, run = m_run, number, base, clock](const DnsOutcome& outcome) {
                           LookupRecord record = base;
                           record.elapsedMs = clock.elapsed();
                           onOutcome(run, number, record, outcome);
                       });
    }
}

void DnsPrecheck::onOutcome(quint64 run, qsizetype number, const LookupRecord& base,
                            const DnsOutcome& outcome) {
    if (run != m_run)
        return;
    const QScopedValueRollback delivering(m_delivering, true);
    --m_asking;
    const bool answered =
        outcome.finding != DnsFinding::TimedOut && outcome.finding != DnsFinding::ResolverError;
    m_heard = m_heard || answered;
    if (!m_heard && !m_gaveUp && ++m_unanswered >= UnansweredBeforeGivingUp) {
        m_gaveUp = true;
        m_hooks.silent();
    }
    const std::optional<Answer> answer = dnsAnswer(outcome, m_check->server());
    if (answer) {
        LookupRecord record = base;
        record.answer = *answer;
        record.tries = 1;
        settle(number, State::Taken);
        m_hooks.taken(number, record);
        m_hooks.settled(number);
    } else {
        settle(number, State::AskRegistry);
        m_hooks.settled(number);
    }
    // The hooks may have ended the run.
    if (run == m_run)
        askMore();
}

void DnsPrecheck::settle(qsizetype number, State state) {
    const std::size_t index = std::size_t(number - m_first);
    if (index >= m_states.size())
        m_states.resize(index + 1, State::Waiting);
    m_states[index] = state;
}

} // namespace ds
