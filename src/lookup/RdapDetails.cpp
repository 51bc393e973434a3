#include "lookup/RdapDetails.h"

#include "lookup/RegistryDetails.h"

#include <QHash>
#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// RDAP names two statuses otherwise than EPP does (RFC 8056).
QString eppCodeOf(const QString& rdapStatus) {
    if (rdapStatus.compare("active"_L1, Qt::CaseInsensitive) == 0)
        return u"ok"_s;
    if (rdapStatus.compare("associated"_L1, Qt::CaseInsensitive) == 0)
        return u"linked"_s;
    return RegistryDetails::eppCode(rdapStatus);
}

// The statuses RFC 8056 lists come again in every reply: their codes are
// worked out once.
QString cachedEppCodeOf(const QString& rdapStatus) {
    thread_local QHash<QString, QString> known;
    const auto found = known.constFind(rdapStatus);
    if (found != known.cend())
        return found.value();
    QString code = eppCodeOf(rdapStatus);
    if (known.size() < 256)
        known.insert(rdapStatus, code);
    return code;
}

QStringList statusCodes(const QJsonArray& status) {
    QStringList codes;
    for (const QJsonValue& value : status) {
        const QString code = cachedEppCodeOf(value.toString());
        if (!code.isEmpty() && !codes.contains(code))
            codes.append(code);
    }
    return codes;
}

// ["vcard", [["version", {}, "text", "4.0"], ["fn", {}, "text", "Name"], ...]]
QString formattedName(const QJsonValue& vcardArray) {
    const QJsonArray properties = vcardArray.toArray().at(1).toArray();
    for (const QJsonValue& property : properties) {
        const QJsonArray fields = property.toArray();
        if (fields.at(0).toString().compare("fn"_L1, Qt::CaseInsensitive) == 0)
            return fields.at(3).toString().simplified();
    }
    return {};
}

QString ianaId(const QJsonArray& publicIds) {
    for (const QJsonValue& id : publicIds) {
        const QJsonObject object = id.toObject();
        if (object.value("type"_L1).toString().contains("IANA"_L1, Qt::CaseInsensitive)) {
            const QJsonValue identifier = object.value("identifier"_L1);
            return identifier.isDouble() ? QString::number(identifier.toInteger())
                                         : identifier.toString().trimmed();
        }
    }
    return {};
}

bool hasRole(const QJsonObject& entity, QLatin1StringView role) {
    for (const QJsonValue& value : entity.value("roles"_L1).toArray()) {
        if (value.toString().compare(role, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void readRegistrar(const QJsonArray& entities, Details& details) {
    for (const QJsonValue& value : entities) {
        const QJsonObject entity = value.toObject();
        if (!hasRole(entity, "registrar"_L1))
            continue;
        details.registrar = formattedName(entity.value("vcardArray"_L1));
        details.registrarIanaId = ianaId(entity.value("publicIds"_L1).toArray());
        return;
    }
}

} // namespace

Details rdapDetails(const QJsonObject& domain) {
    Details details;
    details.status = statusCodes(domain.value("status"_L1).toArray());
    QDate statusDate;
    const bool dropping =
        RegistryDetails::refinedVerdict(Verdict::Taken, details) != Verdict::Taken;
    for (const QJsonValue& value : domain.value("events"_L1).toArray()) {
        const QJsonObject event = value.toObject();
        const QString action = event.value("eventAction"_L1).toString();
        QDate* target = nullptr;
        if (action.compare("registration"_L1, Qt::CaseInsensitive) == 0)
            target = &details.created;
        else if (action.compare("expiration"_L1, Qt::CaseInsensitive) == 0)
            target = &details.expires;
        else if (action.compare("last changed"_L1, Qt::CaseInsensitive) == 0)
            target = &details.lastChanged;
        // An event named after the status dates it, where a registry gives one.
        else if (dropping && details.status.contains(eppCodeOf(action)))
            target = &statusDate;
        if (target)
            *target = RegistryDetails::readDate(event.value("eventDate"_L1).toString());
    }
    readRegistrar(domain.value("entities"_L1).toArray(), details);
    details.releases =
        RegistryDetails::estimatedRelease(details.status, statusDate, details.lastChanged);
    return details;
}

} // namespace ds
