#pragma once

#include "lookup/Answer.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace ds {

// How one availability reply is judged: Free, Taken or Failed. A reply that
// did not arrive, or came with a status outside 200-299, is a failure to be
// retried, never a verdict: an error page must not list a domain as registered.
struct ReplyFacts {
    bool arrived = false; // an HTTP response came back (no reset, no time limit)
    int status = 0;
    QString text; // the body as text
};

Verdict classifyReply(const ReplyFacts& reply);

// The body as text in the charset its Content-Type names, UTF-8 when it names
// none or one that cannot be decoded. Only "rue" is looked for, but a
// double-byte charset read as bytes could fake it across a character.
QString replyText(const QByteArray& body, const QByteArray& contentType);

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
