#include "query/ReadinessDispatcher.h"

#include "query/DnsPrecheck.h"
#include "query/LookupKit.h"
#include "query/RunBoard.h"
#include "query/RunLedger.h"

#include <algorithm>
#include <limits>

namespace ds {

namespace {

// How far past the oldest open entry names are taken in: plenty for every
// server to have a line, while a stream holds only this many names.
constexpr qsizetype IntakeWindow = 16384;

} // namespace

ReadinessDispatcher::ReadinessDispatcher(RunLedger& ledger, LookupKit& kit, QObject* parent)
    : RunScheduler(parent)
    , m_ledger(ledger)
    , m_kit(kit)
    , m_router(kit.router()) {
    m_wake.setSingleShot(true);
    m_wake.setTimerType(Qt::PreciseTimer);
    connect(&m_wake, &QTimer::timeout, this, &ReadinessDispatcher::pump);
    // Queued: a turn ends inside a lookup's own callback.
    connect(&kit.queue(), &ServiceQueue::changed, this, &ReadinessDispatcher::pumpSoon);
}

ReadinessDispatcher::~ReadinessDispatcher() {
    abandon();
}

void ReadinessDispatcher::begin(qsizetype firstEntry, std::function<void()> finished) {
    abandon();
    m_finished = std::move(finished);
    m_next = firstEntry;
    m_paused = false;
    m_kit.queue().setPaused(false);
    pump();
}

void ReadinessDispatcher::setPaused(bool paused) {
    m_paused = paused;
    m_kit.queue().setPaused(paused);
    if (!paused)
        pump();
}

void ReadinessDispatcher::abandon() {
    ++m_run;
    m_finished = nullptr;
    m_lines.clear();
    m_open.clear();
    m_paced.clear();
    m_wake.stop();
    // Emptied first: a lookup giving up its turn must not hand it to the next.
    m_kit.queue().clear();
    for (auto& [lookup, owned] : m_asking) {
        lookup->abandon();
        m_idle.push_back(std::move(owned));
    }
    m_asking.clear();
}

QList<ServiceQueue::Hold> ReadinessDispatcher::holds() const {
    return m_kit.queue().holds();
}

QList<ServerLoad> ReadinessDispatcher::busiestServers(int count) const {
    const ServiceQueue& queue = m_kit.queue();
    QHash<QString, qsizetype> names;
    for (auto it = m_lines.cbegin(); it != m_lines.cend(); ++it)
        names[it.key()] += qsizetype(it.value().size());
    const QHash<QString, int> running = queue.runningByService();
    for (auto it = running.cbegin(); it != running.cend(); ++it)
        names[it.key()] += it.value();
    QList<ServerLoad> loads;
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        loads.append({it.key(), it.value(), queue.requestsPerSecond(it.key()).value_or(0)});
    std::sort(loads.begin(), loads.end(), [](const ServerLoad& a, const ServerLoad& b) {
        return a.names != b.names ? a.names > b.names : a.server < b.server;
    });
    return loads.mid(0, count);
}

qsizetype ReadinessDispatcher::oldestOpen() const {
    return m_open.empty() ? m_next : std::min(m_next, *m_open.begin());
}

void ReadinessDispatcher::pumpSoon() {
    if (m_pumpQueued || !m_finished)
        return;
    m_pumpQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_pumpQueued = false;
            pump();
        },
        Qt::QueuedConnection);
}

void ReadinessDispatcher::pump() {
    if (!m_finished)
        return;
    const RunLedger::Busy busy(m_ledger);
    const quint64 run = m_run;
    takeIn();
    if (run == m_run)
        startReady();
    if (run == m_run)
        checkEnd();
}

void ReadinessDispatcher::takeIn() {
    RunBoard& board = m_ledger.board();
    const quint64 run = m_run;
    while (!m_paused && run == m_run && m_next < board.lineCount() &&
           m_next - oldestOpen() < IntakeWindow) {
        const qsizetype number = m_next;
        if (m_dns) {
            const DnsPrecheck::Finding finding = m_dns->admit(number);
            if (finding == DnsPrecheck::Finding::Pending)
                return;
            if (finding == DnsPrecheck::Finding::Taken) {
                ++m_next;
                continue;
            }
        }
        ++m_next;
        const QString entry = board.entryAt(number);
        if (m_ledger.endIfUnaskable(number, entry))
            continue;
        m_open.insert(number);
        m_router.route(entry, this, [this, run, number](const RegistryRoute& route) {
            if (run != m_run)
                return;
            lineUp(number, route);
            pumpSoon();
        });
    }
    board.setTotal(board.lineCount());
}

void ReadinessDispatcher::lineUp(qsizetype number, const RegistryRoute& route) {
    if (route.via == RegistryRoute::Via::Nowhere) {
        LookupRecord record;
        record.entry = route.entry;
        record.sentName = route.ace;
        record.answer = route.answer;
        m_ledger.record(number, record);
        ended(number);
        return;
    }
    if (!m_paced.contains(route.service)) {
        m_paced.insert(route.service);
        m_kit.queue().setAdaptivePace(route.service, m_kit.paceFor(route));
    }
    m_lines[route.service].push_back({number, route});
}

void ReadinessDispatcher::startReady() {
    if (m_paused)
        return;
    ServiceQueue& queue = m_kit.queue();
    // The server whose next name comes first in the list goes first.
    QList<std::pair<qsizetype, QString>> order;
    for (auto it = m_lines.cbegin(); it != m_lines.cend(); ++it)
        order.append({it.value().front().number, it.key()});
    std::sort(order.begin(), order.end());
    qint64 nextWakeMs = std::numeric_limits<qint64>::max();
    const quint64 run = m_run;
    for (const auto& [front, service] : std::as_const(order)) {
        if (const std::optional<QString> reason = queue.refusal(service)) {
            endLine(service, *reason);
            continue;
        }
        std::deque<Waiting>& line = m_lines[service];
        while (!line.empty()) {
            const std::optional<qint64> readyIn = queue.readyIn(service);
            if (!readyIn)
                break;
            if (*readyIn > 0) {
                nextWakeMs = std::min(nextWakeMs, *readyIn);
                break;
            }
            Waiting next = std::move(line.front());
            line.pop_front();
            start(std::move(next));
            if (run != m_run)
                return;
        }
        if (line.empty())
            m_lines.remove(service);
    }
    if (nextWakeMs != std::numeric_limits<qint64>::max() &&
        (!m_wake.isActive() || m_wake.remainingTime() > nextWakeMs))
        m_wake.start(int(std::min<qint64>(nextWakeMs, std::numeric_limits<int>::max())));
}

void ReadinessDispatcher::endLine(const QString& service, const QString& reason) {
    const std::deque<Waiting> line = m_lines.take(service);
    for (const Waiting& waiting : line) {
        LookupRecord record;
        record.entry = waiting.route.entry;
        record.sentName = waiting.route.ace;
        record.answer.method =
            waiting.route.via == RegistryRoute::Via::Whois ? Method::Whois : Method::Rdap;
        record.answer.server = service;
        record.answer.detail = reason;
        m_ledger.record(waiting.number, record);
        ended(waiting.number);
    }
}

void ReadinessDispatcher::start(Waiting waiting) {
    std::unique_ptr<RegistryLookup> lookup;
    if (m_idle.empty()) {
        lookup = m_kit.makeRegistryLookup();
    } else {
        lookup = std::move(m_idle.back());
        m_idle.pop_back();
    }
    RegistryLookup* asking = lookup.get();
    m_asking.emplace(asking, std::move(lookup));
    asking->askAt(waiting.route, [this, asking, number = waiting.number,
                                  service = waiting.route.service](const LookupRecord& record) {
        LookupRecord paced = record;
        paced.answer.requestsPerSecond = m_kit.queue().requestsPerSecond(service).value_or(0);
        onAnswered(asking, number, paced);
    });
}

void ReadinessDispatcher::onAnswered(RegistryLookup* lookup, qsizetype number,
                                     const LookupRecord& record) {
    const RunLedger::Busy busy(m_ledger);
    const auto found = m_asking.find(lookup);
    if (found != m_asking.end()) {
        m_idle.push_back(std::move(found->second));
        m_asking.erase(found);
    }
    m_ledger.record(number, record);
    ended(number);
    pumpSoon();
}

void ReadinessDispatcher::ended(qsizetype number) {
    m_open.erase(number);
}

void ReadinessDispatcher::checkEnd() {
    if (!m_open.empty() || m_next < m_ledger.board().lineCount())
        return;
    if (std::function<void()> finished = std::exchange(m_finished, nullptr))
        finished();
}

} // namespace ds
