#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace ds {

// WHOIS server addresses as the settings and the command line give them,
// apart from the client so that checking one needs no socket.

// A WHOIS server's place on the network.
struct WhoisAddress {
    QString host;
    quint16 port = 43;

    // "host:port", the form Answer::server and the settings use.
    QString toString() const;
    friend bool operator==(const WhoisAddress&, const WhoisAddress&) = default;
};

// "HOST" or "HOST:PORT" ("[v6]:PORT" for an IPv6 literal); nullopt when the
// host is empty or the port is not 1-65535.
std::optional<WhoisAddress> parseWhoisAddress(const QString& text);

// "TLD=HOST[:PORT]", the TLD (or zone, "co.za") in ACE or Unicode form: the
// zone in lower-case ACE form and its server; nullopt when malformed.
std::optional<std::pair<QString, WhoisAddress>> parseWhoisServerOverride(const QString& text);

} // namespace ds
