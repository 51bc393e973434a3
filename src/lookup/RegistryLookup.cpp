#include "lookup/RegistryLookup.h"

#include "lookup/DomainName.h"
#include "lookup/RdapBootstrapStore.h"

#include <utility>

namespace ds {

RegistryLookup::RegistryLookup(ServiceQueue& queue, const RdapBootstrapStore& bootstrap,
                               RdapLookup::Options options, QObject* parent)
    : Lookup(parent)
    , m_bootstrap(bootstrap)
    , m_rdap(queue, std::move(options)) {}

void RegistryLookup::ask(const QString& entry, Done done) {
    abandon();
    m_done = std::move(done);
    m_record = LookupRecord();
    m_record.entry = entry;
    m_clock.start();
    const DomainName name = DomainName::fromEntry(entry);
    if (!name.isValid()) {
        finishLater(Verdict::Invalid, name.problem);
        return;
    }
    m_record.ascii = name.ace;
    askRegistry(name);
}

void RegistryLookup::abandon() {
    ++m_askNumber;
    m_done = nullptr;
    m_rdap.abandon();
}

void RegistryLookup::askRegistry(const DomainName& name) {
    const std::shared_ptr<const RdapBootstrap> bootstrap = m_bootstrap.current();
    const std::optional<QUrl> base = bootstrap ? bootstrap->baseUrlFor(name.ace) : std::nullopt;
    if (!base) {
        askUnlisted();
        return;
    }
    m_rdap.ask(name.ace, *base, [this](const Answer& answer, int tries) { finish(answer, tries); });
}

// The one place a TLD without RDAP ends up.
void RegistryLookup::askUnlisted() {
    finishLater(Verdict::Unsupported, {});
}

// An answer without a request, on a later turn as promised.
void RegistryLookup::finishLater(Verdict verdict, const QString& detail) {
    Answer answer;
    answer.verdict = verdict;
    answer.method = Method::Rdap;
    answer.detail = detail;
    QMetaObject::invokeMethod(
        this,
        [this, answer, ask = m_askNumber] {
            if (ask == m_askNumber)
                finish(answer, 0);
        },
        Qt::QueuedConnection);
}

void RegistryLookup::finish(const Answer& answer, int tries) {
    m_record.answer = answer;
    m_record.tries = tries;
    m_record.elapsedMs = m_clock.elapsed();
    Done done = std::exchange(m_done, nullptr);
    if (done)
        done(m_record);
}

} // namespace ds
