#pragma once

#include "http/ProxyConfig.h"
#include "lookup/DnsServerAddress.h"
#include "lookup/RetryPolicy.h"
#include "lookup/ServerPace.h"
#include "lookup/WhoisServers.h"

#include <QUrl>

#include <memory>
#include <optional>

namespace ds {

class RdapBootstrapStore;

// How the engine runs: whom it asks, how fast, and through what.
struct EngineConfig {
    // The registrar's service; empty to ask the registries over RDAP.
    QUrl registrar;
    int requestTimeLimitMs = 30000;
    int restartIntervalMs = 100;
    RetryPolicy retry;
    // The registrar's alternating workers, or the registries' requests in
    // flight at once.
    int workers = 3;
    // The rest each registry server gets between two requests.
    int serverIntervalMs = 500;
    // The person's ceilings for particular servers, keyed "host:port" when a
    // port was given, else "host"; ceilingFor() weighs them against the
    // shipped table.
    QHash<QString, ServerPace> serverPaces;
    // A server that asks to be left alone for longer is not waited for: its
    // names end as failed, naming the time it gave.
    int longestWaitMinutes = 10;
    // Which RDAP server answers for which TLD; needed without a registrar.
    std::shared_ptr<RdapBootstrapStore> bootstrap;
    // WHOIS, for the TLDs the bootstrap does not list: where each zone's
    // server is found, and the rest each WHOIS server gets between queries.
    WhoisServersOptions whois;
    int whoisServerIntervalMs = 1000;
    // The DNS step before the registries; none when unset. The registrar is
    // never preceded by it.
    std::optional<DnsCheckOptions> dns;
    // Every request of the engine's runs goes this way, the bootstrap's
    // included.
    ProxyConfig proxy;
};

} // namespace ds
