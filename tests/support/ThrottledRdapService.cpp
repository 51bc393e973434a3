#include "ThrottledRdapService.h"

#include <algorithm>

namespace ds::test {

ThrottledRdapService::ThrottledRdapService(int requestsPerSecond, int inFlight, int replyMs)
    : m_requestsPerSecond(requestsPerSecond)
    , m_inFlight(inFlight)
    , m_replyMs(replyMs)
    , m_tokens(requestsPerSecond) {}

LocalHttpResponse ThrottledRdapService::answer(const LocalHttpRequest& request) {
    const QMutexLocker lock(&m_mutex);
    const qint64 now = request.arrivedMs;
    m_tokens = std::min<double>(m_requestsPerSecond,
                                m_tokens + double(now - m_lastMs) * m_requestsPerSecond / 1000);
    m_lastMs = now;
    // Replies go out in arrival order with one delay, so the earliest ends first.
    while (!m_answeredAtMs.empty() && m_answeredAtMs.front() <= now)
        m_answeredAtMs.pop_front();
    ++m_requests;
    if (m_tokens < 1 || int(m_answeredAtMs.size()) >= m_inFlight) {
        ++m_refused;
        return {429, {{"Retry-After", "1"}, {"Content-Type", "application/rdap+json"}}, "{}"};
    }
    m_tokens -= 1;
    m_answeredAtMs.push_back(now + m_replyMs);
    m_mostInFlight = std::max(m_mostInFlight, int(m_answeredAtMs.size()));
    LocalHttpResponse response{404, {{"Content-Type", "application/rdap+json"}}, "{}"};
    response.delayMs = m_replyMs;
    return response;
}

LocalHttpServer::Handler ThrottledRdapService::handler() {
    return [this](const LocalHttpRequest& request) {
        return answer(request);
    };
}

int ThrottledRdapService::requests() const {
    const QMutexLocker lock(&m_mutex);
    return m_requests;
}

int ThrottledRdapService::refused() const {
    const QMutexLocker lock(&m_mutex);
    return m_refused;
}

int ThrottledRdapService::mostInFlight() const {
    const QMutexLocker lock(&m_mutex);
    return m_mostInFlight;
}

} // namespace ds::test
