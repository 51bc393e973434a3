#pragma once

#include "lookup/Answer.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace ds {

// What one NS query for a name found out. Only Delegated says anything about
// the name: every other finding proves nothing and the name goes on to its
// registry. A name on hold or in redemption has no name servers, and a
// resolver that rewrites NXDOMAIN only ever adds answers, so the DNS can make
// a name look taken but never free.
enum class DnsFinding {
    Delegated,     // NS records for the name itself in the answer section
    NoSuchName,    // NXDOMAIN
    NoData,        // NOERROR without answers, referrals included
    OtherOwner,    // answers, but no NS record owned by the name (a parent's, a CNAME)
    TimedOut,      // no answer within the time limit
    ServerFailure, // SERVFAIL
    Refused,       // REFUSED
    ResolverError, // anything else: a malformed reply, no usable resolver
};

struct DnsOutcome {
    DnsFinding finding = DnsFinding::ResolverError;
    // The name servers, sorted, when Delegated.
    QStringList nameServers;
    // Why the DNS proved nothing, for the log; empty when Delegated.
    QString reason;
};

// Reads a c-ares status and reply for an NS query about queryName (ACE form).
// ares_parse_ns_reply takes every NS record of the answer section whatever
// its owner, so the reply is walked here and only records owned by the name
// itself count.
DnsOutcome readNsReply(QByteArrayView queryName, int aresStatus, QByteArrayView reply);

// The next step for the name: a Taken answer when the name is delegated, none
// when it must be asked at its registry. server is the resolver asked.
std::optional<Answer> dnsAnswer(const DnsOutcome& outcome, const QString& server);

} // namespace ds
