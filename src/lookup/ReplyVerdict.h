#pragma once

#include "lookup/Answer.h"
#include "lookup/RetryPolicy.h"

#include <QByteArray>
#include <QString>

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

} // namespace ds
