#include "HttpPageHarness.h"

#include <QElapsedTimer>
#include <QTest>

namespace ds::test {

namespace {

LocalHttpResponse cannedResponse(const LocalHttpRequest& request) {
    LocalHttpResponse response;
    if (request.path == "/slow")
        response.action = LocalHttpResponse::Action::NeverAnswer;
    else if (request.path == "/dropped")
        response.action = LocalHttpResponse::Action::DropConnection;
    else if (request.path == "/missing")
        response.status = 404;
    else if (request.path == "/moved")
        response.status = 302;
    response.body = QByteArray::fromPercentEncoding(request.path.mid(1));
    if (request.path == "/moved")
        response.headers.append({QByteArrayLiteral("Location"), QByteArrayLiteral("/landed")});
    else if (request.path == "/huge")
        response.body = QByteArray(9 * 1024 * 1024, 'x');
    return response;
}

} // namespace

HttpPageHarness::HttpPageHarness() {
    m_server.setHandler(cannedResponse);
    m_server.listen();
}

HttpPageHarness::~HttpPageHarness() = default;

std::shared_ptr<HTTPPage2> HttpPageHarness::makePage() {
    auto page = HTTPPage2::create(m_timers);
    page->onHttpEvent([this](const QString& code) { m_events.append(code); });
    return page;
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

void HttpPageHarness::settle(qsizetype count) {
    pollUntil(count, 10000);
    pollUntil(count + 1, 200);
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

} // namespace ds::test
