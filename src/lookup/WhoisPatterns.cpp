#include "lookup/WhoisPatterns.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

QStringList stringsOf(const QJsonValue& value) {
    QStringList result;
    for (const QJsonValue& item : value.toArray())
        result.append(item.toString());
    return result;
}

QStringList patternsOf(const WhoisEntry& entry) {
    return entry.free + entry.reserved + entry.throttled + entry.blocked + entry.invalid +
           entry.taken + QStringList{entry.subject};
}

// The reason a pattern list cannot be used, empty when every pattern compiles.
QString brokenPattern(const QStringList& patterns) {
    for (const QString& pattern : patterns) {
        const QRegularExpression expression = whoisPattern(pattern, u"example.test"_s);
        if (!expression.isValid())
            return pattern % u": "_s % expression.errorString();
    }
    return {};
}

// A row that names a shape starts from that shape's query, subject and lines
// and adds its own lines to them.
WhoisEntry entryFromJson(const QJsonObject& object, const WhoisEntry& shape = {}) {
    WhoisEntry entry = shape;
    entry.registry = object.value("registry"_L1).toString();
    entry.shape = object.value("shape"_L1).toString();
    for (const QString& zone : stringsOf(object.value("zones"_L1)))
        entry.zones.append(zone.toLower());
    const QJsonObject servers = object.value("servers"_L1).toObject();
    for (auto it = servers.begin(); it != servers.end(); ++it)
        entry.servers.insert(it.key().toLower(), it.value().toString());
    entry.unsupported = object.value("unsupported"_L1).toString();
    entry.query = object.value("query"_L1).toString(entry.query);
    entry.subject = object.value("subject"_L1).toString(entry.subject);
    entry.free += stringsOf(object.value("free"_L1));
    entry.reserved += stringsOf(object.value("reserved"_L1));
    entry.throttled += stringsOf(object.value("throttled"_L1));
    entry.blocked += stringsOf(object.value("blocked"_L1));
    entry.invalid += stringsOf(object.value("invalid"_L1));
    entry.taken += stringsOf(object.value("taken"_L1));
    return entry;
}

} // namespace

QByteArray WhoisEntry::queryFor(const QString& aceName) const {
    QString line = query;
    return line.replace(u"{name}"_s, aceName).toUtf8();
}

const WhoisPatterns& WhoisPatterns::builtIn() {
    static const WhoisPatterns table = [] {
        QFile file(u":/domainsieve/whois-patterns.json"_s);
        QString error = file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
        std::optional<WhoisPatterns> loaded = fromJson(file.readAll(), &error);
        if (!loaded)
            qFatal("The shipped WHOIS pattern table is broken: %s", qPrintable(error));
        return *loaded;
    }();
    return table;
}

std::optional<WhoisPatterns> WhoisPatterns::fromJson(const QByteArray& json, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *error = parseError.errorString();
        return std::nullopt;
    }
    WhoisPatterns table;
    const QJsonObject common = document.object().value("common"_L1).toObject();
    table.m_common = entryFromJson(common);
    table.m_backoff = stringsOf(common.value("backoff"_L1));
    QString broken = brokenPattern(patternsOf(table.m_common) + table.m_backoff);
    QHash<QString, WhoisEntry> shapes;
    const QJsonObject shapeObjects = document.object().value("shapes"_L1).toObject();
    for (auto it = shapeObjects.begin(); it != shapeObjects.end(); ++it)
        shapes.insert(it.key(), entryFromJson(it.value().toObject()));
    for (const QJsonValue& value : document.object().value("entries"_L1).toArray()) {
        const QString shape = value.toObject().value("shape"_L1).toString();
        if (!shape.isEmpty() && !shapes.contains(shape)) {
            *error = u"unknown shape: "_s % shape;
            return std::nullopt;
        }
        const WhoisEntry entry = entryFromJson(value.toObject(), shapes.value(shape));
        for (const QString& zone : entry.zones) {
            if (table.m_entryOfZone.contains(zone)) {
                *error = u"zone listed twice: "_s % zone;
                return std::nullopt;
            }
            table.m_entryOfZone.insert(zone, table.m_entries.size());
        }
        if (broken.isEmpty())
            broken = brokenPattern(patternsOf(entry));
        table.m_entries.append(entry);
    }
    table.m_fallback = table.m_entryOfZone.value(u"*"_s, -1);
    if (broken.isEmpty() && table.m_fallback < 0)
        broken = u"no fallback entry for zone \"*\""_s;
    if (!broken.isEmpty()) {
        *error = broken;
        return std::nullopt;
    }
    return table;
}

QString WhoisPatterns::zoneOf(const QString& aceName) const {
    const QString name = aceName.toLower();
    for (qsizetype dot = name.indexOf(u'.'); dot >= 0; dot = name.indexOf(u'.', dot + 1)) {
        if (m_entryOfZone.contains(name.mid(dot + 1)))
            return name.mid(dot + 1);
    }
    return name.mid(name.lastIndexOf(u'.') + 1);
}

const WhoisEntry& WhoisPatterns::entryFor(const QString& aceName) const {
    return m_entries.at(m_entryOfZone.value(zoneOf(aceName), m_fallback));
}

} // namespace ds
