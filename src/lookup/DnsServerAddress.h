#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ds {

// What the DNS step is told before a run, kept apart from DnsCheck so that
// the settings and the command line can check an address without c-ares.
struct DnsCheckOptions {
    // HOST[:PORT] of the resolver to ask, HOST an IP address; empty for the
    // system's own resolvers.
    QString server;
    // How many names are asked about at once.
    int parallel = 32;
    // How long one name may take, retries included.
    int timeLimitMs = 3000;
};

// Whether `server` names a resolver DnsCheck can ask: an IP address with an
// optional port, an IPv6 address in brackets when a port follows.
bool isUsableDnsServer(const QString& server);

// "ip:port" or "[ip6]:port", as c-ares takes a server; nullopt when the
// address is not usable.
std::optional<QByteArray> resolverAddress(const QString& server);

} // namespace ds
