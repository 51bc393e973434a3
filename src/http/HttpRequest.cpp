#include "http/HttpRequest.h"

#include "common/Error.h"
#include "http/ProxyFailure.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkRequest>
#include <QThread>

#include <algorithm>
#include <array>
#include <string_view>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Asks the system's configuration afresh for every request, as it may name
// different proxies for different hosts.
class SystemProxyFactory final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        return systemProxyForQuery(query);
    }
};

// The proxy is set on the manager rather than for the whole application:
// the application's proxy is never used for loopback addresses, where a
// proxy of a person's own (an SSH tunnel, say) often listens.
void useProxy(QNetworkAccessManager& manager, const ProxyConfig& proxy) {
    if (proxy.type == ProxyConfig::Type::System)
        manager.setProxyFactory(new SystemProxyFactory);
    else
        manager.setProxy(proxy.networkProxy());
}

// One manager per thread, as QNetworkAccessManager must be used from the thread
// that made it. It goes with the application on the main thread, and with its
// thread elsewhere.
thread_local QPointer<QNetworkAccessManager> t_manager;
thread_local ProxyConfig t_managerProxy;

QNetworkAccessManager& threadManager(const ProxyConfig& proxy) {
    QPointer<QNetworkAccessManager>& manager = t_manager;
    if (manager && t_managerProxy != proxy) {
        useProxy(*manager, proxy);
        t_managerProxy = proxy;
    }
    if (!manager) {
        manager = new QNetworkAccessManager;
        QThread* thread = QThread::currentThread();
        if (QCoreApplication* app = QCoreApplication::instance(); app && app->thread() == thread)
            manager->setParent(app);
        else
            QObject::connect(thread, &QThread::finished, manager, &QObject::deleteLater);
        useProxy(*manager, proxy);
        t_managerProxy = proxy;
    }
    return *manager;
}

[[noreturn]] void fail(const QString& text) {
    throw Error(ErrorNumber::HttpFailure, text);
}

bool isToken(const QByteArray& text) {
    static constexpr std::string_view separators = "!#$%&'*+-.^_`|~";
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               separators.find(c) != std::string_view::npos;
    });
}

// Standard methods are sent in upper case whatever case the caller used, as
// browsers do; any other token goes out exactly as given.
QByteArray normalisedMethod(const QByteArray& method) {
    static constexpr std::array standard = {"DELETE", "GET", "HEAD", "OPTIONS", "POST", "PUT"};
    const QByteArray upper = method.toUpper();
    const bool isStandard = std::any_of(standard.begin(), standard.end(),
                                        [&](const char* name) { return upper == name; });
    return isStandard ? upper : method;
}

// Leading and trailing control characters and spaces are no part of an
// address, as in browsers' URL parsing; QUrl would read " http://..." as a
// relative path instead.
QString withoutOuterBlanks(const QString& url) {
    const auto isBlank = [](QChar c) {
        return c.unicode() <= 0x20;
    };
    qsizetype begin = 0;
    qsizetype end = url.size();
    while (begin < end && isBlank(url.at(begin)))
        ++begin;
    while (end > begin && isBlank(url.at(end - 1)))
        --end;
    return url.sliced(begin, end - begin);
}

QString tooLargeText(qint64 limit) {
    return u"reply body over %1 bytes"_s.arg(limit);
}

bool carriesNoBody(const QByteArray& method, int status) {
    return method == "HEAD" || (status >= 100 && status < 200) || status == 204 || status == 304;
}

} // namespace

void releaseThreadNetwork() {
    delete t_manager.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

HttpRequest::HttpRequest(QObject* parent)
    : QObject(parent) {
    m_timeLimit.setSingleShot(true);
    connect(&m_timeLimit, &QTimer::timeout, this,
            [this] { abortWith(u"no reply within %1 ms"_s.arg(m_timeLimitMs)); });
}

HttpRequest::~HttpRequest() {
    releaseReply();
}

void HttpRequest::open(const QByteArray& method, const QString& url) {
    if (m_readyState == Sent)
        fail(u"The request is already running and cannot be opened again."_s);
    if (!isToken(method))
        fail(u"\"%1\" is not an HTTP method."_s.arg(QString::fromLatin1(method)));
    const QUrl parsed(withoutOuterBlanks(url));
    if (!parsed.isValid())
        fail(u"\"%1\" is not a valid address: %2"_s.arg(url, parsed.errorString()));
    if (parsed.isRelative())
        fail(u"\"%1\" is not a complete address: it names no scheme."_s.arg(url));
    const QString scheme = parsed.scheme();
    if ((scheme == u"http"_s || scheme == u"https"_s) && parsed.host().isEmpty())
        fail(u"\"%1\" names no host."_s.arg(url));

    m_method = normalisedMethod(method);
    m_url = parsed;
    m_requestHeaders.clear();
    m_body.reset();
    m_status = 0;
    m_arrived = false;
    m_tooLarge = false;
    m_proxyFailed = false;
    m_failure.clear();
    m_responseHeaders.clear();
    m_readyState = Opened;
}

void HttpRequest::setRequestHeader(const QByteArray& name, const QByteArray& value) {
    if (m_readyState != Opened)
        fail(u"Request headers can only be set after open and before send."_s);
    if (!isToken(name))
        fail(u"\"%1\" is not a valid header name."_s.arg(QString::fromLatin1(name)));
    if (value.contains('\r') || value.contains('\n') || value.contains('\0'))
        fail(u"The value of header \"%1\" holds a line break."_s.arg(QString::fromLatin1(name)));
    m_requestHeaders.append({name, value});
}

void HttpRequest::send(const QByteArray& body) {
    if (m_readyState != Opened)
        fail(u"The request must be opened before it is sent."_s);

    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         m_followRedirects ? QNetworkRequest::NoLessSafeRedirectPolicy
                                           : QNetworkRequest::ManualRedirectPolicy);
    for (const auto& [name, value] : std::as_const(m_requestHeaders)) {
        const QByteArray earlier = request.rawHeader(name);
        request.setRawHeader(name, earlier.isEmpty() ? value : earlier + ", " + value);
    }

    QNetworkAccessManager& manager = threadManager(m_proxy);
    if (m_method == "GET")
        m_reply = manager.get(request);
    else if (m_method == "POST")
        m_reply = manager.post(request, body);
    else
        m_reply = manager.sendCustomRequest(request, m_method, body);

    m_readyState = Sent;
    if (m_timeLimitMs >= 0)
        m_timeLimit.start(m_timeLimitMs);
    connect(m_reply, &QNetworkReply::finished, this, &HttpRequest::finish);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &HttpRequest::watchBodySize);
    // A reply that finished before the connection above was made would never
    // report; completion still has to wait for the event loop.
    if (m_reply->isFinished())
        QMetaObject::invokeMethod(this, &HttpRequest::finish, Qt::QueuedConnection);
}

QByteArray HttpRequest::responseHeader(const QByteArray& name) const {
    QByteArrayList values;
    for (const auto& [key, value] : m_responseHeaders) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            values.append(value);
    }
    return values.join(", ");
}

void HttpRequest::finish() {
    if (m_readyState != Sent || !m_reply)
        return;
    QNetworkReply& reply = *m_reply;
    const QNetworkReply::NetworkError error = reply.error();
    m_status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_responseHeaders = reply.rawHeaderPairs();
    const QByteArray data = reply.readAll();
    // The whole body may be in before any progress is reported.
    if (!m_tooLarge && data.size() > m_bodyLimit) {
        m_tooLarge = true;
        m_failure = tooLargeText(m_bodyLimit);
    }

    // Errors below the content range mean the transfer itself failed (no
    // connection, a reset, a cut-off body): whatever arrived is not the body.
    const bool transferFailed =
        m_tooLarge || (error != QNetworkReply::NoError &&
                       (error < QNetworkReply::ContentAccessDenied || m_status == 0));
    m_arrived = m_status != 0 && !transferFailed;
    const bool httpProxy = m_proxy.type == ProxyConfig::Type::Http;
    const std::optional<ProxyFault> fault =
        proxyFault(error, httpProxy, m_url.scheme() == u"http"_s);
    m_proxyFailed = !m_arrived && m_failure.isEmpty() && m_proxy.hasOwnServer() && fault;
    if (m_proxyFailed)
        m_failure = proxyFailureText(proxyAddress(m_proxy.networkProxy()), *fault, httpProxy,
                                     !m_proxy.user.isEmpty(), reply.errorString());
    if (!m_arrived && m_failure.isEmpty())
        m_failure = reply.errorString();
    if (!m_arrived && !m_proxyFailed && m_proxy.type != ProxyConfig::Type::None)
        m_failure += u" (through proxy %1)"_s.arg(m_proxy.displayName());
    if (!transferFailed && !carriesNoBody(m_method, m_status))
        m_body = data;

    releaseReply();
    m_readyState = Complete;
    Q_EMIT completed();
}

void HttpRequest::watchBodySize(qint64 received, qint64 announced) {
    // The announced length stops an oversized body before it is read; the
    // count received stops one that announced nothing or lied.
    if (m_reply && (received > m_bodyLimit || announced > m_bodyLimit)) {
        m_tooLarge = true;
        abortWith(tooLargeText(m_bodyLimit));
    }
}

// Ends the transfer as one cut off, with the reason for it.
void HttpRequest::abortWith(const QString& reason) {
    if (!m_reply)
        return;
    m_failure = reason;
    m_reply->abort(); // finishes the reply, as a transfer cut off
}

void HttpRequest::releaseReply() {
    m_timeLimit.stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    if (!reply->isFinished())
        reply->abort();
    reply->deleteLater();
}

} // namespace ds
