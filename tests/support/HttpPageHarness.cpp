#include "HttpPageHarness.h"

#include <QElapsedTimer>
#include <QTest>

namespace ds::test {

HttpPageHarness::HttpPageHarness() {
    m_server.listen();
}

HttpPageHarness::~HttpPageHarness() = default;

std::shared_ptr<HTTPPage2> HttpPageHarness::makePage() {
    auto page = HTTPPage2::create(m_timers);
    page->onHttpEvent([this](const QString& code) { m_events.append(code); });
    return page;
}

void HttpPageHarness::answerWith(const LocalHttpResponse& response) {
    m_server.setHandler([response](const LocalHttpRequest&) { return response; });
}

QString HttpPageHarness::url(const QString& pathAndQuery) const {
    return m_server.url().toString() + pathAndQuery;
}

quint32 HttpPageHarness::newestTimer() const {
    // A refused start is recorded with id 0, which no source ever fires.
    const auto& calls = m_source.setCalls();
    for (auto call = calls.crbegin(); call != calls.crend(); ++call) {
        if (call->id != 0)
            return call->id;
    }
    return 0;
}

void HttpPageHarness::pollUntil(qsizetype count, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (m_events.size() < count && clock.elapsed() < timeoutMs) {
        QTest::qWait(5);
        if (const quint32 id = newestTimer())
            m_source.fire(id);
    }
}

LocalHttpResponse httpReply(int status, const QByteArray& body) {
    LocalHttpResponse response;
    response.status = status;
    response.body = body;
    return response;
}

LocalHttpResponse httpAction(LocalHttpResponse::Action action) {
    LocalHttpResponse response;
    response.action = action;
    return response;
}

} // namespace ds::test
