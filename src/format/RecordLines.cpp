#include "format/RecordLines.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QList>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds::RecordLines {

namespace {

// The words as written in Chinese; the window shows them translated when a
// person asked for another language, and either form reads back.
constexpr std::array kWords = {
    std::pair{Verdict::Free, QT_TRANSLATE_NOOP("RecordLines", "可注册")},
    std::pair{Verdict::Taken, QT_TRANSLATE_NOOP("RecordLines", "已被注册")},
    std::pair{Verdict::Redemption, QT_TRANSLATE_NOOP("RecordLines", "赎回期")},
    std::pair{Verdict::PendingDelete, QT_TRANSLATE_NOOP("RecordLines", "待删除")},
    std::pair{Verdict::Failed, QT_TRANSLATE_NOOP("RecordLines", "查询失败")},
    std::pair{Verdict::Invalid, QT_TRANSLATE_NOOP("RecordLines", "格式错误")},
    std::pair{Verdict::Unsupported, QT_TRANSLATE_NOOP("RecordLines", "不支持的后缀")},
    std::pair{Verdict::Reserved, QT_TRANSLATE_NOOP("RecordLines", "已保留")},
};

constexpr std::array kMethodWords = {
    std::pair{Method::Registrar, QT_TRANSLATE_NOOP("RecordLines", "注册商接口")},
    std::pair{Method::Dns, QT_TRANSLATE_NOOP("RecordLines", "DNS")},
    std::pair{Method::Rdap, QT_TRANSLATE_NOOP("RecordLines", "注册局（RDAP）")},
    std::pair{Method::Whois, QT_TRANSLATE_NOOP("RecordLines", "WHOIS")},
};

QString shown(const char* word) {
    return QCoreApplication::translate("RecordLines", word);
}

// Every field stays on one physical line, so that a line is a record.
QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return text;
}

// The columns of TSV and CSV; the details come last, so that a reader of the
// first eight finds them where they always were.
const QStringList& columns() {
    static const QStringList names = {u"name"_s,      u"ascii"_s,   u"verdict"_s, u"method"_s,
                                      u"server"_s,    u"detail"_s,  u"tries"_s,   u"elapsed_ms"_s,
                                      u"registrar"_s, u"created"_s, u"expires"_s, u"status"_s,
                                      u"releases"_s};
    return names;
}
// Files written before the details came have only the first eight.
constexpr qsizetype kColumnsWithoutDetails = 8;

QString isoDate(QDate date) {
    return date.toString(Qt::ISODate);
}

QStringList fields(const LookupRecord& record) {
    const Details& details = record.answer.details;
    return {oneLine(record.entry),
            oneLine(record.sentName),
            verdictKey(record.answer.verdict),
            methodKey(record.answer.method),
            oneLine(record.answer.server),
            oneLine(record.answer.detail),
            QString::number(record.tries),
            QString::number(record.elapsedMs),
            oneLine(details.registrar),
            isoDate(details.created),
            isoDate(details.expires),
            oneLine(details.status.join(u' ')),
            isoDate(details.releases)};
}

QString csvField(const QString& field) {
    if (!field.contains(u',') && !field.contains(u'"'))
        return field;
    QString quoted = field;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

// The fields of one CSV line; nullopt when a quote is left open (a cut-off line).
std::optional<QStringList> csvFields(QStringView line) {
    QStringList result(1);
    bool quoted = false;
    for (qsizetype n = 0; n < line.size(); ++n) {
        const QChar c = line[n];
        if (quoted) {
            if (c == u'"' && n + 1 < line.size() && line[n + 1] == u'"') {
                result.last().append(c);
                ++n;
            } else if (c == u'"') {
                quoted = false;
            } else {
                result.last().append(c);
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            result.append(QString());
        } else {
            result.last().append(c);
        }
    }
    if (quoted)
        return std::nullopt;
    return result;
}

QDate dateOf(const QJsonObject& object, QLatin1StringView key) {
    return QDate::fromString(object.value(key).toString(), Qt::ISODate);
}

std::optional<NameVerdict> fromFields(const QStringList& row) {
    if (row.size() != kColumnsWithoutDetails && row.size() != columns().size())
        return std::nullopt;
    const auto verdict = verdictFromKey(row.at(2));
    if (!verdict)
        return std::nullopt; // the header row among them
    return NameVerdict{row.at(0), *verdict};
}

} // namespace

QString verdictWord(Verdict verdict) {
    for (const auto& [candidate, word] : kWords) {
        if (candidate == verdict)
            return shown(word);
    }
    return {};
}

QString methodWord(Method method) {
    for (const auto& [candidate, word] : kMethodWords) {
        if (candidate == method)
            return shown(word);
    }
    return {};
}

QString windowLine(const LookupRecord& record) {
    return record.entry + u'|' + verdictWord(record.answer.verdict);
}

QString header(RecordFormat format) {
    switch (format) {
    case RecordFormat::Tsv:
        return columns().join(u'\t');
    case RecordFormat::Csv:
        return columns().join(u',');
    case RecordFormat::Text:
    case RecordFormat::Jsonl:
        break;
    }
    return {};
}

QString line(RecordFormat format, const LookupRecord& record) {
    switch (format) {
    case RecordFormat::Text:
        return oneLine(windowLine(record));
    case RecordFormat::Tsv:
        return fields(record).join(u'\t');
    case RecordFormat::Csv: {
        QStringList row = fields(record);
        for (QString& field : row)
            field = csvField(field);
        return row.join(u',');
    }
    case RecordFormat::Jsonl:
        return QString::fromUtf8(QJsonDocument(toJson(record)).toJson(QJsonDocument::Compact));
    }
    return {};
}

QLatin1StringView lineEnding(RecordFormat format) {
    return format == RecordFormat::Csv ? "\r\n"_L1 : "\n"_L1;
}

QJsonObject toJson(const LookupRecord& record) {
    const Details& details = record.answer.details;
    return {{u"name"_s, record.entry},
            {u"ascii"_s, record.sentName},
            {u"verdict"_s, QString(verdictKey(record.answer.verdict))},
            {u"method"_s, QString(methodKey(record.answer.method))},
            {u"server"_s, record.answer.server},
            {u"detail"_s, record.answer.detail},
            {u"http_status"_s, record.answer.httpStatus},
            {u"tries"_s, record.tries},
            {u"elapsed_ms"_s, record.elapsedMs},
            {u"registrar"_s, details.registrar},
            {u"registrar_iana_id"_s, details.registrarIanaId},
            {u"created"_s, isoDate(details.created)},
            {u"expires"_s, isoDate(details.expires)},
            {u"last_changed"_s, isoDate(details.lastChanged)},
            {u"status"_s, details.status.join(u' ')},
            {u"releases"_s, isoDate(details.releases)}};
}

std::optional<LookupRecord> fromJson(const QJsonObject& object) {
    const auto verdict = verdictFromKey(object.value("verdict"_L1).toString());
    const auto method = methodFromKey(object.value("method"_L1).toString());
    if (!object.value("name"_L1).isString() || !verdict || !method)
        return std::nullopt;
    LookupRecord record;
    record.entry = object.value("name"_L1).toString();
    record.sentName = object.value("ascii"_L1).toString();
    record.answer = {*verdict, *method, object.value("server"_L1).toString(),
                     object.value("detail"_L1).toString(), object.value("http_status"_L1).toInt()};
    Details& details = record.answer.details;
    details.registrar = object.value("registrar"_L1).toString();
    details.registrarIanaId = object.value("registrar_iana_id"_L1).toString();
    details.created = dateOf(object, "created"_L1);
    details.expires = dateOf(object, "expires"_L1);
    details.lastChanged = dateOf(object, "last_changed"_L1);
    details.status = object.value("status"_L1).toString().split(u' ', Qt::SkipEmptyParts);
    details.releases = dateOf(object, "releases"_L1);
    record.tries = object.value("tries"_L1).toInt();
    record.elapsedMs = object.value("elapsed_ms"_L1).toInteger();
    return record;
}

std::optional<NameVerdict> read(RecordFormat format, QStringView line) {
    switch (format) {
    case RecordFormat::Text: {
        const qsizetype bar = line.lastIndexOf(u'|');
        if (bar < 0)
            return std::nullopt;
        const QStringView word = line.mid(bar + 1);
        for (const auto& [verdict, candidate] : kWords) {
            if (word == QString::fromUtf8(candidate) || word == shown(candidate))
                return NameVerdict{line.left(bar).toString(), verdict};
        }
        return std::nullopt;
    }
    case RecordFormat::Tsv:
        return fromFields(line.toString().split(u'\t'));
    case RecordFormat::Csv: {
        const auto row = csvFields(line);
        return row ? fromFields(*row) : std::nullopt;
    }
    case RecordFormat::Jsonl: {
        const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8());
        const auto record = fromJson(document.object());
        if (!record)
            return std::nullopt;
        return NameVerdict{record->entry, record->answer.verdict};
    }
    }
    return std::nullopt;
}

} // namespace ds::RecordLines
