#pragma once

#include <QNetworkProxy>
#include <QString>
#include <QStringView>

#include <optional>

namespace ds {

// The proxy lookups go through. HTTP traffic (RDAP, the registrar service,
// the bootstrap download) takes any of them; a plain TCP connection such as
// WHOIS can only be carried by SOCKS5 and goes direct otherwise.
struct ProxyConfig {
    enum class Type { None, System, Http, Socks5 };

    Type type = Type::None;
    QString host;
    quint16 port = 0;
    QString user;
    QString password;

    bool operator==(const ProxyConfig&) const = default;

    // HTTP or SOCKS5: a proxy server of its own, which needs a host and a
    // port and can itself be the reason a lookup fails.
    static bool hasOwnServer(Type type) { return type == Type::Http || type == Type::Socks5; }
    bool hasOwnServer() const { return hasOwnServer(type); }
    // A proxy of its own needs a host and a port.
    bool isComplete() const;
    // "http://host:port", "socks5://user@host:port", "system" or "none":
    // names the proxy in messages, never with its password.
    QString displayName() const;
    // The proxy itself: NoProxy for None, DefaultProxy for System (whose
    // choice is made per request).
    QNetworkProxy networkProxy() const;
    // The proxy a plain TCP connection to host:port should use: the SOCKS5
    // proxy, the system's SOCKS5 proxy for that host, or none.
    QNetworkProxy socketProxy(const QString& targetHost, quint16 targetPort) const;
};

// The stable words the settings file uses: "none", "system", "http", "socks5".
QLatin1StringView proxyTypeKey(ProxyConfig::Type type);
std::optional<ProxyConfig::Type> proxyTypeFromKey(QStringView key);

// The port a proxy of this type usually listens on: 8080 for HTTP, 1080 for
// SOCKS5.
quint16 usualProxyPort(ProxyConfig::Type type);

// A proxy as typed on the command line: "none", "system", or
// "http://[user[:password]@]host[:port]" / "socks5://..." (the usual port
// when none is given). nullopt for anything else.
std::optional<ProxyConfig> parseProxyUrl(const QString& text);

} // namespace ds
