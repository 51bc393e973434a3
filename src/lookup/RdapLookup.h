#pragma once

#include "http/ProxyConfig.h"
#include "lookup/Answer.h"
#include "lookup/RetryPolicy.h"
#include "lookup/ServiceQueue.h"
#include "lookup/ServiceTurn.h"

#include <QObject>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

namespace ds {

class HttpRequest;

// Asks one RDAP server about one name, in turn with every other ask of that
// server: GET <base>domain/<name>, same-host redirects only, a capped body.
// A server asking for patience holds its own queue and gets the name again;
// a reply that may not come again the same way (no reply, a server error) is
// tried again after the growing pause.
class RdapLookup final : public QObject {
    Q_OBJECT
public:
    struct Options {
        int timeLimitMs = 30000;
        RetryPolicy retry;
        // Times one name is asked again for servers that ask for patience.
        int maxAskAgain = 5;
        ProxyConfig proxy;
    };
    using Done = std::function<void(const Answer& answer, int tries)>;

    static constexpr qint64 BodyLimit = qint64(1) << 20;
    static constexpr int MaxRedirects = 3;

    RdapLookup(ServiceQueue& queue, Options options, QObject* parent = nullptr);
    ~RdapLookup() override;

    // `done` runs once, on a later turn of the event loop, unless abandoned.
    void ask(const QString& aceName, const QUrl& baseUrl, Done done);
    void abandon();

    // "host:port": the service a base URL's server is queued as.
    static QString serviceOf(const QUrl& url);

private:
    void waitForTurn();
    void send();
    void onCompleted();
    bool followsRedirect(const HttpRequest& reply, QString& refusal);
    void finish(const Answer& answer);

    ServiceTurn m_turn;
    Options m_options;
    QUrl m_url;
    // Where the current request goes: m_url, or where it was redirected.
    QUrl m_requestUrl;
    QString m_service;
    Done m_done;
    std::unique_ptr<HttpRequest> m_request;
    QTimer m_retryTimer;
    int m_tries = 0;
    int m_retries = 0;
    int m_askedAgain = 0;
    int m_redirects = 0;
};

} // namespace ds
