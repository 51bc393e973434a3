#include "lookup/ServerPace.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <cmath>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

bool usableRate(double rate) {
    return std::isfinite(rate) && rate > 0 && rate <= kMostRequestsPerSecond;
}

bool usableInFlight(int inFlight) {
    return inFlight >= 1 && inFlight <= kMostInFlight;
}

// A host name or IP address (an IPv6 one without its brackets) in the form
// service keys use; empty when it is none.
QString normalHost(const QString& text) {
    QUrl url;
    url.setHost(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid())
        return {};
    return url.host(QUrl::FullyEncoded).toLower();
}

ParsedServerPace mistake(ServerPaceMistake what) {
    return {std::nullopt, what};
}

} // namespace

const ServerPaceTable& ServerPaceTable::builtIn() {
    static const ServerPaceTable table = [] {
        QFile file(u":/domainsieve/server-paces.json"_s);
        QString error;
        std::optional<ServerPaceTable> read;
        if (file.open(QIODevice::ReadOnly))
            read = fromJson(file.readAll(), &error);
        // A broken shipped table is caught by its test; the program then
        // keeps the default pace for every server.
        return read.value_or(ServerPaceTable());
    }();
    return table;
}

std::optional<ServerPaceTable> ServerPaceTable::fromJson(const QByteArray& json, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (parseError.error != QJsonParseError::NoError)
        return fail(parseError.errorString());
    ServerPaceTable table;
    for (const QJsonValue& row : document.object().value("servers"_L1).toArray()) {
        const QJsonObject server = row.toObject();
        const QString host = normalHost(server.value("host"_L1).toString());
        const ServerPace pace{server.value("requestsPerSecond"_L1).toDouble(),
                              server.value("inFlight"_L1).toInt()};
        if (host.isEmpty())
            return fail(u"a row names no usable host"_s);
        if (!usableRate(pace.requestsPerSecond) || !usableInFlight(pace.inFlight))
            return fail(host + u": requests per second or in flight out of bounds"_s);
        if (server.value("source"_L1).toString().trimmed().isEmpty())
            return fail(host + u": no source for its figures"_s);
        if (table.m_servers.contains(host))
            return fail(host + u": listed twice"_s);
        table.m_servers.insert(host, pace);
    }
    if (table.m_servers.isEmpty())
        return fail(u"no servers"_s);
    return table;
}

std::optional<ServerPace> ServerPaceTable::find(const QString& host) const {
    const auto found = m_servers.constFind(host.trimmed().toLower());
    if (found == m_servers.cend())
        return std::nullopt;
    return *found;
}

QString ParsedServerPace::reason() const {
    switch (mistake) {
    case ServerPaceMistake::Shape:
        break;
    case ServerPaceMistake::Host:
        return u"names no usable host"_s;
    case ServerPaceMistake::Port:
        return u"has a port outside 1-65535"_s;
    case ServerPaceMistake::Rate:
        return u"has a rate that is not a number above 0 and at most %1 per second"_s.arg(
            kMostRequestsPerSecond);
    case ServerPaceMistake::InFlight:
        return u"has an in-flight count that is not 1-%1"_s.arg(kMostInFlight);
    }
    return u"is not HOST[:PORT]=RATE[/INFLIGHT]"_s;
}

ParsedServerPace parseServerPaceOverride(const QString& text) {
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0)
        return mistake(ServerPaceMistake::Shape);
    QString server = text.left(equals).trimmed();
    const QString pace = text.mid(equals + 1).trimmed();

    // "[v6]:port", "host:port", or a host alone (a bare IPv6 address among them).
    QString portText;
    if (server.startsWith(u'[')) {
        const qsizetype close = server.indexOf(u']');
        if (close < 0)
            return mistake(ServerPaceMistake::Host);
        const QString rest = server.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            return mistake(ServerPaceMistake::Host);
        portText = rest.mid(1);
        server = server.mid(1, close - 1);
        if (rest.startsWith(u':') && portText.isEmpty())
            return mistake(ServerPaceMistake::Port);
    } else if (server.count(u':') == 1) {
        portText = server.section(u':', 1);
        server = server.section(u':', 0, 0);
        if (portText.isEmpty())
            return mistake(ServerPaceMistake::Port);
    }
    const QString host = normalHost(server);
    if (server.isEmpty() || host.isEmpty())
        return mistake(ServerPaceMistake::Host);
    bool ok = true;
    const int port = portText.isEmpty() ? 0 : portText.toInt(&ok);
    if (!ok || (!portText.isEmpty() && (port < 1 || port > 65535)))
        return mistake(ServerPaceMistake::Port);

    const qsizetype slash = pace.indexOf(u'/');
    const double rate = pace.left(slash).trimmed().toDouble(&ok);
    if (!ok || !usableRate(rate))
        return mistake(ServerPaceMistake::Rate);
    int inFlight = 1;
    if (slash >= 0) {
        inFlight = pace.mid(slash + 1).trimmed().toInt(&ok);
        if (!ok || !usableInFlight(inFlight))
            return mistake(ServerPaceMistake::InFlight);
    }
    const QString service = serverPaceKey(host, port == 0 ? std::nullopt : std::optional(port));
    return {ServerPaceOverride{service, {rate, inFlight}}, ServerPaceMistake::Shape};
}

QString serverPaceKey(const QString& host, std::optional<int> port) {
    const QString lower = host.toLower();
    if (!port)
        return lower;
    const QString shown = lower.contains(u':') ? u'[' + lower + u']' : lower;
    return shown + u':' + QString::number(*port);
}

std::optional<ServerPace> ceilingFor(const QString& host, int port,
                                     const QHash<QString, ServerPace>& overrides) {
    for (const QString& key : {serverPaceKey(host, port), serverPaceKey(host)}) {
        if (const auto found = overrides.constFind(key); found != overrides.cend())
            return *found;
    }
    return ServerPaceTable::builtIn().find(host);
}

} // namespace ds
