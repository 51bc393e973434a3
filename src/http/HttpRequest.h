#pragma once

#include "http/ProxyConfig.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace ds {

// Lets go of this thread's network manager, its idle connections and its
// transfer thread. A program calls it once its event loop has ended; left to
// the application's destructor, what the transfer thread still holds is
// never freed.
void releaseThreadNetwork();

// One HTTP exchange, in the shape the rest of the program expects of a request
// object: open, set headers, send, then poll readyState or wait for
// completed(). It never blocks; the transfer runs in the thread's shared
// QNetworkAccessManager while the event loop turns.
class HttpRequest final : public QObject {
    Q_OBJECT

public:
    enum ReadyState { Unsent = 0, Opened = 1, Sent = 2, Complete = 4 };
    static constexpr qint64 DefaultBodyLimit = 1024 * 1024;

    explicit HttpRequest(QObject* parent = nullptr);

    // The proxy this request goes through when it is sent; none unless set.
    void setProxy(const ProxyConfig& proxy) { m_proxy = proxy; }

    // Abandons a running transfer: no signal follows.
    ~HttpRequest() override;

    // Asynchronous only. Throws ds::Error for a method that is no HTTP token, an
    // address that cannot be parsed, has no scheme, or an http(s) address
    // without a host. Any other scheme is accepted and fails when sent.
    void open(const QByteArray& method, const QString& url);
    // Only between open() and send(); a name or value that could break the
    // request's framing throws ds::Error.
    void setRequestHeader(const QByteArray& name, const QByteArray& value);
    // Both hold for every later send(). Redirects are not followed unless asked
    // for, and then never from https to http: a 3xx is the reply. A body past
    // the limit aborts the transfer; it then counts as a reply that never
    // arrived, with bodyTooLarge() set.
    void setFollowRedirects(bool follow) { m_followRedirects = follow; }
    void setBodyLimit(qint64 bytes) { m_bodyLimit = bytes; }
    // An exchange still running after `ms` is ended as one whose reply never
    // arrived; negative for no limit.
    void setTimeLimit(int ms) { m_timeLimitMs = ms; }
    // Starts the transfer and returns at once; completion always comes on a
    // later turn of the event loop, even when the address cannot be fetched.
    void send(const QByteArray& body = {});

    int readyState() const { return m_readyState; }
    // The raw body, or nullopt when the exchange produced no reply body: no
    // reply at all, a transfer cut off, or a reply that by HTTP carries none.
    std::optional<QByteArray> responseBody() const { return m_body; }
    // The HTTP status, 0 when there was none.
    int status() const { return m_status; }
    // A whole reply came back, whatever its status: no failed connection, no
    // reset, no body cut off.
    bool replyArrived() const { return m_arrived; }
    bool bodyTooLarge() const { return m_tooLarge; }
    // Why no reply arrived (refused connection, TLS certificate, time limit,
    // body over the limit), naming the proxy when one was in the way; empty
    // when a reply arrived.
    QString failureText() const { return m_failure; }
    // The exchange failed at the proxy itself (down, unreachable, refusing,
    // wanting credentials); failureText() then names the proxy and why.
    bool proxyFailed() const { return m_proxyFailed; }
    QByteArray responseHeader(const QByteArray& name) const;

Q_SIGNALS:
    // Emitted once, when readyState becomes Complete.
    void completed();

private:
    void finish();
    void watchBodySize(qint64 received, qint64 announced);
    void abortWith(const QString& reason);
    void releaseReply();

    QPointer<QNetworkReply> m_reply;
    QByteArray m_method;
    QUrl m_url;
    QList<QPair<QByteArray, QByteArray>> m_requestHeaders;
    int m_readyState = Unsent;
    std::optional<QByteArray> m_body;
    int m_status = 0;
    bool m_arrived = false;
    bool m_tooLarge = false;
    bool m_proxyFailed = false;
    bool m_followRedirects = false;
    qint64 m_bodyLimit = DefaultBodyLimit;
    int m_timeLimitMs = -1;
    QTimer m_timeLimit;
    QString m_failure;
    ProxyConfig m_proxy;
    QList<QPair<QByteArray, QByteArray>> m_responseHeaders;
};

} // namespace ds
