#pragma once

#include <QAbstractSocket>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QString>

#include <optional>

namespace ds {

// What went wrong at a proxy, as opposed to the service behind it: the proxy
// cannot be reached, gives up, wants credentials, or speaks no proxy protocol.
// Other: Qt says no more than its own words.
enum class ProxyFault { Refused, NotFound, TimedOut, Closed, Credentials, Protocol, Other };

// nullopt for an error that did not happen at the proxy.
std::optional<ProxyFault> proxyFault(QAbstractSocket::SocketError error);
// An HTTP exchange through a proxy of its own (HTTP or SOCKS5). Qt reports
// most failures at the proxy as plain network errors: a plain http request
// goes to an HTTP proxy as an ordinary connection, and the SOCKS5 and
// CONNECT layers' own errors arrive as UnknownNetworkError.
std::optional<ProxyFault> proxyFault(QNetworkReply::NetworkError error, bool httpProxy,
                                     bool plainHttp);

// "HOST:PORT" of a proxy of its own; the words for the system's choice when
// the proxy is picked per request.
QString proxyAddress(const QNetworkProxy& proxy);

// "代理 HOST:PORT 无法连接：reason", the detail a failed name carries, so
// that the person knows it is their proxy that fails, and which. `hadUser`
// tells a refused login from a missing one; `qtText` is the reason of Other.
QString proxyFailureText(const QString& address, ProxyFault fault, bool httpProxy, bool hadUser,
                         const QString& qtText = {});

} // namespace ds
