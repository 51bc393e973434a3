#include "config/Settings.h"

#include "common/DataFolders.h"
#include "config/SettingsTable.h"

#include <QDir>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace ds {

Settings::Settings()
    : m_store(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                          u"DomainSieve"_s, u"domainsieve"_s)) {
    adoptFormerNames();
}

Settings::Settings(const QString& iniFile)
    : m_store(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {
    adoptFormerNames();
}

Settings::~Settings() = default;

LookupMethod Settings::lookupMethod() const {
    const QString method = text(Key::LookupMethod);
    if (method == u"registries"_s)
        return LookupMethod::Registries;
    if (method == u"registrar"_s)
        return LookupMethod::Registrar;
    return registrarAddress().isEmpty() ? LookupMethod::Registries : LookupMethod::Registrar;
}

QString Settings::registrarAddress() const {
    return normaliseRegistrarAddress(stored(Key::RegistrarAddress).toString());
}

ProxyConfig Settings::proxy() const {
    ProxyConfig proxy;
    proxy.type = proxyTypeFromKey(stored(Key::ProxyType).toString()).value_or(proxy.type);
    proxy.host = stored(Key::ProxyHost).toString().trimmed();
    proxy.port = static_cast<quint16>(integer(Key::ProxyPort));
    if (proxy.hasOwnServer() && proxy.host.isEmpty())
        proxy.type = ProxyConfig::Type::None;
    else if (proxy.hasOwnServer() && proxy.port == 0)
        proxy.port = usualProxyPort(proxy.type);
    proxy.user = stored(Key::ProxyUser).toString();
    proxy.password = rememberedPassword();
    return proxy;
}

QString Settings::language() const {
    return text(Key::Language).toLower();
}

void Settings::setValue(Key key, const QVariant& value) {
    m_store->setValue(settingRow(key).name, value);
}

void Settings::remove(Key key) {
    m_store->remove(settingRow(key).name);
}

void Settings::sync() {
    m_store->sync();
}

QVariant Settings::defaultValue(Key key) {
    return settingRow(key).fallback();
}

std::pair<int, int> Settings::range(Key key) {
    const SettingRow& row = settingRow(key);
    return {row.minimum, row.maximum};
}

QVariant Settings::stored(Key key) const {
    return m_store->value(settingRow(key).name, defaultValue(key));
}

// A renamed key is read from its old name once: the value moves to the new
// name, so an older version started afterwards finds its own default.
void Settings::adoptFormerNames() {
    for (const SettingRow& row : settingRows()) {
        if (row.formerName.isEmpty() || !m_store->contains(row.formerName))
            continue;
        if (!m_store->contains(row.name))
            m_store->setValue(row.name, m_store->value(row.formerName));
        m_store->remove(row.formerName);
    }
}

int Settings::integer(Key key) const {
    bool ok = false;
    const int value = stored(key).toInt(&ok);
    const auto [minimum, maximum] = range(key);
    return ok && value >= minimum && value <= maximum ? value : defaultValue(key).toInt();
}

bool Settings::flag(Key key) const {
    return stored(key).toBool();
}

QString Settings::text(Key key) const {
    const QString value = stored(key).toString().trimmed();
    return settingRow(key).usable(value) ? value : defaultValue(key).toString();
}

QStringList Settings::list(Key key) const {
    QStringList usable;
    for (const QString& entry : stored(key).toStringList()) {
        if (settingRow(key).usable(entry.trimmed()))
            usable.append(entry.trimmed());
    }
    return usable;
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
