#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

namespace ds::test {

// A proxy on 127.0.0.1 with a port of the system's choice that carries each
// connection to the host and port its client asks for, and records them.
class LocalProxy : public QObject {
    Q_OBJECT

public:
    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    // "host:port" of every connection a client asked for, in order.
    QStringList targets() const { return m_targets; }
    // From now on only clients that give these are served.
    void requireCredentials(const QByteArray& user, const QByteArray& password);

    // A port on 127.0.0.1 where nothing listens: a proxy that is down.
    static quint16 deadPort();

protected:
    explicit LocalProxy(QObject* parent);
    // Takes over a client connection; called once per accepted socket.
    virtual void serve(class QTcpSocket* client) = 0;
    void recordTarget(const QString& host, quint16 port);

    QByteArray m_user;
    QByteArray m_password;

private:
    QTcpServer m_server;
    QStringList m_targets;
};

// An HTTP proxy: CONNECT tunnels, and plain requests in absolute form, which
// it hands on in origin form, one request per connection. With credentials
// required, a request without the right Basic login gets 407.
class LocalHttpProxy final : public LocalProxy {
    Q_OBJECT

public:
    explicit LocalHttpProxy(QObject* parent = nullptr)
        : LocalProxy(parent) {}

protected:
    void serve(QTcpSocket* client) override;
};

// A SOCKS5 proxy (RFC 1928) offering CONNECT, without authentication or, once
// credentials are set, only with them (RFC 1929).
class LocalSocks5Proxy final : public LocalProxy {
    Q_OBJECT

public:
    explicit LocalSocks5Proxy(QObject* parent = nullptr)
        : LocalProxy(parent) {}

protected:
    void serve(QTcpSocket* client) override;
};

} // namespace ds::test
