#pragma once

#include "lookup/WhoisClient.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

namespace ds {

class WhoisPatterns;

// What a referral server's reply about a TLD says: the server its "whois:"
// line names, else its "refer:" line; an empty string when it describes the
// TLD and names none; nullopt when the reply is no description of the TLD.
std::optional<QString> referredWhoisServer(const QString& reply, const QString& tld);

// Where to ask about a name over WHOIS, or why nowhere.
struct WhoisServerLookup {
    enum class Outcome { Found, Unsupported, Failed };
    Outcome outcome = Outcome::Failed;
    WhoisAddress server;
    QString detail;
};

struct WhoisServersOptions {
    WhoisAddress referral{QStringLiteral("whois.iana.org"), 43};
    // Zone (ACE, lower case) to server; these win over everything else.
    QHash<QString, WhoisAddress> overrides;
    // Empty: the "whois-servers" folder in the user's cache location.
    QString cacheDir;
    int timeLimitMs = 10000;
};

// Finds the WHOIS server for a name's zone: an override, else what the
// referral server says about the TLD (kept on disk for 30 days), else the
// registry's server the pattern table knows for a zone below a TLD (such as
// co.za, which the referral cannot name). Zones the table marks as having no
// port-43 service, and TLDs nobody names a server for, are Unsupported.
class WhoisServers final : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(const WhoisServerLookup&)>;
    static constexpr int kCacheDays = 30;

    WhoisServers(const WhoisPatterns& patterns, WhoisServersOptions options,
                 QObject* parent = nullptr);

    // For tests: the clock that dates cache entries.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    // done is called once, always on a later turn of the event loop. Names
    // of one TLD asked together share a single referral query.
    void find(const QString& aceName, Done done);

private:
    void askReferral(const QString& tld);
    void referralAnswered(const QString& tld, const WhoisReply& reply);
    WhoisServerLookup fromReferral(const QString& zone, const QString& referred) const;
    std::optional<QString> cached(const QString& tld) const;
    void store(const QString& tld, const QString& referred) const;
    // Empty for a TLD that is no plain label, which is then never cached.
    QString cachePath(const QString& tld) const;
    void later(const Done& done, const WhoisServerLookup& lookup);

    const WhoisPatterns& m_patterns;
    WhoisServersOptions m_options;
    std::function<QDateTime()> m_now;
    // TLD to the zones and callbacks waiting for its referral answer.
    QHash<QString, QList<std::pair<QString, Done>>> m_waiting;
};

} // namespace ds
