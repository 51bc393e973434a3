#include "lookup/WhoisPatterns.h"

#include <QHash>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Fewer visible characters than this is a cut-off or empty reply, whatever it
// says; "No match" (7) is a whole reply of some registries.
constexpr qsizetype kShortestReply = 7;

// The whole line on which the first of the patterns matches.
std::optional<QString> firstLine(const QStringList& patterns, const QString& aceName,
                                 const QString& reply) {
    for (const QString& pattern : patterns) {
        const QRegularExpressionMatch match = whoisPattern(pattern, aceName).match(reply);
        if (!match.hasMatch())
            continue;
        const qsizetype start = reply.lastIndexOf(u'\n', match.capturedStart()) + 1;
        qsizetype end = reply.indexOf(u'\n', match.capturedStart());
        end = end < 0 ? reply.size() : end;
        return reply.mid(start, end - start).trimmed();
    }
    return std::nullopt;
}

int backoffIn(const QStringList& patterns, const QString& line) {
    for (const QString& pattern : patterns) {
        const QRegularExpressionMatch match = whoisPattern(pattern, {}).match(line);
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

QString aceOf(QString name) {
    while (name.endsWith(u'.'))
        name.chop(1);
    // Some registries echo an internationalised name in Unicode.
    return QString::fromLatin1(QUrl::toAce(name)).toLower();
}

QString lastLabel(const QString& name) {
    return name.mid(name.lastIndexOf(u'.') + 1);
}

// A field value that can be a domain name of the asked name's TLD. Handles,
// contact names, labels, the registry's name and the bare TLD cannot.
bool canBeSubject(const QString& value, const QString& aceName) {
    thread_local const QRegularExpression hostName(u"^[^\\s:()\\[\\]<>\"',;@/]+\\.[^\\s:()]+$"_s);
    if (!hostName.match(value).hasMatch())
        return false;
    const QString ace = aceOf(value);
    return !ace.isEmpty() && lastLabel(ace) == lastLabel(aceName.toLower());
}

// The values of the reply's domain fields. A field whose value is empty names
// its domain on the next line that says anything, as a single word.
QStringList fieldValues(const QRegularExpression& field, const QString& reply) {
    QStringList values;
    QRegularExpressionMatchIterator it = field.globalMatch(reply);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        QString value = match.captured(1).trimmed();
        if (value.isEmpty()) {
            const QStringList after = reply.mid(match.capturedEnd()).split(u'\n');
            const auto said = std::find_if(after.cbegin(), after.cend(), [](const QString& line) {
                return !line.trimmed().isEmpty();
            });
            if (said != after.cend() && !said->trimmed().contains(u' '))
                value = said->trimmed();
        }
        values.append(value);
    }
    return values;
}

} // namespace

WhoisReading WhoisPatterns::read(const WhoisEntry& entry, const QString& aceName,
                                 const QString& reply) const {
    if (!entry.unsupported.isEmpty())
        return {Verdict::Unsupported, whyUnsupported(entry), std::nullopt};
    QString normal = reply;
    normal.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    const auto visible =
        std::count_if(normal.cbegin(), normal.cend(), [](QChar c) { return !c.isSpace(); });
    if (visible < kShortestReply)
        return {Verdict::Failed, tr("无法判断：回复为空或过短"), std::nullopt};

    if (const auto line = firstLine(entry.blocked + m_common.blocked, aceName, normal)) {
        return {Verdict::Failed, tr("服务器拒绝本机的查询：%1").arg(*line),
                backoffIn(m_backoff, *line), true};
    }
    if (const auto line = firstLine(entry.throttled + m_common.throttled, aceName, normal))
        return {Verdict::Failed, tr("服务器限流：%1").arg(*line), backoffIn(m_backoff, *line)};
    if (const auto other = otherSubject(entry, aceName, normal))
        return *other;
    return verdictOf(entry, aceName, normal);
}

QString WhoisPatterns::whyUnsupported(const WhoisEntry& entry) {
    if (entry.unsupported == "web only"_L1)
        return tr("%1 不提供 port-43 WHOIS，只有网页查询").arg(entry.registry);
    if (entry.unsupported == "registered addresses only"_L1)
        return tr("%1 的 port-43 WHOIS 只对登记过的 IP 地址开放").arg(entry.registry);
    if (entry.unsupported == "zones below only"_L1) {
        return tr("%1 不为 .%2 本身提供 port-43 WHOIS，其下的二级域（如 co.%2）各有自己的服务器")
            .arg(entry.registry, entry.zones.value(0));
    }
    return tr("%1 不提供 port-43 WHOIS").arg(entry.registry);
}

std::optional<WhoisReading> WhoisPatterns::otherSubject(const WhoisEntry& entry,
                                                        const QString& aceName,
                                                        const QString& reply) const {
    const QString field = entry.subject.isEmpty() ? m_common.subject : entry.subject;
    QStringList names = fieldValues(whoisPattern(field, aceName), reply);
    names.removeIf([&](const QString& name) { return !canBeSubject(name, aceName); });
    const bool aboutIt = std::any_of(names.cbegin(), names.cend(), [&](const QString& name) {
        return aceOf(name) == aceName.toLower();
    });
    // No field that names a domain of this TLD: the reply is taken at its word.
    if (names.isEmpty() || aboutIt)
        return std::nullopt;
    return WhoisReading{Verdict::Failed,
                        tr("无法判断：回复说的是 %1，不是 %2").arg(names.first(), aceName),
                        std::nullopt};
}

WhoisReading WhoisPatterns::verdictOf(const WhoisEntry& entry, const QString& aceName,
                                      const QString& reply) const {
    if (const auto line = firstLine(entry.reserved + m_common.reserved, aceName, reply))
        return {Verdict::Reserved, *line, std::nullopt};
    if (const auto line = firstLine(entry.invalid + m_common.invalid, aceName, reply))
        return {Verdict::Failed, tr("无法判断：服务器不接受这个查询：%1").arg(*line), std::nullopt};
    const auto freeLine = firstLine(entry.free + m_common.free, aceName, reply);
    const auto takenLine = firstLine(entry.taken + m_common.taken, aceName, reply);
    if (freeLine && takenLine) {
        return {Verdict::Failed,
                tr("无法判断：回复既有「%1」又有「%2」").arg(*freeLine, *takenLine), std::nullopt};
    }
    if (freeLine)
        return {Verdict::Free, *freeLine, std::nullopt};
    if (takenLine)
        return {Verdict::Taken, *takenLine, std::nullopt};
    if (entry.zones.contains(u"*"_s))
        return {Verdict::Failed, tr("无法判断：回复不符合任何已知的 WHOIS 样式"), std::nullopt};
    return {Verdict::Failed, tr("无法判断：回复不符合 %1 的任何已知样式").arg(entry.registry),
            std::nullopt};
}

QRegularExpression whoisPattern(const QString& pattern, const QString& aceName) {
    constexpr auto options =
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption;
    // Every reply is read against a hundred or so patterns, most of which do
    // not name the domain: those are compiled once per thread, not per reply.
    if (!pattern.contains(u"{name}"_s)) {
        thread_local QHash<QString, QRegularExpression> compiledOnce;
        auto it = compiledOnce.constFind(pattern);
        if (it == compiledOnce.cend())
            it = compiledOnce.insert(pattern, QRegularExpression(pattern, options));
        return *it;
    }
    QString source = pattern;
    source.replace(u"{name}"_s, QRegularExpression::escape(aceName));
    return QRegularExpression(source, options);
}

} // namespace ds
