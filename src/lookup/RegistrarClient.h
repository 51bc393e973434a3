#pragma once

#include "http/ProxyConfig.h"
#include "lookup/ReplyVerdict.h"

#include <QObject>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

namespace ds {

class HttpRequest;

// Sends one availability request at a time to the registrar service, without
// blocking the window, and judges its reply. A request that outlives its time
// limit, a redirect (never followed: a login page elsewhere must not answer
// for the service) and a reply body over 1 MiB are failures.
class RegistrarClient final : public QObject {
    Q_OBJECT
public:
    struct Reply {
        // Method Registrar, the service's host:port, the HTTP status (0 when
        // no reply came back) and, for people to read, the status or why a
        // failed check failed.
        Answer answer;
        QByteArray retryAfter; // the raw Retry-After header of a failed reply
    };
    using Done = std::function<void(const Reply&)>;

    static constexpr qint64 BodyLimit = 1024 * 1024;

    RegistrarClient(QUrl registrar, int timeLimitMs, QObject* parent = nullptr);
    ~RegistrarClient() override;

    // The proxy every check goes through from now on; none unless set.
    void setProxy(const ProxyConfig& proxy) { m_proxy = proxy; }

    // Starts a check; `done` is called once, always from a later turn of the
    // event loop, unless the check is abandoned first. A running check is
    // abandoned by a new one.
    void check(const QString& entry, Done done);
    void abandon();
    bool busy() const { return m_done != nullptr; }

private:
    void onCompleted();
    void finish(const Reply& reply);
    Reply failure(const QString& detail) const;

    QUrl m_checkUrl;
    ProxyConfig m_proxy;
    QString m_server;
    int m_timeLimitMs;
    std::unique_ptr<HttpRequest> m_request;
    QTimer m_timeLimit;
    Done m_done;
};

} // namespace ds
