#include "lookup/WhoisAddress.h"

#include <QStringBuilder>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace ds {

QString WhoisAddress::toString() const {
    const QString shownHost = host.contains(u':') ? u'[' % host % u']' : host;
    return shownHost % u':' % QString::number(port);
}

std::optional<WhoisAddress> parseWhoisAddress(const QString& text) {
    const QString trimmed = text.trimmed();
    WhoisAddress address;
    QString portText;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        address.host = trimmed.mid(1, close - 1);
        const QString rest = trimmed.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            return std::nullopt;
        portText = rest.mid(1);
    } else if (trimmed.count(u':') == 1) {
        address.host = trimmed.section(u':', 0, 0);
        portText = trimmed.section(u':', 1);
    } else {
        address.host = trimmed;
    }
    if (address.host.isEmpty() || address.host.contains(u' '))
        return std::nullopt;
    if (!portText.isEmpty() || trimmed.endsWith(u':')) {
        bool ok = false;
        const uint port = portText.toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return std::nullopt;
        address.port = quint16(port);
    }
    return address;
}

std::optional<std::pair<QString, WhoisAddress>> parseWhoisServerOverride(const QString& text) {
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0)
        return std::nullopt;
    QString zone = text.left(equals).trimmed();
    while (zone.startsWith(u'.'))
        zone.remove(0, 1);
    zone = QString::fromLatin1(QUrl::toAce(zone)).toLower();
    const std::optional<WhoisAddress> server = parseWhoisAddress(text.mid(equals + 1));
    if (zone.isEmpty() || !server)
        return std::nullopt;
    return std::pair{zone, *server};
}

} // namespace ds
