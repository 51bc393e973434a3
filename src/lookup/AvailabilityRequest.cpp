#include "lookup/AvailabilityRequest.h"

using namespace Qt::StringLiterals;

namespace ds::AvailabilityRequest {

QUrl checkUrl(const QUrl& registrar) {
    QUrl url;
    url.setScheme(registrar.scheme());
    url.setHost(registrar.host());
    url.setPort(registrar.port());
    url.setPath(u"/domain/check.do"_s);
    url.setQuery(u"method=check"_s);
    return url;
}

QByteArray formEncode(const QString& value) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = value.toUtf8();
    QByteArray encoded;
    encoded.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        const bool kept = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                          (byte >= '0' && byte <= '9') || byte == '*' || byte == '-' ||
                          byte == '.' || byte == '_';
        if (kept) {
            encoded.append(c);
        } else if (byte == ' ') {
            encoded.append('+');
        } else {
            encoded.append('%');
            encoded.append(Hex[byte >> 4]);
            encoded.append(Hex[byte & 0x0F]);
        }
    }
    return encoded;
}

QByteArray body(const QString& entry) {
    return QByteArrayLiteral("domainName=") + formEncode(entry);
}

} // namespace ds::AvailabilityRequest
