#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTcpServer>

#include <functional>

namespace ds::test {

// What the service does with one query.
struct LocalWhoisAnswer {
    enum class Action {
        Reply,       // send the reply, then close
        CutOff,      // send the reply, then stay silent with the connection open
        Silent,      // send nothing and keep the connection open
        CloseAtOnce, // close as soon as the query arrives, sending nothing
    };

    QByteArray reply;
    Action action = Action::Reply;
    // Before the service acts.
    int delayMs = 0;
};

// A WHOIS service (one query per connection, RFC 3912) on 127.0.0.1 with a
// port of the system's choice. It records each query line and counts the
// connections in flight, so tests can check the pacing of their clients.
class LocalWhoisServer final : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<LocalWhoisAnswer(const QByteArray& query)>;

    explicit LocalWhoisServer(QObject* parent = nullptr);

    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    // Without a handler every query gets an empty reply.
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // Query lines as they arrived, without CR LF.
    QList<QByteArray> queries() const { return m_queries; }
    // Milliseconds from the service's creation at which each query arrived.
    QList<qint64> arrivals() const { return m_arrivals; }
    int connectionsInFlight() const { return m_inFlight; }
    int mostInFlight() const { return m_mostInFlight; }

private:
    void accept();
    void serve(class QTcpSocket* socket, const QByteArray& query);

    QTcpServer m_server;
    QElapsedTimer m_clock;
    Handler m_handler;
    QList<QByteArray> m_queries;
    QList<qint64> m_arrivals;
    int m_inFlight = 0;
    int m_mostInFlight = 0;
};

} // namespace ds::test
