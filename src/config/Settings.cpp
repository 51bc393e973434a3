#include "config/Settings.h"

#include "common/DataFolders.h"
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

const Entry kEntries[] = {
    {Settings::Key::RegistrarAddress, "registrar/address"_L1,
     [] {
         return QVariant(QString());
     }},
    {Settings::Key::RequestTimeLimitSeconds, "registrar/requestTimeLimitSeconds"_L1,
     [] { return QVariant(30); }, 1, 3600},
    // 0 takes away the pause between a worker's steps; the benchmark measures that way.
    {Settings::Key::RestartIntervalMs, "run/restartIntervalMs"_L1, [] { return QVariant(100); }, 0,
     60000},
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
    {Settings::Key::Workers, "run/workers"_L1, [] { return QVariant(3); }, 1, 64},
    {Settings::Key::ServerIntervalMs, "registry/serverIntervalMs"_L1, [] { return QVariant(500); },
     0, 60000},
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
    {Settings::Key::WhoisServerIntervalMs, "whois/serverIntervalMs"_L1,
     [] { return QVariant(1000); }, 0, 60000},
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

QString Settings::registrarAddress() const {
    return normaliseRegistrarAddress(stored(Key::RegistrarAddress).toString());
}

int Settings::requestTimeLimitSeconds() const {
    return boundedInt(Key::RequestTimeLimitSeconds);
}

int Settings::restartIntervalMs() const {
    return boundedInt(Key::RestartIntervalMs);
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

int Settings::workers() const {
    return boundedInt(Key::Workers);
}

int Settings::serverIntervalMs() const {
    return boundedInt(Key::ServerIntervalMs);
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

int Settings::whoisServerIntervalMs() const {
    return boundedInt(Key::WhoisServerIntervalMs);
}

void Settings::setValue(Key key, const QVariant& value) {
    m_store->setValue(entry(key).name, value);
}

void Settings::sync() {
    m_store->sync();
}

QVariant Settings::defaultValue(Key key) {
    return entry(key).fallback();
}

QVariant Settings::stored(Key key) const {
    return m_store->value(entry(key).name, defaultValue(key));
}

int Settings::boundedInt(Key key) const {
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
