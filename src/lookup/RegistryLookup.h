#pragma once

#include "lookup/Lookup.h"
#include "lookup/RdapLookup.h"
#include "lookup/WhoisLookup.h"

#include <QElapsedTimer>

#include <memory>

namespace ds {

struct DomainName;
class RdapBootstrapStore;

// Asks the registries themselves: the name in its ACE form, to the RDAP
// server the bootstrap names for it, or over WHOIS for a TLD the bootstrap
// does not list.
class RegistryLookup final : public Lookup {
    Q_OBJECT
public:
    // Without a bootstrap every name fails, as no server is known; without
    // WHOIS a TLD the bootstrap does not list is unsupported.
    RegistryLookup(ServiceQueue& queue, std::shared_ptr<const RdapBootstrapStore> bootstrap,
                   RdapLookup::Options options, std::unique_ptr<WhoisLookup> whois = nullptr,
                   QObject* parent = nullptr);

    void ask(Entry entry, Done done) override;
    void abandon() override;

private:
    // A DNS check will come in before this.
    void askRegistry(const DomainName& name);
    void askUnlisted(const DomainName& name);
    void finish(const Answer& answer, int tries);
    void finishLater(Verdict verdict, const QString& detail);

    std::shared_ptr<const RdapBootstrapStore> m_bootstrap;
    RdapLookup m_rdap;
    std::unique_ptr<WhoisLookup> m_whois;
    LookupRecord m_record;
    QElapsedTimer m_clock;
    Done m_done;
    quint64 m_askNumber = 0;
};

} // namespace ds
