#pragma once

#include "lookup/WhoisAddress.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QNetworkProxy>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class QTcpSocket;

namespace ds {

// WHOIS replies carry no charset: UTF-8 where the bytes are valid UTF-8,
// each invalid byte read as Latin-1, so nothing is lost or replaced.
QString decodeWhoisText(const QByteArray& bytes);

// What came of one WHOIS query.
struct WhoisReply {
    // The server closed the connection after answering; text is its reply.
    bool complete = false;
    QString text;
    // Why there is no complete reply, for people to read.
    QString error;
    // The connection failed at the proxy; error names it.
    bool proxyFailed = false;
};

// One WHOIS query (RFC 3912) over its own TCP connection: send the query and
// CR LF, read until the server closes. The time limit covers the whole
// exchange, and a reply over the cap is dropped rather than trusted.
class WhoisClient final : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kReplyCapBytes = 256 * 1024;

    explicit WhoisClient(QObject* parent = nullptr);
    ~WhoisClient() override;

    // Applies to the next ask(); without one the application's proxy is used.
    void setProxy(const QNetworkProxy& proxy) { m_proxy = proxy; }
    void setTimeLimitMs(int ms) { m_timeLimitMs = ms; }

    // Starts the query and returns at once; finished() follows on a later turn
    // of the event loop. A query already running is abandoned first.
    void ask(const WhoisAddress& server, const QByteArray& query);
    // Drops the running query without a signal.
    void abandon();

Q_SIGNALS:
    void finished(const ds::WhoisReply& reply);

private:
    void received();
    void closed();
    // Fails the query when the reply has grown past the cap.
    bool overCap();
    void fail(const QString& error, bool atProxy = false);
    void socketFailed(QAbstractSocket::SocketError error);
    void finish(const WhoisReply& reply);

    std::optional<QNetworkProxy> m_proxy;
    int m_timeLimitMs = 10000;
    QTcpSocket* m_socket = nullptr;
    QByteArray m_query;
    QByteArray m_bytes;
    QTimer m_deadline;
};

} // namespace ds
