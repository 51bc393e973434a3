#pragma once

#include "lookup/Answer.h"

#include <QByteArray>
#include <QString>

namespace ds {

// What one RDAP exchange left behind.
struct RdapReplyFacts {
    // A whole reply came back (no failed connection, reset, refused redirect,
    // body over the limit or time-out).
    bool arrived = false;
    int status = 0;
    QByteArray body;
    // Why no reply arrived.
    QString failure;
};

// The verdict on one reply. Free only on a 404, which can only come from the
// server the bootstrap names since a redirect elsewhere is refused before any
// reply arrives. A server asking for patience (429, 503) gets the name again.
// A domain object's status may make a taken name one in redemption or pending
// delete; its other parts never change the verdict.
struct RdapJudgement {
    Verdict verdict = Verdict::Failed;
    bool askAgainLater = false;
    QString detail;
    Details details = {};
};

RdapJudgement judgeRdapReply(const RdapReplyFacts& reply);

} // namespace ds
