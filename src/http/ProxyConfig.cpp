#include "http/ProxyConfig.h"

#include <QNetworkProxyFactory>
#include <QUrl>

#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

using Type = ProxyConfig::Type;

constexpr std::array<std::pair<Type, QLatin1StringView>, 4> kTypeKeys = {{
    {Type::None, "none"_L1},
    {Type::System, "system"_L1},
    {Type::Http, "http"_L1},
    {Type::Socks5, "socks5"_L1},
}};

} // namespace

bool ProxyConfig::isComplete() const {
    return !hasOwnServer() || (!host.isEmpty() && port != 0);
}

QString ProxyConfig::displayName() const {
    if (type == Type::None || type == Type::System)
        return proxyTypeKey(type);
    QUrl url;
    url.setScheme(proxyTypeKey(type));
    url.setUserName(user);
    url.setHost(host);
    url.setPort(port);
    return url.toString();
}

QNetworkProxy ProxyConfig::networkProxy() const {
    switch (type) {
    case Type::None:
        return QNetworkProxy(QNetworkProxy::NoProxy);
    case Type::System:
        return QNetworkProxy(QNetworkProxy::DefaultProxy);
    case Type::Http:
        return QNetworkProxy(QNetworkProxy::HttpProxy, host, port, user, password);
    case Type::Socks5:
        return QNetworkProxy(QNetworkProxy::Socks5Proxy, host, port, user, password);
    }
    Q_UNREACHABLE();
}

QNetworkProxy ProxyConfig::socketProxy(const QString& targetHost, quint16 targetPort) const {
    if (type == Type::Socks5)
        return networkProxy();
    if (type == Type::System) {
        const QList<QNetworkProxy> offered = QNetworkProxyFactory::systemProxyForQuery(
            QNetworkProxyQuery(targetHost, targetPort, QString(), QNetworkProxyQuery::TcpSocket));
        const auto socks = std::find_if(offered.begin(), offered.end(), [](const auto& proxy) {
            return proxy.type() == QNetworkProxy::Socks5Proxy;
        });
        if (socks != offered.end())
            return *socks;
    }
    // An HTTP proxy would have to tunnel with CONNECT, which most refuse for
    // ports other than 443: WHOIS goes direct instead.
    return QNetworkProxy(QNetworkProxy::NoProxy);
}

QLatin1StringView proxyTypeKey(ProxyConfig::Type type) {
    const auto found = std::find_if(kTypeKeys.begin(), kTypeKeys.end(),
                                    [type](const auto& entry) { return entry.first == type; });
    return found->second;
}

std::optional<ProxyConfig::Type> proxyTypeFromKey(QStringView key) {
    const auto found = std::find_if(kTypeKeys.begin(), kTypeKeys.end(),
                                    [key](const auto& entry) { return entry.second == key; });
    if (found == kTypeKeys.end())
        return std::nullopt;
    return found->first;
}

quint16 usualProxyPort(ProxyConfig::Type type) {
    return type == Type::Http ? 8080 : 1080;
}

std::optional<ProxyConfig> parseProxyUrl(const QString& text) {
    const QString trimmed = text.trimmed();
    ProxyConfig proxy;
    if (trimmed == u"none"_s || trimmed == u"system"_s) {
        proxy.type = *proxyTypeFromKey(trimmed);
        return proxy;
    }
    const QUrl url(trimmed, QUrl::StrictMode);
    const std::optional<Type> type = proxyTypeFromKey(url.scheme());
    if (!url.isValid() || !type || *type == Type::None || *type == Type::System ||
        url.host().isEmpty() || (!url.path().isEmpty() && url.path() != u"/"_s) || url.hasQuery() ||
        url.hasFragment() || url.port() == 0)
        return std::nullopt;
    proxy.type = *type;
    proxy.host = url.host();
    proxy.port = static_cast<quint16>(url.port(usualProxyPort(*type)));
    proxy.user = url.userName();
    proxy.password = url.password();
    return proxy;
}

} // namespace ds
