#pragma once

#include <QByteArray>
#include <QDateTime>

#include <optional>

namespace ds {

// When a failed request is tried again: a pause that grows with each retry,
// and that honours the service's Retry-After up to a cap.
struct RetryPolicy {
    int maxRetries = 2;
    int baseDelayMs = 1000;
    int retryAfterCapMs = 60000;

    // retryNumber counts from 1. retryAfter is the header's raw value, if any.
    int delayMs(int retryNumber, const QByteArray& retryAfter, const QDateTime& now) const;
};

// Retry-After as delta-seconds (a day at most) or an HTTP date, in
// milliseconds from now, never negative; nullopt for anything else.
std::optional<qint64> parseRetryAfter(const QByteArray& value, const QDateTime& now);

} // namespace ds
