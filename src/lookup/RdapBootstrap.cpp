#include "lookup/RdapBootstrap.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// The first https URL, else the first usable one; each ends with "/" so that
// "domain/<name>" can be appended.
std::optional<QUrl> preferredBase(const QJsonArray& urls) {
    std::optional<QUrl> chosen;
    for (const QJsonValue& value : urls) {
        QString text = value.toString();
        if (!text.endsWith(u'/'))
            text += u'/';
        const QUrl url(text, QUrl::StrictMode);
        const bool usable = url.isValid() && !url.host().isEmpty() &&
                            (url.scheme() == u"https"_s || url.scheme() == u"http"_s);
        if (!usable)
            continue;
        if (url.scheme() == u"https"_s)
            return url;
        if (!chosen)
            chosen = url;
    }
    return chosen;
}

} // namespace

std::optional<RdapBootstrap> RdapBootstrap::parse(const QByteArray& json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    RdapBootstrap bootstrap;
    // Each service is [[entries...], [urls...]].
    const QJsonArray services = document.object().value("services"_L1).toArray();
    for (const QJsonValue& service : services) {
        const QJsonArray pair = service.toArray();
        const std::optional<QUrl> base = preferredBase(pair.at(1).toArray());
        if (!base)
            continue;
        for (const QJsonValue& entry : pair.at(0).toArray()) {
            const QString key = entry.toString().toLower();
            if (!key.isEmpty())
                bootstrap.m_bases.insert(key, *base);
        }
    }
    if (bootstrap.m_bases.isEmpty())
        return std::nullopt;
    bootstrap.m_publication =
        QDateTime::fromString(document.object().value("publication"_L1).toString(), Qt::ISODate);
    return bootstrap;
}

std::optional<QUrl> RdapBootstrap::baseUrlFor(const QString& aceName) const {
    const QString name = aceName.toLower();
    // Longest suffix first: "a.b.c", then "b.c", then "c".
    for (qsizetype from = 0; from >= 0 && from < name.size();) {
        const auto found = m_bases.constFind(name.sliced(from));
        if (found != m_bases.cend())
            return found.value();
        const qsizetype dot = name.indexOf(u'.', from);
        from = dot < 0 ? -1 : dot + 1;
    }
    return std::nullopt;
}

} // namespace ds
