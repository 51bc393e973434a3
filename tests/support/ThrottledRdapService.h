#pragma once

#include "LocalHttpServer.h"

#include <QMutex>

#include <deque>

namespace ds::test {

// An RDAP service that keeps its own pace the way a registry does: it admits
// `requestsPerSecond` requests a second (a bucket of as many, refilled
// evenly) and `inFlight` at once, and answers every other request 429 with
// Retry-After: 1. Admitted requests are answered 404 ("free") after
// `replyMs`. It counts both; the counts may be read from another thread than
// the one answering.
class ThrottledRdapService final {
public:
    ThrottledRdapService(int requestsPerSecond, int inFlight, int replyMs = 0);

    LocalHttpResponse answer(const LocalHttpRequest& request);
    // answer() as a LocalHttpServer's handler; the service must outlive it.
    LocalHttpServer::Handler handler();

    int requests() const;
    int refused() const;
    // The most admitted requests that were outstanding at once.
    int mostInFlight() const;

private:
    const int m_requestsPerSecond;
    const int m_inFlight;
    const int m_replyMs;
    mutable QMutex m_mutex;
    double m_tokens;
    qint64 m_lastMs = 0;
    // When each admitted request still outstanding is answered.
    std::deque<qint64> m_answeredAtMs;
    int m_requests = 0;
    int m_refused = 0;
    int m_mostInFlight = 0;
};

} // namespace ds::test
