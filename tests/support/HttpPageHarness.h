#pragma once

#include "FakeTimerSource.h"
#include "LocalHttpServer.h"
#include "http/HTTPPage2.h"

#include <QStringList>

#include <memory>

namespace ds::test {

// Everything a test of HTTPPage2 stands on: a local service, a timer table
// over a timer source fired by hand, and the list of HttpEvent texts raised by
// the pages it makes. Destroy the pages before the harness.
//
// The service never answers "/slow", drops the connection on "/dropped",
// answers "/missing" with a 404 page reading "missing", "/moved" with a 302 to
// "/landed", "/huge" with 9 MiB and any other path with a 200 page holding
// that path, percent-decoded, without its leading slash.
class HttpPageHarness final {
public:
    HttpPageHarness();
    ~HttpPageHarness();
    HttpPageHarness(const HttpPageHarness&) = delete;
    HttpPageHarness& operator=(const HttpPageHarness&) = delete;

    bool listening() const { return m_server.port() != 0; }
    LocalHttpServer& server() { return m_server; }
    FakeTimerSource& source() { return m_source; }
    XTimerSupport& timers() { return m_timers; }
    QStringList& events() { return m_events; }

    // A page whose events are appended to events().
    std::shared_ptr<HTTPPage2> makePage();
    // The service's address with `pathAndQuery` appended.
    QString url(const QString& pathAndQuery = QStringLiteral("page")) const;
    // The id of the newest polling timer the source started; 0 when none.
    quint32 newestTimer() const;
    // Fires the newest polling timer every few milliseconds until `count`
    // events have come, then a little longer, so that an extra event shows.
    void settle(qsizetype count);

private:
    void pollUntil(qsizetype count, int timeoutMs);

    LocalHttpServer m_server;
    FakeTimerSource m_source;
    XTimerSupport m_timers{m_source};
    QStringList m_events;
};

} // namespace ds::test
