#include "LocalProxies.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QUrl>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace ds::test {

namespace {

// Connects the client to host:port. Once connected it sends `toClient` to the
// client and `toUpstream` on, then copies bytes both ways until either side
// closes; a connection that fails sends `refusal` and closes the client.
void openTunnel(QTcpSocket* client, const QString& host, quint16 port, const QByteArray& toUpstream,
                const QByteArray& toClient, const QByteArray& refusal) {
    auto* upstream = new QTcpSocket(client);
    QObject::connect(upstream, &QTcpSocket::connected, client, [=] {
        client->write(toClient);
        upstream->write(toUpstream + client->readAll());
        QObject::connect(client, &QTcpSocket::readyRead, upstream,
                         [=] { upstream->write(client->readAll()); });
        QObject::connect(upstream, &QTcpSocket::readyRead, client,
                         [=] { client->write(upstream->readAll()); });
        QObject::connect(upstream, &QTcpSocket::disconnected, client, [=] {
            if (client->state() != QAbstractSocket::ConnectedState)
                return;
            client->write(upstream->readAll());
            client->disconnectFromHost();
        });
        QObject::connect(client, &QTcpSocket::disconnected, upstream,
                         &QTcpSocket::disconnectFromHost);
    });
    QObject::connect(upstream, &QTcpSocket::errorOccurred, client, [=] {
        if (upstream->state() == QAbstractSocket::ConnectedState)
            return;
        client->write(refusal);
        client->disconnectFromHost();
    });
    upstream->connectToHost(host, port);
}

// Reads the client's handshake as it arrives: `step` looks at everything
// received so far and returns false once it has taken the connection over.
void readHandshake(QTcpSocket* client, std::function<bool(QByteArray&)> step) {
    auto* context = new QObject(client);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(client, &QTcpSocket::readyRead, context, [=] {
        *buffer += client->readAll();
        if (!step(*buffer))
            delete context;
    });
}

} // namespace

LocalProxy::LocalProxy(QObject* parent)
    : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* client = m_server.nextPendingConnection()) {
            connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
            serve(client);
        }
    });
}

bool LocalProxy::listen() {
    return m_server.listen(QHostAddress::LocalHost, 0);
}

quint16 LocalProxy::deadPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void LocalProxy::recordTarget(const QString& host, quint16 port) {
    m_targets.append(host + u':' + QString::number(port));
}

void LocalHttpProxy::serve(QTcpSocket* client) {
    readHandshake(client, [this, client](QByteArray& buffer) {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return true;
        QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        const QList<QByteArray> requestLine = lines.takeFirst().trimmed().split(' ');
        const QByteArray rest = buffer.mid(headEnd + 4);
        if (requestLine.size() != 3) {
            client->abort();
            return false;
        }
        const QByteArray login = "Basic " + QByteArray(m_user + ':' + m_password).toBase64();
        const bool loggedIn =
            std::any_of(lines.cbegin(), lines.cend(), [&](const QByteArray& line) {
                return line.toLower().startsWith("proxy-authorization:") &&
                       line.mid(line.indexOf(':') + 1).trimmed() == login;
            });
        if (!m_user.isEmpty() && !loggedIn) {
            client->write("HTTP/1.1 407 Proxy Authentication Required\r\n"
                          "Proxy-Authenticate: Basic realm=\"test\"\r\n"
                          "Content-Length: 0\r\nConnection: close\r\n\r\n");
            client->disconnectFromHost();
            return false;
        }
        const QByteArray refusal = "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n";
        if (requestLine.at(0) == "CONNECT") {
            const QUrl authority(u"//"_s + QString::fromLatin1(requestLine.at(1)));
            recordTarget(authority.host(), static_cast<quint16>(authority.port()));
            openTunnel(client, authority.host(), static_cast<quint16>(authority.port()), rest,
                       "HTTP/1.1 200 Connection established\r\n\r\n", refusal);
            return false;
        }
        const QUrl target(QString::fromLatin1(requestLine.at(1)));
        QByteArray head = requestLine.at(0) + ' ' +
                          target.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) + ' ' +
                          requestLine.at(2) + "\r\n";
        for (const QByteArray& line : std::as_const(lines)) {
            const QByteArray name = line.left(line.indexOf(':')).trimmed().toLower();
            if (name != "connection" && name != "proxy-connection")
                head += line.trimmed() + "\r\n";
        }
        // One request per connection spares parsing the ones that follow.
        head += "Connection: close\r\n\r\n";
        recordTarget(target.host(), static_cast<quint16>(target.port(80)));
        openTunnel(client, target.host(), static_cast<quint16>(target.port(80)), head + rest, {},
                   refusal);
        return false;
    });
}

void LocalProxy::requireCredentials(const QByteArray& user, const QByteArray& password) {
    m_user = user;
    m_password = password;
}

void LocalSocks5Proxy::serve(QTcpSocket* client) {
    enum class Stage { Greeting, Credentials, Request };
    auto stage = std::make_shared<Stage>(Stage::Greeting);
    readHandshake(client, [this, client, stage](QByteArray& buffer) {
        const auto byte = [&buffer](qsizetype i) {
            return static_cast<quint8>(buffer.at(i));
        };
        const auto refuse = [client](const QByteArray& answer) {
            client->write(answer);
            client->disconnectFromHost();
            return false;
        };
        if (*stage == Stage::Greeting) {
            if (buffer.size() < 2 || buffer.size() < 2 + byte(1))
                return true;
            const QByteArray methods = buffer.mid(2, byte(1));
            buffer.remove(0, 2 + byte(1));
            const char wanted = m_user.isEmpty() ? '\x00' : '\x02';
            if (!methods.contains(wanted))
                return refuse(QByteArray("\x05\xff", 2));
            client->write(QByteArray("\x05", 1) + wanted);
            *stage = m_user.isEmpty() ? Stage::Request : Stage::Credentials;
        }
        if (*stage == Stage::Credentials) {
            if (buffer.size() < 2 || buffer.size() < 3 + byte(1) ||
                buffer.size() < 3 + byte(1) + byte(2 + byte(1)))
                return true;
            const qsizetype userLength = byte(1);
            const qsizetype passwordLength = byte(2 + userLength);
            const bool accepted = buffer.mid(2, userLength) == m_user &&
                                  buffer.mid(3 + userLength, passwordLength) == m_password;
            buffer.remove(0, 3 + userLength + passwordLength);
            if (!accepted)
                return refuse(QByteArray("\x01\x01", 2));
            client->write(QByteArray("\x01\x00", 2));
            *stage = Stage::Request;
        }
        if (buffer.size() < 5)
            return true;
        const quint8 addressType = byte(3);
        const qsizetype addressLength =
            addressType == 1 ? 4 : (addressType == 4 ? 16 : 1 + byte(4));
        if (buffer.size() < 4 + addressLength + 2)
            return true;
        const auto* address = reinterpret_cast<const quint8*>(buffer.constData() + 4);
        QString host;
        if (addressType == 1)
            host = QHostAddress(qFromBigEndian<quint32>(address)).toString();
        else if (addressType == 4)
            host = QHostAddress(address).toString();
        else
            host = QString::fromLatin1(buffer.mid(5, byte(4)));
        const quint16 port =
            static_cast<quint16>(byte(4 + addressLength) << 8 | byte(5 + addressLength));
        const QByteArray rest = buffer.mid(6 + addressLength);
        recordTarget(host, port);
        // Success and failure both name an IPv4 address 0.0.0.0:0 as bound.
        openTunnel(client, host, port, rest, QByteArray("\x05\x00\x00\x01\0\0\0\0\0\0", 10),
                   QByteArray("\x05\x05\x00\x01\0\0\0\0\0\0", 10));
        return false;
    });
}

} // namespace ds::test
