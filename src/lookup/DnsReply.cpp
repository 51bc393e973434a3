#include "lookup/DnsReply.h"

#include <QtEndian>

#include <ares.h>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr int kHeaderSize = 12;
constexpr int kQuestionFixedSize = 4; // type, class
constexpr int kRecordFixedSize = 10;  // type, class, TTL, data length
constexpr quint16 kTypeNs = 2;
constexpr quint16 kClassIn = 1;

// Walks a DNS message with c-ares's own name expansion, which follows
// compression pointers and rejects loops and overruns.
class MessageReader final {
public:
    explicit MessageReader(QByteArrayView message)
        : m_message(message) {}

    bool skip(qsizetype bytes) {
        m_at += bytes;
        return m_at <= m_message.size();
    }
    std::optional<quint16> word(qsizetype offset) const {
        if (m_at + offset + 2 > m_message.size())
            return std::nullopt;
        return qFromBigEndian<quint16>(m_message.data() + m_at + offset);
    }
    // The name at the current place, moving past it.
    std::optional<QByteArray> name() {
        const auto* base = reinterpret_cast<const unsigned char*>(m_message.data());
        char* expanded = nullptr;
        long length = 0;
        if (m_at >= m_message.size() || ares_expand_name(base + m_at, base, int(m_message.size()),
                                                         &expanded, &length) != ARES_SUCCESS)
            return std::nullopt;
        QByteArray result(expanded);
        ares_free_string(expanded);
        m_at += length;
        return result;
    }

private:
    QByteArrayView m_message;
    qsizetype m_at = 0;
};

bool sameName(QByteArrayView a, QByteArrayView b) {
    const auto bare = [](QByteArrayView name) {
        return name.endsWith('.') ? name.chopped(1) : name;
    };
    return bare(a).compare(bare(b), Qt::CaseInsensitive) == 0;
}

// The NS targets owned by queryName in the answer section; nullopt when the
// message cannot be read.
std::optional<QStringList> ownNameServers(QByteArrayView queryName, QByteArrayView message) {
    MessageReader reader(message);
    const std::optional<quint16> questions = reader.word(4);
    const std::optional<quint16> answers = reader.word(6);
    if (!questions || !answers || !reader.skip(kHeaderSize))
        return std::nullopt;
    for (int i = 0; i < *questions; ++i) {
        if (!reader.name() || !reader.skip(kQuestionFixedSize))
            return std::nullopt;
    }
    QStringList servers;
    for (int i = 0; i < *answers; ++i) {
        const std::optional<QByteArray> owner = reader.name();
        const std::optional<quint16> type = reader.word(0);
        const std::optional<quint16> klass = reader.word(2);
        const std::optional<quint16> length = reader.word(8);
        if (!owner || !length || !reader.skip(kRecordFixedSize))
            return std::nullopt;
        if (*type == kTypeNs && *klass == kClassIn && sameName(*owner, queryName)) {
            MessageReader target = reader;
            const std::optional<QByteArray> server = target.name();
            if (!server)
                return std::nullopt;
            servers.append(QString::fromLatin1(*server).toLower());
        }
        if (!reader.skip(*length))
            return std::nullopt;
    }
    servers.sort();
    servers.removeDuplicates();
    return servers;
}

DnsOutcome proves(DnsFinding finding, const QString& reason) {
    return DnsOutcome{finding, {}, reason};
}

} // namespace

DnsOutcome readNsReply(QByteArrayView queryName, int aresStatus, QByteArrayView reply) {
    const QString reason = QString::fromLatin1(ares_strerror(aresStatus));
    switch (aresStatus) {
    case ARES_SUCCESS:
        break;
    case ARES_ENOTFOUND:
        return proves(DnsFinding::NoSuchName, reason);
    case ARES_ENODATA:
        return proves(DnsFinding::NoData, reason);
    case ARES_ETIMEOUT:
        return proves(DnsFinding::TimedOut, reason);
    case ARES_ESERVFAIL:
        return proves(DnsFinding::ServerFailure, reason);
    case ARES_EREFUSED:
        return proves(DnsFinding::Refused, reason);
    default:
        return proves(DnsFinding::ResolverError, reason);
    }
    const std::optional<QStringList> servers = ownNameServers(queryName, reply);
    if (!servers)
        return proves(DnsFinding::ResolverError, u"malformed reply"_s);
    if (servers->isEmpty())
        return proves(DnsFinding::OtherOwner, u"no NS record owned by the name"_s);
    return DnsOutcome{DnsFinding::Delegated, *servers, {}};
}

std::optional<Answer> dnsAnswer(const DnsOutcome& outcome, const QString& server) {
    if (outcome.finding != DnsFinding::Delegated)
        return std::nullopt;
    return Answer{Verdict::Taken, Method::Dns, server, outcome.nameServers.join(u", "), 0};
}

} // namespace ds
