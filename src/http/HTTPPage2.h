#pragma once

#include "http/HttpRequest.h"
#include "timer/XTimer.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <memory>

namespace ds {

// Fetches one page with a GET without blocking the window, watches the request
// with its own 10 ms polling timer and reports how it ended through exactly one
// HttpEvent: the body decoded in the caller's character set, or a short code
// ("" no address, "失败" time-out, "失败2" no body or one over 8 MiB, "失败3" under three bytes,
// "失败4" decoding or the handler failed). Owned through std::shared_ptr, so
// that a tick can tell whether its owner dropped it from inside the handler.
class HTTPPage2 final : public std::enable_shared_from_this<HTTPPage2> {
    struct Private {};

public:
    using HttpEventHandler = std::function<void(const QString& HereReturnCode)>;

    static std::shared_ptr<HTTPPage2> create(XTimerSupport& timers = XTimerSupport::instance());

    HTTPPage2(Private, XTimerSupport& timers);
    // Stops the timer and abandons the request; no event follows, nothing is thrown.
    ~HTTPPage2();
    HTTPPage2(const HTTPPage2&) = delete;
    HTTPPage2& operator=(const HTTPPage2&) = delete;

    // The one subscriber. Set it before SubIniData: an empty address is reported
    // inside that call.
    void onHttpEvent(HttpEventHandler handler);

    // Starts a request, abandoning a running one without an event. Throws
    // ds::Error for a time-out that is not a whole-second number (checked
    // before any request is sent), for an address the HTTP facility refuses
    // and when no polling timer can be started; a call that throws leaves
    // nothing running, the abandoned request included.
    void SubIniData(const QString& url, const QString& nUnicode,
                    const QString& nSencond = QStringLiteral("10"));
    // Abandons the running request, if any; no event follows.
    void StopByHand();

private:
    void xTimer1_Tick(quint64 generation);
    void raiseHttpEvent(const QString& HereReturnCode) const;
    // Stops the polling timer and drops the request. Every tick or event of the
    // dropped request becomes impossible, as its generation is left behind.
    void release();

    XTimerSupport& m_timers;
    HttpEventHandler m_handler;
    std::unique_ptr<HttpRequest> m_httpReq;
    std::shared_ptr<XTimer> m_xTimer1;
    XTimer::ListenerId m_tickListener = 0;
    quint64 m_generation = 0;
    QElapsedTimer m_startTime;
    QString m_charsetName;
    qint32 m_timeoutSec = 0;
};

} // namespace ds
