#include "lookup/RdapLookup.h"

#include "http/HttpRequest.h"
#include "lookup/RdapReply.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

RdapLookup::RdapLookup(ServiceQueue& queue, Options options, QObject* parent)
    : QObject(parent)
    , m_turn(queue)
    , m_options(std::move(options)) {
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &RdapLookup::waitForTurn);
}

RdapLookup::~RdapLookup() {
    abandon();
}

QString RdapLookup::serviceOf(const QUrl& url) {
    return u"%1:%2"_s.arg(url.host()).arg(url.port(url.scheme() == u"https"_s ? 443 : 80));
}

void RdapLookup::ask(const QString& aceName, const QUrl& baseUrl, Done done) {
    abandon();
    m_url = baseUrl.resolved(QUrl(u"domain/"_s + aceName));
    m_service = serviceOf(m_url);
    m_done = std::move(done);
    m_tries = 0;
    m_retries = 0;
    m_askedAgain = 0;
    waitForTurn();
}

void RdapLookup::abandon() {
    m_done = nullptr;
    m_retryTimer.stop();
    m_request.reset();
    m_turn.cancel();
}

void RdapLookup::waitForTurn() {
    m_turn.wait(
        m_service,
        [this] {
            m_requestUrl = m_url;
            m_redirects = 0;
            send();
        },
        [this](const QString& reason) {
            finish({Verdict::Failed, Method::Rdap, m_service, reason, 0});
        });
}

void RdapLookup::send() {
    ++m_tries;
    m_request = std::make_unique<HttpRequest>();
    connect(m_request.get(), &HttpRequest::completed, this, &RdapLookup::onCompleted);
    // The base comes from the bootstrap, which keeps only http(s) addresses
    // with a host, and the name is letters, digits and hyphens: open() holds.
    m_request->open("GET", m_requestUrl.toString(QUrl::FullyEncoded));
    m_request->setRequestHeader("Accept", "application/rdap+json, application/json");
    m_request->setBodyLimit(BodyLimit);
    m_request->setTimeLimit(m_options.timeLimitMs);
    m_request->setProxy(m_options.proxy);
    m_request->send();
}

void RdapLookup::onCompleted() {
    // The request is the sender: let it go once control is back in the loop.
    HttpRequest& reply = *m_request.release();
    reply.disconnect(this);
    reply.deleteLater();
    QString refusal;
    if (followsRedirect(reply, refusal))
        return;
    const RdapJudgement judgement =
        judgeRdapReply({reply.replyArrived(), reply.status(),
                        reply.responseBody().value_or(QByteArray()), reply.failureText()});
    const QString detail =
        refusal.isEmpty() ? judgement.detail : judgement.detail + u", "_s + refusal;
    const Answer answer{judgement.verdict, Method::Rdap,        m_service,        detail,
                        reply.status(),    reply.proxyFailed(), judgement.details};
    const QByteArray retryAfter = reply.responseHeader("retry-after");
    const QDateTime now = QDateTime::currentDateTimeUtc();

    if (judgement.askAgainLater) {
        // The server is held and slowed even when this name asks no more: the
        // names behind it would meet the same refusal.
        m_turn.backOff(parseRetryAfter(retryAfter, now));
        if (m_askedAgain < m_options.maxAskAgain) {
            ++m_askedAgain;
            waitForTurn();
            return;
        }
    } else {
        // Only what may come out differently next time is tried again: no
        // answer at all, or a server error; not a refused redirect or an
        // oversized body.
        const bool transient = reply.status() == 0 || reply.status() >= 500;
        m_turn.release(transient ? ServiceQueue::Outcome::Unanswered
                                 : ServiceQueue::Outcome::Answered);
        if (transient && m_retries < m_options.retry.maxRetries) {
            ++m_retries;
            m_retryTimer.start(m_options.retry.delayMs(m_retries, retryAfter, now));
            return;
        }
    }
    finish(answer);
}

// A redirect is followed within the turn while it stays on the same server
// (no step down from https) and there have not been too many; otherwise the
// reply stands, with the reason it went no further.
bool RdapLookup::followsRedirect(const HttpRequest& reply, QString& refusal) {
    const QByteArray location = reply.responseHeader("location");
    if (!reply.replyArrived() || reply.status() < 300 || reply.status() > 399 || location.isEmpty())
        return false;
    const QUrl target = m_requestUrl.resolved(QUrl::fromEncoded(location));
    const bool downgrade = m_requestUrl.scheme() == u"https"_s && target.scheme() != u"https"_s;
    if (downgrade || serviceOf(target) != m_service) {
        refusal = u"redirected to another host: %1"_s.arg(target.toDisplayString());
        return false;
    }
    if (m_redirects >= MaxRedirects) {
        refusal = u"more than %1 redirects"_s.arg(MaxRedirects);
        return false;
    }
    ++m_redirects;
    m_requestUrl = target;
    send();
    return true;
}

void RdapLookup::finish(const Answer& answer) {
    Done done = std::exchange(m_done, nullptr);
    if (done)
        done(answer, m_tries);
}

} // namespace ds
