#include "lookup/WhoisPatterns.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Fewer visible characters than this is a cut-off or empty reply, whatever it says.
constexpr qsizetype kShortestReply = 8;

QRegularExpression compiled(const QString& pattern, const QString& aceName) {
    QString source = pattern;
    source.replace(u"{name}"_s, QRegularExpression::escape(aceName));
    return QRegularExpression(source, QRegularExpression::CaseInsensitiveOption |
                                          QRegularExpression::MultilineOption);
}

// The whole line on which the first of the patterns matches.
std::optional<QString> firstLine(const QStringList& patterns, const QString& aceName,
                                 const QString& text) {
    for (const QString& pattern : patterns) {
        const QRegularExpressionMatch match = compiled(pattern, aceName).match(text);
        if (!match.hasMatch())
            continue;
        const qsizetype start = text.lastIndexOf(u'\n', match.capturedStart()) + 1;
        qsizetype end = text.indexOf(u'\n', match.capturedStart());
        end = end < 0 ? text.size() : end;
        return text.mid(start, end - start).trimmed();
    }
    return std::nullopt;
}

int backoffIn(const QStringList& patterns, const QString& line) {
    for (const QString& pattern : patterns) {
        const QRegularExpressionMatch match = compiled(pattern, {}).match(line);
        if (!match.hasMatch())
            continue;
        qint64 seconds = match.captured(u"seconds"_s).toLongLong();
        seconds += match.captured(u"minutes"_s).toLongLong() * 60;
        seconds += match.captured(u"hours"_s).toLongLong() * 3600;
        if (seconds > 0)
            return int(std::min<qint64>(seconds, WhoisPatterns::kLongestBackoffSeconds));
    }
    return WhoisPatterns::kDefaultBackoffSeconds;
}

bool sameName(QString said, const QString& aceName) {
    while (said.endsWith(u'.'))
        said.chop(1);
    if (said.compare(aceName, Qt::CaseInsensitive) == 0)
        return true;
    // Some registries echo an internationalised name in Unicode.
    return QString::fromLatin1(QUrl::toAce(said)).compare(aceName, Qt::CaseInsensitive) == 0;
}

QStringList stringsOf(const QJsonValue& value) {
    QStringList result;
    for (const QJsonValue& item : value.toArray())
        result.append(item.toString());
    return result;
}

// The reason a pattern list cannot be used, empty when every pattern compiles.
QString brokenPattern(const QStringList& patterns) {
    for (const QString& pattern : patterns) {
        const QRegularExpression expression = compiled(pattern, u"example.test"_s);
        if (!expression.isValid())
            return pattern % u": "_s % expression.errorString();
    }
    return {};
}

WhoisEntry entryFromJson(const QJsonObject& object) {
    WhoisEntry entry;
    entry.registry = object.value("registry"_L1).toString();
    for (const QString& zone : stringsOf(object.value("zones"_L1)))
        entry.zones.append(zone.toLower());
    const QJsonObject servers = object.value("servers"_L1).toObject();
    for (auto it = servers.begin(); it != servers.end(); ++it)
        entry.servers.insert(it.key().toLower(), it.value().toString());
    entry.unsupported = object.value("unsupported"_L1).toString();
    entry.query = object.value("query"_L1).toString(entry.query);
    entry.subject = object.value("subject"_L1).toString();
    entry.free = stringsOf(object.value("free"_L1));
    entry.reserved = stringsOf(object.value("reserved"_L1));
    entry.throttled = stringsOf(object.value("throttled"_L1));
    entry.taken = stringsOf(object.value("taken"_L1));
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
    table.m_subject = common.value("subject"_L1).toString();
    table.m_throttled = stringsOf(common.value("throttled"_L1));
    table.m_backoff = stringsOf(common.value("backoff"_L1));
    QString broken =
        brokenPattern(table.m_throttled + table.m_backoff + QStringList{table.m_subject});
    for (const QJsonValue& value : document.object().value("entries"_L1).toArray()) {
        const WhoisEntry entry = entryFromJson(value.toObject());
        for (const QString& zone : entry.zones) {
            if (table.m_entryOfZone.contains(zone)) {
                *error = u"zone listed twice: "_s % zone;
                return std::nullopt;
            }
            table.m_entryOfZone.insert(zone, table.m_entries.size());
        }
        if (broken.isEmpty())
            broken = brokenPattern(entry.free + entry.reserved + entry.throttled + entry.taken +
                                   QStringList{entry.subject});
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

WhoisReading WhoisPatterns::read(const WhoisEntry& entry, const QString& aceName,
                                 const QString& reply) const {
    if (!entry.unsupported.isEmpty())
        return {Verdict::Unsupported, entry.unsupported, std::nullopt};
    QString text = reply;
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    const auto visible =
        std::count_if(text.cbegin(), text.cend(), [](QChar c) { return !c.isSpace(); });
    if (visible < kShortestReply)
        return {Verdict::Failed, u"无法判断：回复为空或过短"_s, std::nullopt};

    if (const auto line = firstLine(entry.throttled + m_throttled, aceName, text))
        return {Verdict::Failed, u"服务器限流："_s % *line, backoffIn(m_backoff, *line)};

    const QString subject = entry.subject.isEmpty() ? m_subject : entry.subject;
    const QRegularExpressionMatch about = compiled(subject, aceName).match(text);
    if (about.hasMatch() && !sameName(about.captured(1), aceName)) {
        return {Verdict::Failed,
                u"无法判断：回复说的是 "_s % about.captured(1) % u"，不是 "_s % aceName,
                std::nullopt};
    }

    if (const auto line = firstLine(entry.reserved, aceName, text))
        return {Verdict::Reserved, *line, std::nullopt};
    const auto freeLine = firstLine(entry.free, aceName, text);
    const auto takenLine = firstLine(entry.taken, aceName, text);
    if (freeLine && takenLine) {
        return {Verdict::Failed,
                u"无法判断：回复既有「"_s % *freeLine % u"」又有「"_s % *takenLine % u"」"_s,
                std::nullopt};
    }
    if (freeLine)
        return {Verdict::Free, *freeLine, std::nullopt};
    if (takenLine)
        return {Verdict::Taken, *takenLine, std::nullopt};
    return {Verdict::Failed, u"无法判断：回复不符合 "_s % entry.registry % u" 的任何已知样式"_s,
            std::nullopt};
}

} // namespace ds
