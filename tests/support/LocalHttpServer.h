#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <QUrl>

#include <functional>

namespace ds::test {

using LocalHttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// One request as it arrived, before any decoding.
struct LocalHttpRequest {
    QByteArray method;
    QByteArray path;
    QByteArray query;
    LocalHttpHeaders headers;
    QByteArray body;
    // Milliseconds from the server's creation, on a monotonic clock.
    qint64 arrivedMs = 0;

    // The value of a header, its name compared without case; empty when absent.
    QByteArray header(const QByteArray& name) const;
};

// What the server does with one request.
struct LocalHttpResponse {
    enum class Action { Reply, DropConnection, NeverAnswer };

    int status = 200;
    LocalHttpHeaders headers;
    QByteArray body;
    // No body and no Content-Length: a status that allows a body then ends
    // its message by closing the connection.
    bool omitBody = false;
    int delayMs = 0;
    Action action = Action::Reply;
};

// An HTTP/1.1 service on 127.0.0.1 with a port of the system's choice, for
// tests that cross HTTP: it records every request and answers each through a
// handler the test sets. Connections stay open between requests, so the
// client's connection reuse is exercised as well.
class LocalHttpServer final : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<LocalHttpResponse(const LocalHttpRequest&)>;

    explicit LocalHttpServer(QObject* parent = nullptr);

    // Another loopback address, such as 127.0.0.2, puts the service where
    // requests may reach it through a proxy.
    bool listen(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost));
    // "http://<address>:<port>/"
    QUrl url() const;
    quint16 port() const { return m_server.serverPort(); }

    // Without a handler every request gets an empty 200 reply.
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    QList<LocalHttpRequest> requests() const { return m_requests; }
    // Requests received and neither answered nor given up by their client.
    int outstanding() const { return m_outstanding; }
    // The most requests outstanding at one time.
    int maxConcurrent() const { return m_maxConcurrent; }

private:
    friend class LocalHttpConnection;

    LocalHttpResponse received(const LocalHttpRequest& request);
    void answered();
    void acceptConnections();

    QTcpServer m_server;
    QElapsedTimer m_clock;
    Handler m_handler;
    QList<LocalHttpRequest> m_requests;
    int m_outstanding = 0;
    int m_maxConcurrent = 0;
};

} // namespace ds::test
