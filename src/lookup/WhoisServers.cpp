#include "lookup/WhoisServers.h"

#include "lookup/WhoisPatterns.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

QString fieldOf(const QString& reply, QLatin1StringView field) {
    const QRegularExpression line(u"^[ \\t]*"_s % field % u"[ \\t]*:[ \\t]*(\\S*)[ \\t]*$"_s,
                                  QRegularExpression::CaseInsensitiveOption |
                                      QRegularExpression::MultilineOption);
    return line.match(QString(reply).remove(u'\r')).captured(1);
}

} // namespace

std::optional<QString> referredWhoisServer(const QString& reply, const QString& tld) {
    const QString whois = fieldOf(reply, "whois"_L1);
    if (!whois.isEmpty())
        return whois;
    const QString refer = fieldOf(reply, "refer"_L1);
    if (!refer.isEmpty())
        return refer;
    if (fieldOf(reply, "domain"_L1).compare(tld, Qt::CaseInsensitive) == 0)
        return QString();
    return std::nullopt;
}

WhoisServers::WhoisServers(const WhoisPatterns& patterns, WhoisServersOptions options,
                           QObject* parent)
    : QObject(parent)
    , m_patterns(patterns)
    , m_options(std::move(options))
    , m_now([] { return QDateTime::currentDateTimeUtc(); }) {
    if (m_options.cacheDir.isEmpty()) {
        m_options.cacheDir =
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation) % u"/whois-servers"_s;
    }
}

void WhoisServers::find(const QString& aceName, Done done) {
    const QString zone = m_patterns.zoneOf(aceName);
    const QString tld = zone.mid(zone.lastIndexOf(u'.') + 1);
    for (const QString& key : {zone, tld}) {
        if (const auto it = m_options.overrides.constFind(key); it != m_options.overrides.cend()) {
            later(done, {WhoisServerLookup::Outcome::Found, *it, {}});
            return;
        }
    }
    const WhoisEntry& entry = m_patterns.entryFor(aceName);
    if (!entry.unsupported.isEmpty()) {
        later(done,
              {WhoisServerLookup::Outcome::Unsupported, {}, WhoisPatterns::whyUnsupported(entry)});
        return;
    }
    if (const std::optional<QString> referred = cached(tld)) {
        later(done, fromReferral(zone, *referred));
        return;
    }
    const bool asking = m_waiting.contains(tld);
    m_waiting[tld].append({zone, std::move(done)});
    if (!asking)
        askReferral(tld);
}

void WhoisServers::askReferral(const QString& tld) {
    auto* client = new WhoisClient(this);
    client->setTimeLimitMs(m_options.timeLimitMs);
    connect(client, &WhoisClient::finished, this, [this, client, tld](const WhoisReply& reply) {
        client->deleteLater();
        referralAnswered(tld, reply);
    });
    client->ask(m_options.referral, tld.toLatin1());
}

void WhoisServers::referralAnswered(const QString& tld, const WhoisReply& reply) {
    const QList<std::pair<QString, Done>> waiting = m_waiting.take(tld);
    const std::optional<QString> referred =
        reply.complete ? referredWhoisServer(reply.text, tld) : std::nullopt;
    if (referred)
        store(tld, *referred);
    const QString failure = tr("无法从 %1 得知 .%2 的 WHOIS 服务器：%3")
                                .arg(m_options.referral.toString(), tld,
                                     reply.complete ? tr("回复无法判断") : reply.error);
    for (const auto& [zone, done] : waiting) {
        done(referred ? fromReferral(zone, *referred)
                      : WhoisServerLookup{WhoisServerLookup::Outcome::Failed, {}, failure});
    }
}

WhoisServerLookup WhoisServers::fromReferral(const QString& zone, const QString& referred) const {
    if (!referred.isEmpty()) {
        if (const std::optional<WhoisAddress> server = parseWhoisAddress(referred))
            return {WhoisServerLookup::Outcome::Found, *server, {}};
    }
    if (const std::optional<WhoisAddress> server = parseWhoisAddress(m_patterns.knownServer(zone)))
        return {WhoisServerLookup::Outcome::Found, *server, {}};
    return {
        WhoisServerLookup::Outcome::Unsupported, {}, tr(".%1 没有可用的 WHOIS 服务器").arg(zone)};
}

std::optional<QString> WhoisServers::cached(const QString& tld) const {
    QFile file(cachePath(tld));
    if (cachePath(tld).isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
    const QDateTime asked = QDateTime::fromString(record.value("asked"_L1).toString(), Qt::ISODate);
    const QJsonValue server = record.value("server"_L1);
    if (!asked.isValid() || !server.isString() || asked.daysTo(m_now()) >= kCacheDays)
        return std::nullopt;
    return server.toString();
}

void WhoisServers::store(const QString& tld, const QString& referred) const {
    // A cache that cannot be written only costs a referral query next time.
    if (cachePath(tld).isEmpty() || !QDir().mkpath(m_options.cacheDir))
        return;
    QSaveFile file(cachePath(tld));
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QJsonObject record{{"server"_L1, referred},
                             {"asked"_L1, m_now().toUTC().toString(Qt::ISODate)}};
    file.write(QJsonDocument(record).toJson());
    file.commit();
}

QString WhoisServers::cachePath(const QString& tld) const {
    static const QRegularExpression label(u"^[a-z0-9-]{1,63}$"_s);
    if (!label.match(tld).hasMatch())
        return {};
    return m_options.cacheDir % u'/' % tld % u".json"_s;
}

void WhoisServers::later(const Done& done, const WhoisServerLookup& lookup) {
    QTimer::singleShot(0, this, [done, lookup] { done(lookup); });
}

} // namespace ds
