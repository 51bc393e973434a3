#pragma once

#include "lookup/Lookup.h"
#include "lookup/RdapLookup.h"
#include "lookup/WhoisLookup.h"

#include <QElapsedTimer>
#include <QUrl>

#include <memory>

namespace ds {

class RdapBootstrapStore;
class WhoisServers;

// Where the registries are asked about one entry: its RDAP server, its WHOIS
// server, or nowhere, with the answer that needs no request (an invalid name,
// a TLD nobody serves, no list of servers).
struct RegistryRoute {
    enum class Via { Nowhere, Rdap, Whois };
    Via via = Via::Nowhere;
    QString entry;
    QString ace;
    QUrl rdapBase;
    WhoisAddress whois;
    // "host:port" of the server asked: its turns are its own.
    QString service;
    Answer answer;
};

// Finds each entry's route: at once for RDAP, after the referral for WHOIS.
class RegistryRouter {
public:
    using Done = std::function<void(const RegistryRoute&)>;

    // Without a bootstrap every name fails, as no server is known; without
    // WHOIS servers a TLD the bootstrap does not list is unsupported.
    RegistryRouter(std::shared_ptr<const RdapBootstrapStore> bootstrap, WhoisServers* whois)
        : m_bootstrap(std::move(bootstrap))
        , m_whois(whois) {}

    // `done` runs once: at once when no WHOIS server had to be found, else on
    // a later turn of the event loop, unless `context` is gone by then.
    void route(const QString& entry, QObject* context, Done done) const;

private:
    std::shared_ptr<const RdapBootstrapStore> m_bootstrap;
    WhoisServers* m_whois;
};

// Asks the registries themselves: the name in its ACE form, to the RDAP
// server the bootstrap names for it, or over WHOIS for a TLD the bootstrap
// does not list.
class RegistryLookup final : public Lookup {
    Q_OBJECT
public:
    RegistryLookup(ServiceQueue& queue, std::shared_ptr<const RdapBootstrapStore> bootstrap,
                   RdapLookup::Options options, std::unique_ptr<WhoisLookup> whois = nullptr,
                   WhoisServers* whoisServers = nullptr, QObject* parent = nullptr);

    void ask(Entry entry, Done done) override;
    // Asks at a route already found.
    void askAt(const RegistryRoute& route, Done done);
    void abandon() override;

private:
    void finish(const Answer& answer, int tries);

    RegistryRouter m_router;
    RdapLookup m_rdap;
    std::unique_ptr<WhoisLookup> m_whois;
    LookupRecord m_record;
    QElapsedTimer m_clock;
    Done m_done;
    quint64 m_askNumber = 0;
};

} // namespace ds
