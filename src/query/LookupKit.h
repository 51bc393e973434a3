#pragma once

#include "lookup/AdaptivePace.h"
#include "lookup/RegistryLookup.h"
#include "lookup/ServiceQueue.h"
#include "query/EngineConfig.h"

#include <memory>

namespace ds {

class WhoisServers;

// The one place a run's lookups are made: the registrar's, or the
// registries' with the queue of turns they share, the WHOIS servers and the
// routes to them, all set up from the engine's configuration.
class LookupKit {
public:
    explicit LookupKit(const EngineConfig& config);
    ~LookupKit();
    LookupKit(const LookupKit&) = delete;
    LookupKit& operator=(const LookupKit&) = delete;

    ServiceQueue& queue() { return m_queue; }
    std::unique_ptr<Lookup> makeRegistrarLookup();
    std::unique_ptr<RegistryLookup> makeRegistryLookup();
    RegistryRouter router() const;
    // How fast the server a route leads to may be asked at first.
    AdaptivePace paceFor(const RegistryRoute& route) const;

private:
    const EngineConfig& m_config;
    ServiceQueue m_queue;
    std::unique_ptr<WhoisServers> m_whoisServers;
};

} // namespace ds
