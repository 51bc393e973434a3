#include "lookup/RegistrarClient.h"

#include "http/HttpRequest.h"
#include "lookup/AvailabilityRequest.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// The status for a verdict; for a failure, why.
QString failureDetail(const HttpRequest& request) {
    if (request.bodyTooLarge())
        return u"reply body over %1 bytes, not read"_s.arg(RegistrarClient::BodyLimit);
    if (request.proxyFailed())
        return request.failureText();
    if (!request.replyArrived())
        return u"no complete reply"_s;
    const QByteArray location = request.responseHeader(QByteArrayLiteral("location"));
    if (!location.isEmpty())
        return u"HTTP %1, redirected to %2"_s.arg(request.status())
            .arg(QString::fromLatin1(location));
    return u"HTTP %1"_s.arg(request.status());
}

} // namespace

RegistrarClient::RegistrarClient(QUrl registrar, int timeLimitMs, QObject* parent)
    : QObject(parent)
    , m_checkUrl(AvailabilityRequest::checkUrl(registrar))
    , m_server(m_checkUrl.authority())
    , m_timeLimitMs(timeLimitMs) {
    m_timeLimit.setSingleShot(true);
    connect(&m_timeLimit, &QTimer::timeout, this, [this] {
        // A check whose request could not even be sent ends here too.
        finish(failure(m_request ? u"no reply within the time limit"_s
                                 : u"the request could not be sent"_s));
    });
}

RegistrarClient::~RegistrarClient() = default;

void RegistrarClient::check(const QString& entry, Done done) {
    abandon();
    m_done = std::move(done);
    m_request = std::make_unique<HttpRequest>();
    connect(m_request.get(), &HttpRequest::completed, this, &RegistrarClient::onCompleted);
    m_request->setFollowRedirects(false);
    m_request->setBodyLimit(BodyLimit);
    m_request->setProxy(m_proxy);
    try {
        m_request->open(QByteArrayLiteral("POST"), m_checkUrl.toString(QUrl::FullyEncoded));
        m_request->setRequestHeader(AvailabilityRequest::ContentTypeName,
                                    AvailabilityRequest::ContentTypeValue);
        m_request->send(AvailabilityRequest::body(entry));
    } catch (const std::exception&) {
        // Reported like a refused connection, and never from inside check():
        // the caller's state must be settled before it hears the outcome.
        m_request.reset();
        m_timeLimit.start(0);
        return;
    }
    m_timeLimit.start(m_timeLimitMs);
}

void RegistrarClient::abandon() {
    m_timeLimit.stop();
    m_done = nullptr;
    m_request.reset();
}

void RegistrarClient::onCompleted() {
    Reply reply = failure(QString());
    const ReplyFacts facts{m_request->replyArrived(), m_request->status(),
                           replyText(m_request->responseBody().value_or(QByteArray()),
                                     m_request->responseHeader(QByteArrayLiteral("content-type")))};
    reply.answer.verdict = classifyReply(facts);
    reply.answer.httpStatus = m_request->status();
    reply.answer.detail = failureDetail(*m_request);
    reply.answer.proxyFailed = m_request->proxyFailed();
    if (reply.answer.verdict == Verdict::Failed)
        reply.retryAfter = m_request->responseHeader(QByteArrayLiteral("retry-after"));
    finish(reply);
}

RegistrarClient::Reply RegistrarClient::failure(const QString& detail) const {
    Reply reply;
    reply.answer = {Verdict::Failed, Method::Registrar, m_server, detail, 0};
    return reply;
}

void RegistrarClient::finish(const Reply& reply) {
    m_timeLimit.stop();
    // The request may be the sender of the signal being handled: let it go
    // once control is back in the event loop.
    if (m_request) {
        m_request->disconnect(this);
        m_request.release()->deleteLater();
    }
    Done done = std::exchange(m_done, nullptr);
    if (done) {
        done(reply);
    }
}

} // namespace ds
