#include "http/HTTPPage2.h"

#include "http/BytesToText.h"
#include "http/TimeoutSeconds.h"

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr qint32 PollIntervalMs = 10;
// Far above any page worth reading, low enough that no reply can exhaust memory.
constexpr qint64 PageBodyLimit = 8 * 1024 * 1024;

bool isAllSpaces(const QString& url) {
    return std::all_of(url.begin(), url.end(), [](QChar c) { return c == u' '; });
}

} // namespace

std::shared_ptr<HTTPPage2> HTTPPage2::create(XTimerSupport& timers) {
    return std::make_shared<HTTPPage2>(Private{}, timers);
}

HTTPPage2::HTTPPage2(Private, XTimerSupport& timers)
    : m_timers(timers) {}

HTTPPage2::~HTTPPage2() {
    try {
        release();
    } catch (...) {
        // A component going away has nobody left to tell.
    }
}

void HTTPPage2::onHttpEvent(HttpEventHandler handler) {
    m_handler = std::move(handler);
}

void HTTPPage2::SubIniData(const QString& url, const QString& nUnicode, const QString& nSencond) {
    if (isAllSpaces(url)) {
        raiseHttpEvent(QString());
        return;
    }
    release();
    const qint32 timeoutSec = TimeoutSeconds(nSencond);

    // The address goes to the facility as given, spaces included. A page is
    // fetched as a browser would, through redirects that keep https.
    auto request = std::make_unique<HttpRequest>();
    request->setFollowRedirects(true);
    request->setBodyLimit(PageBodyLimit);
    request->open("GET", url);
    request->send();

    const quint64 generation = ++m_generation;
    std::shared_ptr<XTimer> timer = XTimer::create(m_timers);
    const XTimer::ListenerId listener =
        timer->connectTick([this, alive = weak_from_this(), generation] {
            if (!alive.expired())
                xTimer1_Tick(generation);
        });
    timer->setInterval(PollIntervalMs);
    timer->setEnabled(true);

    m_httpReq = std::move(request);
    m_xTimer1 = std::move(timer);
    m_tickListener = listener;
    m_startTime.start();
    m_charsetName = nUnicode;
    m_timeoutSec = timeoutSec;
}

void HTTPPage2::StopByHand() {
    release();
}

void HTTPPage2::xTimer1_Tick(quint64 generation) {
    if (generation != m_generation || !m_httpReq)
        return;
    // The owner's handler may drop this instance, or restart or stop it; after
    // either, this tick has nothing more to do with it.
    const std::weak_ptr<HTTPPage2> alive = weak_from_this();
    const auto stillCurrent = [&] {
        return !alive.expired() && generation == m_generation;
    };

    if (m_httpReq->readyState() != HttpRequest::Complete) {
        if (m_startTime.elapsed() > qint64{m_timeoutSec} * 1000) {
            release();
            raiseHttpEvent(u"失败"_s);
        }
        return;
    }

    const std::optional<QByteArray> body = m_httpReq->responseBody();
    if (!body) {
        raiseHttpEvent(u"失败2"_s);
    } else {
        try {
            raiseHttpEvent(body->size() < 3 ? u"失败3"_s : BytesToText(*body, m_charsetName));
        } catch (...) {
            // A handler that threw after dropping or restarting this instance
            // has moved on: there is no request left to report on.
            if (!stillCurrent())
                return;
            raiseHttpEvent(u"失败4"_s);
        }
    }
    if (stillCurrent())
        release();
}

void HTTPPage2::raiseHttpEvent(const QString& HereReturnCode) const {
    // A copy, since the handler may destroy this instance and m_handler with it.
    const HttpEventHandler handler = m_handler;
    if (handler)
        handler(HereReturnCode);
}

void HTTPPage2::release() {
    ++m_generation;
    const std::unique_ptr<HttpRequest> request = std::move(m_httpReq);
    const std::shared_ptr<XTimer> timer = std::move(m_xTimer1);
    if (timer) {
        timer->disconnectTick(m_tickListener);
        timer->setEnabled(false);
    }
}

} // namespace ds
