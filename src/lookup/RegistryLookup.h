#pragma once

#include "lookup/Lookup.h"
#include "lookup/RdapLookup.h"

#include <QElapsedTimer>

namespace ds {

struct DomainName;
class RdapBootstrapStore;

// Asks the registries themselves: the name in its ACE form, to the RDAP
// server the bootstrap names for it. A TLD the bootstrap does not list is
// unsupported for now; WHOIS will answer for those.
class RegistryLookup final : public Lookup {
    Q_OBJECT
public:
    RegistryLookup(ServiceQueue& queue, const RdapBootstrapStore& bootstrap,
                   RdapLookup::Options options, QObject* parent = nullptr);

    void ask(const QString& entry, Done done) override;
    void abandon() override;

private:
    // A DNS check will come in before this.
    void askRegistry(const DomainName& name);
    void askUnlisted();
    void finish(const Answer& answer, int tries);
    void finishLater(Verdict verdict, const QString& detail);

    const RdapBootstrapStore& m_bootstrap;
    RdapLookup m_rdap;
    LookupRecord m_record;
    QElapsedTimer m_clock;
    Done m_done;
    quint64 m_askNumber = 0;
};

} // namespace ds
