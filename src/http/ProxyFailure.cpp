#include "http/ProxyFailure.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace ds {

std::optional<ProxyFault> proxyFault(QNetworkReply::NetworkError error, bool httpProxy,
                                     bool plainHttp) {
    const bool straightToProxy = httpProxy && plainHttp;
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return straightToProxy ? std::optional(ProxyFault::Refused) : std::nullopt;
    case QNetworkReply::HostNotFoundError:
        return straightToProxy ? std::optional(ProxyFault::NotFound) : std::nullopt;
    case QNetworkReply::UnknownNetworkError:
        return ProxyFault::Other;
    case QNetworkReply::ProxyConnectionRefusedError:
        return ProxyFault::Refused;
    case QNetworkReply::ProxyNotFoundError:
        return ProxyFault::NotFound;
    case QNetworkReply::ProxyTimeoutError:
        return ProxyFault::TimedOut;
    case QNetworkReply::ProxyConnectionClosedError:
        return ProxyFault::Closed;
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return ProxyFault::Credentials;
    case QNetworkReply::UnknownProxyError:
        return ProxyFault::Protocol;
    default:
        return std::nullopt;
    }
}

std::optional<ProxyFault> proxyFault(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ProxyConnectionRefusedError:
        return ProxyFault::Refused;
    case QAbstractSocket::ProxyNotFoundError:
        return ProxyFault::NotFound;
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return ProxyFault::TimedOut;
    case QAbstractSocket::ProxyConnectionClosedError:
        return ProxyFault::Closed;
    case QAbstractSocket::ProxyAuthenticationRequiredError:
        return ProxyFault::Credentials;
    case QAbstractSocket::ProxyProtocolError:
        return ProxyFault::Protocol;
    default:
        return std::nullopt;
    }
}

QString proxyAddress(const QNetworkProxy& proxy) {
    if (proxy.hostName().isEmpty())
        return QCoreApplication::translate("ProxyFailure", "（系统设置）");
    const QString host =
        proxy.hostName().contains(u':') ? u'[' + proxy.hostName() + u']' : proxy.hostName();
    return host + u':' + QString::number(proxy.port());
}

QString proxyFailureText(const QString& address, ProxyFault fault, bool httpProxy, bool hadUser,
                         const QString& qtText) {
    QString reason;
    switch (fault) {
    case ProxyFault::Refused:
        reason = QCoreApplication::translate("ProxyFailure", "连接被拒绝，代理可能没有运行");
        break;
    case ProxyFault::NotFound:
        reason = QCoreApplication::translate("ProxyFailure", "找不到代理主机");
        break;
    case ProxyFault::TimedOut:
        reason = QCoreApplication::translate("ProxyFailure", "代理没有按时应答");
        break;
    case ProxyFault::Closed:
        reason = QCoreApplication::translate("ProxyFailure", "代理中途断开了连接");
        break;
    case ProxyFault::Credentials:
        reason =
            hadUser
                ? QCoreApplication::translate("ProxyFailure", "代理不接受所设的用户名或密码")
                : QCoreApplication::translate("ProxyFailure", "代理要求用户名和密码，但没有设置");
        if (httpProxy)
            reason += u"（HTTP 407）"_s;
        break;
    case ProxyFault::Protocol:
        reason =
            QCoreApplication::translate("ProxyFailure", "代理拒绝转发，或它不是所设类型的代理");
        break;
    case ProxyFault::Other:
        reason = qtText;
        break;
    }
    return QCoreApplication::translate("ProxyFailure", "代理 %1 无法连接：%2").arg(address, reason);
}

} // namespace ds
