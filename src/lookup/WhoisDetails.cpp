#include "lookup/WhoisDetails.h"

#include "lookup/RegistryDetails.h"

#include <QList>

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

enum class Field { Registrar, IanaId, Created, Expires, LastChanged, Status };

// Keys in lower case, as the registries write them.
constexpr std::pair<const char16_t*, Field> kKeys[] = {
    {u"registrar", Field::Registrar},
    {u"sponsoring registrar", Field::Registrar},
    {u"registrar name", Field::Registrar},
    {u"registrar iana id", Field::IanaId},
    {u"creation date", Field::Created},
    {u"created", Field::Created},
    {u"created on", Field::Created},
    {u"created date", Field::Created},
    {u"registration time", Field::Created},
    {u"registration date", Field::Created},
    {u"registered", Field::Created},
    {u"registered on", Field::Created},
    {u"registered date", Field::Created},
    {u"domain name commencement date", Field::Created},
    {u"登録年月日", Field::Created},
    {u"registry expiry date", Field::Expires},
    {u"registrar registration expiration date", Field::Expires},
    {u"expiration date", Field::Expires},
    {u"expiration time", Field::Expires},
    {u"expiry date", Field::Expires},
    {u"expire date", Field::Expires},
    {u"expires", Field::Expires},
    {u"expires on", Field::Expires},
    {u"paid-till", Field::Expires},
    {u"renewal date", Field::Expires},
    {u"有効期限", Field::Expires},
    {u"updated date", Field::LastChanged},
    {u"last updated", Field::LastChanged},
    {u"last update", Field::LastChanged},
    {u"last modified", Field::LastChanged},
    {u"changed", Field::LastChanged},
    {u"modified", Field::LastChanged},
    {u"最終更新", Field::LastChanged},
    {u"domain status", Field::Status},
    {u"status", Field::Status},
    {u"state", Field::Status},
    {u"状態", Field::Status},
};

struct KeyValue {
    QStringView key;
    QStringView value;
};

// "Key: value", "Created on......: value", "[Created on]   value" and JPRS's
// "a. [ドメイン名]   value"; nothing for a line of another form.
std::optional<KeyValue> split(QStringView line) {
    line = line.trimmed();
    if (line.size() > 3 && line[0].isLetter() && line[1] == u'.' && line[2] == u' ')
        line = line.sliced(3).trimmed();
    if (line.startsWith(u'[')) {
        const qsizetype close = line.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        return KeyValue{line.sliced(1, close - 1).trimmed(), line.sliced(close + 1).trimmed()};
    }
    const qsizetype colon = line.indexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    QStringView key = line.left(colon);
    while (key.endsWith(u'.'))
        key.chop(1);
    return KeyValue{key.trimmed(), line.sliced(colon + 1).trimmed()};
}

std::optional<Field> fieldOf(QStringView key) {
    if (key.size() > 40)
        return std::nullopt;
    const QString lower = key.toString().toLower();
    for (const auto& [candidate, field] : kKeys) {
        if (lower == QStringView(candidate))
            return field;
    }
    return std::nullopt;
}

// "clientHold https://icann.org/epp#clientHold", "REGISTERED, DELEGATED",
// "Connected (2026/03/31)": the codes without their links and remarks.
void addStatus(QStringView value, QStringList& status) {
    for (const QString& stop : {u"http"_s, u"("_s}) {
        if (const qsizetype at = value.indexOf(stop); at >= 0)
            value = value.left(at);
    }
    for (const QStringView part : value.split(u',')) {
        const QString code = RegistryDetails::eppCode(part);
        if (!code.isEmpty() && !status.contains(code))
            status.append(code);
    }
}

void setDate(QDate& target, QStringView value) {
    if (target.isNull())
        target = RegistryDetails::readDate(value);
}

// The registrar's name on the line below an empty "Registrar:": ".uk" gives
// it bare, ".eu" as "Name: ...".
QString nameBelow(const QList<QStringView>& lines, qsizetype registrarLine) {
    for (qsizetype n = registrarLine + 1; n < lines.size(); ++n) {
        const QStringView line = lines[n].trimmed();
        if (line.isEmpty())
            continue;
        const std::optional<KeyValue> pair = split(line);
        if (!pair)
            return line.toString();
        return pair->key.compare(u"name"_s, Qt::CaseInsensitive) == 0 ? pair->value.toString()
                                                                      : QString();
    }
    return {};
}

} // namespace

Details whoisDetails(QStringView reply) {
    Details details;
    const QList<QStringView> lines = reply.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const std::optional<KeyValue> pair = split(lines[n]);
        const std::optional<Field> field = pair ? fieldOf(pair->key) : std::nullopt;
        if (!field)
            continue;
        switch (*field) {
        case Field::Registrar:
            if (details.registrar.isEmpty())
                details.registrar =
                    pair->value.isEmpty() ? nameBelow(lines, n) : pair->value.toString();
            break;
        case Field::IanaId:
            if (details.registrarIanaId.isEmpty())
                details.registrarIanaId = pair->value.toString();
            break;
        case Field::Created:
            setDate(details.created, pair->value);
            break;
        case Field::Expires:
            setDate(details.expires, pair->value);
            break;
        case Field::LastChanged:
            setDate(details.lastChanged, pair->value);
            break;
        case Field::Status:
            addStatus(pair->value, details.status);
            break;
        }
    }
    details.releases = RegistryDetails::estimatedRelease(details.status, {}, details.lastChanged);
    return details;
}

} // namespace ds
