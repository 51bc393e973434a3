#include "lookup/DnsServerAddress.h"

#include <QHostAddress>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace ds {

// People write HOST[:PORT], where an IPv6 address takes brackets only when a
// port follows.
std::optional<QByteArray> resolverAddress(const QString& server) {
    QHostAddress address(server);
    int port = 53;
    if (address.isNull()) {
        const QUrl url(u"dns://"_s + server, QUrl::StrictMode);
        if (!url.isValid() || !url.path().isEmpty() || !url.userInfo().isEmpty())
            return std::nullopt;
        address = QHostAddress(url.host());
        port = url.port(53);
    }
    if (address.isNull() || port <= 0)
        return std::nullopt;
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? u'[' + address.toString() + u']'
                             : address.toString();
    return (host + u':' + QString::number(port)).toLatin1();
}

bool isUsableDnsServer(const QString& server) {
    return resolverAddress(server).has_value();
}

} // namespace ds
