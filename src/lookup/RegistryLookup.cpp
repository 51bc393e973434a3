#include "lookup/RegistryLookup.h"

#include "lookup/DomainName.h"
#include "lookup/RdapBootstrapStore.h"

#include <utility>

namespace ds {

RegistryLookup::RegistryLookup(ServiceQueue& queue,
                               std::shared_ptr<const RdapBootstrapStore> bootstrap,
                               RdapLookup::Options options, std::unique_ptr<WhoisLookup> whois,
                               QObject* parent)
    : Lookup(parent)
    , m_bootstrap(std::move(bootstrap))
    , m_rdap(queue, std::move(options))
    , m_whois(std::move(whois)) {}

void RegistryLookup::ask(Entry entry, Done done) {
    abandon();
    // The server depends on the name: it is read at once.
    const std::optional<QString> text = entry();
    if (!text)
        return;
    m_done = std::move(done);
    m_record = LookupRecord();
    m_record.entry = *text;
    m_clock.start();
    const DomainName name = DomainName::fromEntry(*text);
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
    if (m_whois)
        m_whois->abandon();
}

void RegistryLookup::askRegistry(const DomainName& name) {
    const std::shared_ptr<const RdapBootstrap> bootstrap =
        m_bootstrap ? m_bootstrap->current() : nullptr;
    if (!bootstrap) {
        finishLater(Verdict::Failed, QStringLiteral("no RDAP bootstrap"));
        return;
    }
    const std::optional<QUrl> base = bootstrap->baseUrlFor(name.ace);
    if (!base) {
        askUnlisted(name);
        return;
    }
    m_rdap.ask(name.ace, *base, [this](const Answer& answer, int tries) { finish(answer, tries); });
}

// The one place a TLD without RDAP ends up.
void RegistryLookup::askUnlisted(const DomainName& name) {
    if (!m_whois) {
        finishLater(Verdict::Unsupported, {});
        return;
    }
    m_whois->ask(name.ace, [this](const Answer& answer, int tries) { finish(answer, tries); });
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
