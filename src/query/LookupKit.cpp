#include "query/LookupKit.h"

#include "lookup/RegistrarLookup.h"
#include "lookup/ServerPace.h"
#include "lookup/WhoisPatterns.h"
#include "lookup/WhoisServers.h"

#include <algorithm>

namespace ds {

LookupKit::LookupKit(const EngineConfig& config)
    : m_config(config)
    , m_queue(config.registrar.isEmpty() ? config.serverIntervalMs : 0) {
    if (!config.registrar.isEmpty())
        return;
    m_whoisServers = std::make_unique<WhoisServers>(WhoisPatterns::builtIn(), config.whois);
    m_queue.setLongestWaitMs(qint64(std::max(0, config.longestWaitMinutes)) * 60'000);
    m_queue.setMaxRunning(std::max(1, config.workers));
}

LookupKit::~LookupKit() = default;

std::unique_ptr<Lookup> LookupKit::makeRegistrarLookup() {
    auto lookup = std::make_unique<RegistrarLookup>(m_queue, m_config.registrar,
                                                    m_config.requestTimeLimitMs, m_config.retry);
    lookup->setProxy(m_config.proxy);
    return lookup;
}

std::unique_ptr<RegistryLookup> LookupKit::makeRegistryLookup() {
    RdapLookup::Options options;
    options.timeLimitMs = m_config.requestTimeLimitMs;
    options.retry = m_config.retry;
    options.proxy = m_config.proxy;
    WhoisLookup::Options whois;
    whois.timeLimitMs = m_config.requestTimeLimitMs;
    // Plain TCP: through a SOCKS5 proxy, never an HTTP one. The system's
    // choice is asked once, not per server.
    whois.proxy = m_config.proxy.socketProxy(QString(), 43);
    return std::make_unique<RegistryLookup>(
        m_queue, m_config.bootstrap, options,
        std::make_unique<WhoisLookup>(m_queue, *m_whoisServers, WhoisPatterns::builtIn(), whois),
        m_whoisServers.get());
}

RegistryRouter LookupKit::router() const {
    return RegistryRouter(m_config.bootstrap, m_whoisServers.get());
}

AdaptivePace LookupKit::paceFor(const RegistryRoute& route) const {
    const bool whois = route.via == RegistryRoute::Via::Whois;
    const QString host = whois ? route.whois.host : route.rdapBase.host();
    const int port = whois ? route.whois.port
                           : route.rdapBase.port(route.rdapBase.scheme() == u"https" ? 443 : 80);
    // A known pace or an override is the server's ceiling; every other server
    // has one request out at a time and rests after it.
    return AdaptivePace(ceilingFor(host, port, m_config.serverPaces),
                        whois ? m_config.whoisServerIntervalMs : m_config.serverIntervalMs);
}

} // namespace ds
