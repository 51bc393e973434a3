#include "lookup/RegistryLookup.h"

#include "lookup/DomainName.h"
#include "lookup/RdapBootstrapStore.h"
#include "lookup/WhoisServers.h"

#include <QPointer>

#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

void RegistryRouter::route(const QString& entry, QObject* context, Done done) const {
    RegistryRoute route;
    route.entry = entry;
    route.answer.method = Method::Rdap;
    const DomainName name = DomainName::fromEntry(entry);
    if (!name.isValid()) {
        route.answer.verdict = Verdict::Invalid;
        route.answer.detail = name.problem;
        done(route);
        return;
    }
    route.ace = name.ace;
    const std::shared_ptr<const RdapBootstrap> bootstrap =
        m_bootstrap ? m_bootstrap->current() : nullptr;
    if (!bootstrap) {
        route.answer.detail = u"no RDAP bootstrap"_s;
        done(route);
        return;
    }
    if (const std::optional<QUrl> base = bootstrap->baseUrlFor(name.ace)) {
        route.via = RegistryRoute::Via::Rdap;
        route.rdapBase = *base;
        route.service = RdapLookup::serviceOf(*base);
        done(route);
        return;
    }
    // The one place a TLD without RDAP ends up.
    if (!m_whois) {
        route.answer.verdict = Verdict::Unsupported;
        done(route);
        return;
    }
    m_whois->find(name.ace, [route, context = QPointer<QObject>(context),
                             done = std::move(done)](const WhoisServerLookup& found) mutable {
        if (!context)
            return;
        route.answer.method = Method::Whois;
        switch (found.outcome) {
        case WhoisServerLookup::Outcome::Found:
            route.via = RegistryRoute::Via::Whois;
            route.whois = found.server;
            route.service = found.server.toString();
            break;
        case WhoisServerLookup::Outcome::Unsupported:
            route.answer.verdict = Verdict::Unsupported;
            route.answer.detail = found.detail;
            break;
        case WhoisServerLookup::Outcome::Failed:
            route.answer.detail = found.detail;
            break;
        }
        done(route);
    });
}

RegistryLookup::RegistryLookup(ServiceQueue& queue,
                               std::shared_ptr<const RdapBootstrapStore> bootstrap,
                               RdapLookup::Options options, std::unique_ptr<WhoisLookup> whois,
                               WhoisServers* whoisServers, QObject* parent)
    : Lookup(parent)
    , m_router(std::move(bootstrap), whois ? whoisServers : nullptr)
    , m_rdap(queue, std::move(options))
    , m_whois(std::move(whois)) {}

void RegistryLookup::ask(Entry entry, Done done) {
    abandon();
    // The server depends on the name: it is read at once.
    const std::optional<QString> text = entry();
    if (!text)
        return;
    m_router.route(*text, this, [this, ask = m_askNumber, done](const RegistryRoute& route) {
        if (ask == m_askNumber)
            askAt(route, done);
    });
}

void RegistryLookup::askAt(const RegistryRoute& route, Done done) {
    abandon();
    m_done = std::move(done);
    m_record = LookupRecord();
    m_record.entry = route.entry;
    m_record.sentName = route.ace;
    m_clock.start();
    const auto finished = [this](const Answer& answer, int tries) {
        finish(answer, tries);
    };
    switch (route.via) {
    case RegistryRoute::Via::Rdap:
        m_rdap.ask(route.ace, route.rdapBase, finished);
        return;
    case RegistryRoute::Via::Whois:
        m_whois->askAt(route.whois, route.ace, finished);
        return;
    case RegistryRoute::Via::Nowhere:
        // An answer without a request, on a later turn as promised.
        QMetaObject::invokeMethod(
            this,
            [this, answer = route.answer, ask = m_askNumber] {
                if (ask == m_askNumber)
                    finish(answer, 0);
            },
            Qt::QueuedConnection);
        return;
    }
}

void RegistryLookup::abandon() {
    ++m_askNumber;
    m_done = nullptr;
    m_rdap.abandon();
    if (m_whois)
        m_whois->abandon();
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
