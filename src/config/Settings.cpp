#include "config/Settings.h"

#include "common/DataFolders.h"
#include "lookup/DnsCheck.h"
#include "lookup/ServerPace.h"
#include "lookup/WhoisServers.h"

#include <QDir>
#include <QSettings>

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

struct Entry {
    Settings::Key key;
    QLatin1StringView name;
    QVariant (*fallback)();
    // Integer keys only: the accepted range, ends included.
    int minimum = 0;
    int maximum = 0;
};

QVariant noValue() {
    return QVariant(QString());
}

const Entry kEntries[] = {
    // No default: an older file without the key still means what it meant.
    {Settings::Key::LookupMethod, "lookup/method"_L1, noValue},
    {Settings::Key::RegistrarAddress, "registrar/address"_L1, noValue},
    {Settings::Key::RequestTimeLimitSeconds, "registrar/requestTimeLimitSeconds"_L1,
     [] { return QVariant(30); }, 1, 3600},
    {Settings::Key::Workers, "run/workers"_L1, [] { return QVariant(3); }, 1, 64},
    // 0 takes away the pause between a worker's steps; the benchmark measures that way.
    {Settings::Key::RestartIntervalMs, "run/restartIntervalMs"_L1, [] { return QVariant(100); }, 0,
     60000},
    {Settings::Key::ServerIntervalMs, "registry/serverIntervalMs"_L1, [] { return QVariant(500); },
     0, 60000},
    {Settings::Key::WhoisServerIntervalMs, "whois/serverIntervalMs"_L1,
     [] { return QVariant(1000); }, 0, 60000},
    {Settings::Key::ProxyType, "proxy/type"_L1,
     [] {
         return QVariant(QString(proxyTypeKey(ProxyConfig::Type::None)));
     }},
    {Settings::Key::ProxyHost, "proxy/host"_L1, noValue},
    {Settings::Key::ProxyPort, "proxy/port"_L1, [] { return QVariant(0); }, 1, 65535},
    {Settings::Key::ProxyUser, "proxy/user"_L1, noValue},
    {Settings::Key::ProxyPassword, "proxy/password"_L1, noValue},
    {Settings::Key::ProxyRememberPassword, "proxy/rememberPassword"_L1,
     [] {
         return QVariant(false);
     }},
    {Settings::Key::ToolsUrl, "links/toolsUrl"_L1,
     [] {
         return QVariant(helpPageUrl());
     }},
    {Settings::Key::SupportUrl, "links/supportUrl"_L1,
     [] {
         return QVariant(helpSupportUrl());
     }},
    // Chinese whatever the locale: English only when a person asks for it.
    {Settings::Key::Language, "ui/language"_L1,
     [] {
         return QVariant(u"zh"_s);
     }},
    {Settings::Key::RdapBootstrap, "rdap/bootstrap"_L1,
     [] {
         return QVariant(QString());
     }},
    {Settings::Key::WhoisReferral, "whois/referral"_L1,
     [] {
         return QVariant(u"whois.iana.org:43"_s);
     }},
    {Settings::Key::WhoisServers, "whois/servers"_L1,
     [] {
         return QVariant(QStringList());
     }},
    {Settings::Key::ServerPaces, "registry/serverPaces"_L1,
     [] {
         return QVariant(QStringList());
     }},
    {Settings::Key::DnsEnabled, "dns/enabled"_L1,
     [] {
         return QVariant(true);
     }},
    {Settings::Key::DnsServer, "dns/server"_L1, noValue},
    {Settings::Key::DnsParallel, "dns/parallel"_L1,
     [] { return QVariant(DnsCheckOptions{}.parallel); }, 1, 1024},
    // Apart from run/workers, which the registrar's workers keep: a dialog
    // saved once stored 3 there, which would hold the registries to 3.
    {Settings::Key::RegistryRequestsInFlight, "registry/requestsInFlight"_L1,
     [] { return QVariant(16); }, 1, 64},
    {Settings::Key::LongestWaitMinutes, "registry/longestWaitMinutes"_L1,
     [] { return QVariant(10); }, 1, 1440},
    {Settings::Key::Details, "lookup/details"_L1,
     [] {
         return QVariant(false);
     }},
};

const Entry& entry(Settings::Key key) {
    const auto found = std::find_if(std::begin(kEntries), std::end(kEntries),
                                    [key](const Entry& e) { return e.key == key; });
    Q_ASSERT(found != std::end(kEntries));
    return *found;
}

} // namespace

Settings::Settings()
    : m_store(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                          u"DomainSieve"_s, u"domainsieve"_s)) {}

Settings::Settings(const QString& iniFile)
    : m_store(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

Settings::~Settings() = default;

LookupMethod Settings::lookupMethod() const {
    const QString method = stored(Key::LookupMethod).toString();
    if (method == u"registries"_s)
        return LookupMethod::Registries;
    if (method == u"registrar"_s)
        return LookupMethod::Registrar;
    return registrarAddress().isEmpty() ? LookupMethod::Registries : LookupMethod::Registrar;
}

QString Settings::registrarAddress() const {
    return normaliseRegistrarAddress(stored(Key::RegistrarAddress).toString());
}

int Settings::requestTimeLimitSeconds() const {
    return integer(Key::RequestTimeLimitSeconds);
}

int Settings::workers() const {
    return integer(Key::Workers);
}

int Settings::restartIntervalMs() const {
    return integer(Key::RestartIntervalMs);
}

int Settings::serverIntervalMs() const {
    return integer(Key::ServerIntervalMs);
}

int Settings::whoisServerIntervalMs() const {
    return integer(Key::WhoisServerIntervalMs);
}

ProxyConfig Settings::proxy() const {
    ProxyConfig proxy;
    proxy.type = proxyTypeFromKey(stored(Key::ProxyType).toString()).value_or(proxy.type);
    proxy.host = stored(Key::ProxyHost).toString().trimmed();
    proxy.port = static_cast<quint16>(integer(Key::ProxyPort));
    const bool ownProxy =
        proxy.type == ProxyConfig::Type::Http || proxy.type == ProxyConfig::Type::Socks5;
    if (ownProxy && proxy.host.isEmpty())
        proxy.type = ProxyConfig::Type::None;
    else if (ownProxy && proxy.port == 0)
        proxy.port = usualProxyPort(proxy.type);
    proxy.user = stored(Key::ProxyUser).toString();
    proxy.password = rememberedPassword();
    return proxy;
}

bool Settings::rememberPassword() const {
    return stored(Key::ProxyRememberPassword).toBool();
}

QUrl Settings::toolsUrl() const {
    return url(Key::ToolsUrl);
}

QUrl Settings::supportUrl() const {
    return url(Key::SupportUrl);
}

QString Settings::language() const {
    const QString value = stored(Key::Language).toString().trimmed().toLower();
    return interfaceLanguages().contains(value) ? value : defaultValue(Key::Language).toString();
}

QString Settings::rdapBootstrap() const {
    return stored(Key::RdapBootstrap).toString().trimmed();
}

QString Settings::whoisReferral() const {
    const QString value = stored(Key::WhoisReferral).toString().trimmed();
    return parseWhoisAddress(value) ? value : defaultValue(Key::WhoisReferral).toString();
}

QStringList Settings::whoisServers() const {
    QStringList usable;
    for (const QString& server : stored(Key::WhoisServers).toStringList()) {
        if (parseWhoisServerOverride(server))
            usable.append(server.trimmed());
    }
    return usable;
}

QStringList Settings::serverPaces() const {
    QStringList usable;
    for (const QString& pace : stored(Key::ServerPaces).toStringList()) {
        if (parseServerPaceOverride(pace).value)
            usable.append(pace.trimmed());
    }
    return usable;
}

bool Settings::dnsEnabled() const {
    return stored(Key::DnsEnabled).toBool();
}

QString Settings::dnsServer() const {
    const QString value = stored(Key::DnsServer).toString().trimmed();
    return isUsableDnsServer(value) ? value : QString();
}

int Settings::dnsParallel() const {
    return integer(Key::DnsParallel);
}

bool Settings::details() const {
    return stored(Key::Details).toBool();
}

void Settings::setValue(Key key, const QVariant& value) {
    m_store->setValue(entry(key).name, value);
}

void Settings::remove(Key key) {
    m_store->remove(entry(key).name);
}

void Settings::sync() {
    m_store->sync();
}

QVariant Settings::defaultValue(Key key) {
    return entry(key).fallback();
}

std::pair<int, int> Settings::range(Key key) {
    const Entry& e = entry(key);
    return {e.minimum, e.maximum};
}

QVariant Settings::stored(Key key) const {
    return m_store->value(entry(key).name, defaultValue(key));
}

int Settings::integer(Key key) const {
    bool ok = false;
    const int value = stored(key).toInt(&ok);
    const Entry& e = entry(key);
    return ok && value >= e.minimum && value <= e.maximum ? value : defaultValue(key).toInt();
}

QUrl Settings::url(Key key) const {
    const QUrl value = urlFromUserInput(stored(key).toString());
    return value.isValid() ? value : defaultValue(key).toUrl();
}

QString normaliseRegistrarAddress(const QString& address) {
    QString text = address.trimmed();
    if (text.isEmpty())
        return {};
    // Without "://" QUrl would read "host:8080" as scheme "host".
    if (!text.contains(u"://"_s))
        text.prepend(u"http://"_s);
    const QUrl url(text, QUrl::StrictMode);
    const bool plain = url.isValid() && url.scheme() == u"http"_s && !url.host().isEmpty() &&
                       url.userInfo().isEmpty() && (url.path().isEmpty() || url.path() == u"/"_s) &&
                       !url.hasQuery() && !url.hasFragment();
    if (!plain)
        return {};
    QUrl result;
    result.setScheme(u"http"_s);
    result.setHost(url.host());
    result.setPort(url.port());
    return result.toString(QUrl::FullyEncoded);
}

QUrl urlFromUserInput(const QString& text) {
    if (text.trimmed().isEmpty())
        return {};
    return QUrl::fromUserInput(text, QDir::currentPath(), QUrl::AssumeLocalFile);
}

QUrl helpPageUrl() {
    const QString page = u"help/index.html"_s;
    return QUrl::fromLocalFile(QDir(DataFolders::holding(page)).filePath(page));
}

QStringList interfaceLanguages() {
    return {u"zh"_s, u"en"_s};
}

QUrl helpSupportUrl() {
    QUrl url = helpPageUrl();
    url.setFragment(u"support"_s);
    return url;
}

} // namespace ds
