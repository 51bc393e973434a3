#pragma once

#include "lookup/ServerPace.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace ds {

// One server's pace as it stands, adapting to how the server answers. A server
// with a known pace (the table's or the person's) starts at that ceiling; a
// refusal halves its rate, and answers bring it back: quickly to just below
// the rate that was refused, then by small steps, never above the ceiling.
// A server without one keeps the default pace, one request at a time with a
// rest after each reply, and a refusal doubles that rest until answers bring
// it back.
//
// Holds no timer: the caller keeps the times, asks how long to wait, and
// honours any Retry-After itself.
class AdaptivePace final {
public:
    // The slowest a refused server is asked: one request in 20 s.
    static constexpr double kSlowestRequestsPerSecond = 0.05;

    // `ceiling` nullopt: the default pace, `defaultIntervalMs` of rest after
    // each reply.
    AdaptivePace(std::optional<ServerPace> ceiling, int defaultIntervalMs);

    // Requests this server may have outstanding now.
    int inFlightLimit() const;
    // The least time between two request starts; 0 for the default pace.
    qint64 gapBetweenStartsMs() const;
    // The rest after each reply before the next request; 0 for a known pace.
    qint64 restAfterReplyMs() const;
    // The current rate; for the default pace the one its rest allows, taking
    // replies as instant (1000 per second for no rest at all).
    double requestsPerSecond() const;
    bool hasKnownPace() const { return m_ceiling.has_value(); }

    void onAnswered();
    // A 429, a 503 or a WHOIS throttle notice.
    void onRefused();
    // The same for a request started at `startedMs`, refused at `nowMs`
    // (any one clock): requests already under way when the rate was last cut
    // were sent at the old rate, so their refusals do not cut it again. Without
    // this, eight requests in flight refused together would cut it 256-fold.
    void onRefused(qint64 startedMs, qint64 nowMs);

private:
    double ceilingRate() const;

    std::optional<ServerPace> m_ceiling;
    int m_defaultIntervalMs;
    double m_rate;
    // The rate last refused; 0 before any refusal.
    double m_refusedRate = 0;
    // When onRefused(startedMs, nowMs) last cut the rate.
    std::optional<qint64> m_cutAtMs;
};

// A rate for people to read, without its unit: "8.5", and "0.05" for the
// slowest ones, which one decimal would round to nothing.
QString requestsPerSecondText(double requestsPerSecond);

} // namespace ds
