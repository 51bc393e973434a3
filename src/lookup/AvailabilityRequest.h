#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace ds {

// What one availability request to the registrar carries. Pure functions, so
// that the exact bytes on the wire can be checked without a network.
namespace AvailabilityRequest {

inline constexpr char ContentTypeName[] = "content-type";
inline constexpr char ContentTypeValue[] = "application/x-www-form-urlencoded";

// The registrar's check address: its scheme, host and port with the fixed
// path "/domain/check.do" and query "method=check".
QUrl checkUrl(const QUrl& registrar);

// "domainName=" followed by the entry, form-encoded as UTF-8. A plain ASCII
// name goes out byte for byte; "&", "=", "+", "%" or a blank can no longer
// forge or break the form's fields.
QByteArray body(const QString& entry);

// application/x-www-form-urlencoded encoding of one value (the HTML form rules:
// letters, digits and "*-._" stay, a blank becomes "+", every other byte %XX).
QByteArray formEncode(const QString& value);

} // namespace AvailabilityRequest
} // namespace ds
