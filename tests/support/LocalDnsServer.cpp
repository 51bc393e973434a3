#include "LocalDnsServer.h"

#include <QNetworkDatagram>
#include <QTimer>

#include <optional>

namespace ds::test {

namespace {

using Kind = LocalDnsReply::Kind;

constexpr int kHeaderSize = 12;

void appendWord(QByteArray& out, quint16 value) {
    out.append(char(value >> 8)).append(char(value & 0xff));
}

QByteArray encodedName(const QByteArray& name) {
    QByteArray out;
    for (const QByteArray& label : name.split('.')) {
        if (!label.isEmpty())
            out.append(char(label.size())).append(label);
    }
    return out.append('\0');
}

QByteArray nsRecord(const QByteArray& owner, const QByteArray& target) {
    QByteArray record = owner;
    appendWord(record, 2); // NS
    appendWord(record, 1); // IN
    appendWord(record, 0);
    appendWord(record, 3600); // TTL
    const QByteArray data = encodedName(target);
    appendWord(record, quint16(data.size()));
    return record + data;
}

// The question's name and its whole bytes (name, type, class); nullopt when
// the query is too short to hold one.
std::optional<std::pair<QString, QByteArray>> question(const QByteArray& query) {
    QByteArrayList labels;
    qsizetype at = kHeaderSize;
    while (at < query.size() && query.at(at) != 0) {
        labels.append(query.mid(at + 1, quint8(query.at(at))));
        at += 1 + quint8(query.at(at));
    }
    if (at + 5 > query.size())
        return std::nullopt;
    return std::pair{QString::fromLatin1(labels.join('.')),
                     query.mid(kHeaderSize, at + 5 - kHeaderSize)};
}

QByteArray reply(const QByteArray& query, const QByteArray& questionBytes, const QString& name,
                 Kind kind) {
    const QByteArray ownName("\xc0\x0c", 2); // a pointer to the question's name
    const QByteArray parent = encodedName(name.section(u'.', 1).toLatin1());
    QByteArrayList answers;
    QByteArrayList authority;
    int rcode = 0;
    switch (kind) {
    case Kind::Delegation:
        answers = {nsRecord(ownName, "a.dns.test"), nsRecord(ownName, "b.dns.test")};
        break;
    case Kind::ParentReferral:
        authority = {nsRecord(parent, "a.dns.test")};
        break;
    case Kind::ParentInAnswer:
        answers = {nsRecord(parent, "a.dns.test")};
        break;
    case Kind::NoSuchName:
        rcode = 3;
        break;
    case Kind::ServerFailure:
        rcode = 2;
        break;
    case Kind::Refused:
        rcode = 5;
        break;
    case Kind::NoData:
    case Kind::Silence:
        break;
    }
    QByteArray out = query.left(2);                                           // the query's id
    out.append(char(0x84 | (query.at(2) & 0x01))).append(char(0x80 | rcode)); // QR AA RD, RA
    appendWord(out, 1);
    appendWord(out, quint16(answers.size()));
    appendWord(out, quint16(authority.size()));
    appendWord(out, 0);
    return out + questionBytes + answers.join() + authority.join();
}

} // namespace

LocalDnsServer::LocalDnsServer(QObject* parent)
    : QObject(parent) {
    connect(&m_socket, &QUdpSocket::readyRead, this, &LocalDnsServer::readQueries);
}

bool LocalDnsServer::listen() {
    return m_socket.bind(QHostAddress::LocalHost, 0);
}

QString LocalDnsServer::address() const {
    return QStringLiteral("127.0.0.1:") + QString::number(m_socket.localPort());
}

void LocalDnsServer::readQueries() {
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        const QByteArray query = datagram.data();
        const auto asked = question(query);
        if (!asked)
            continue;
        m_asked.append(asked->first);
        const LocalDnsReply plan = m_handler ? m_handler(asked->first) : LocalDnsReply{};
        if (plan.kind == Kind::Silence)
            continue;
        m_maxOutstanding = std::max(m_maxOutstanding, ++m_outstanding);
        const QNetworkDatagram answer =
            datagram.makeReply(reply(query, asked->second, asked->first, plan.kind));
        QTimer::singleShot(plan.delayMs, this, [this, answer] {
            --m_outstanding;
            m_socket.writeDatagram(answer);
        });
    }
}

} // namespace ds::test
