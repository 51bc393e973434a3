#include "lookup/AdaptivePace.h"

#include <algorithm>
#include <cmath>

namespace ds {

namespace {

// Below this share of the rate last refused, each answer raises the rate by
// kQuickStep: the server took that much a moment ago.
constexpr double kRecoveryShare = 0.9;
constexpr double kQuickStep = 1.1;
// Above it, each answer adds this share of the ceiling: about a hundred
// answers from 90 % back up to a ceiling that was refused, so that a server
// limiting near its ceiling refuses seldom.
constexpr double kSmallStep = 0.001;
// The default pace with no rest at all: replies, not the pace, set the rate.
constexpr double kUnpausedRequestsPerSecond = 1000;

std::optional<ServerPace> usable(std::optional<ServerPace> pace) {
    if (!pace || !(pace->requestsPerSecond > 0))
        return std::nullopt;
    pace->inFlight = std::max(1, pace->inFlight);
    return pace;
}

} // namespace

AdaptivePace::AdaptivePace(std::optional<ServerPace> ceiling, int defaultIntervalMs)
    : m_ceiling(usable(ceiling))
    , m_defaultIntervalMs(std::max(0, defaultIntervalMs))
    , m_rate(ceilingRate()) {}

double AdaptivePace::ceilingRate() const {
    if (m_ceiling)
        return m_ceiling->requestsPerSecond;
    return m_defaultIntervalMs > 0 ? 1000.0 / m_defaultIntervalMs : kUnpausedRequestsPerSecond;
}

int AdaptivePace::inFlightLimit() const {
    if (!m_ceiling)
        return 1;
    // Fewer in flight as the rate falls: a server refusing for concurrency
    // is eased as well as one refusing for rate.
    const double share = m_rate / m_ceiling->requestsPerSecond;
    return std::clamp(int(std::lround(m_ceiling->inFlight * share)), 1, m_ceiling->inFlight);
}

qint64 AdaptivePace::gapBetweenStartsMs() const {
    return m_ceiling ? std::llround(1000.0 / m_rate) : 0;
}

qint64 AdaptivePace::restAfterReplyMs() const {
    if (m_ceiling)
        return 0;
    // At the ceiling exactly today's rest, 0 included.
    return m_rate >= ceilingRate() ? m_defaultIntervalMs : std::llround(1000.0 / m_rate);
}

double AdaptivePace::requestsPerSecond() const {
    return m_rate;
}

void AdaptivePace::onAnswered() {
    const double mark = kRecoveryShare * m_refusedRate;
    if (m_rate < mark)
        m_rate = std::min(m_rate * kQuickStep, mark);
    else
        m_rate += kSmallStep * ceilingRate();
    m_rate = std::min(m_rate, ceilingRate());
}

QString requestsPerSecondText(double requestsPerSecond) {
    return QString::number(requestsPerSecond, 'f', requestsPerSecond < 1 ? 2 : 1);
}

void AdaptivePace::onRefused() {
    m_refusedRate = m_rate;
    m_rate = std::max(m_rate / 2, kSlowestRequestsPerSecond);
}

void AdaptivePace::onRefused(qint64 startedMs, qint64 nowMs) {
    if (m_cutAtMs && startedMs < *m_cutAtMs)
        return;
    m_cutAtMs = nowMs;
    onRefused();
}

} // namespace ds
