#include "HttpPageHarness.h"
#include "common/Error.h"

#include <QElapsedTimer>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using ds::HTTPPage2;
using ds::test::httpAction;
using ds::test::httpReply;
using ds::test::LocalHttpRequest;
using ds::test::LocalHttpResponse;

Q_DECLARE_METATYPE(LocalHttpResponse)

// The lives of HTTPPage2 instances: replaced, stopped, destroyed, and
// handlers that throw or drop the instance. A request that was replaced or
// abandoned must never report.
class TestHTTPPage2Lifecycle final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void restartReportsOnlyTheNewRequest();
    void stopByHandSilences();
    void destroyedWhilePolling();
    void throwingHandler_data();
    void throwingHandler();
    void destroyedFromItsHandler_data();
    void destroyedFromItsHandler();
    void restartedFromItsHandler();
    void realTimers_data();
    void realTimers();

private:
    std::unique_ptr<ds::test::HttpPageHarness> m_h;
};

void TestHTTPPage2Lifecycle::init() {
    m_h = std::make_unique<ds::test::HttpPageHarness>();
    QVERIFY(m_h->listening());
    // "/slow" is never answered; every other path gets its own name back.
    m_h->server().setHandler([](const LocalHttpRequest& request) {
        if (request.path == "/slow")
            return httpAction(LocalHttpResponse::Action::NeverAnswer);
        return httpReply(200, request.path.mid(1));
    });
}

void TestHTTPPage2Lifecycle::cleanup() {
    m_h.reset();
}

void TestHTTPPage2Lifecycle::restartReportsOnlyTheNewRequest() {
    const auto page = m_h->makePage();
    page->SubIniData(m_h->url(u"slow"_s), u"gb2312"_s, u"-1"_s);
    const quint32 oldTimer = m_h->newestTimer();
    page->SubIniData(m_h->url(u"fast"_s), u"gb2312"_s);
    QVERIFY(!m_h->source().isRunning(oldTimer));

    // An expiry of the old timer that was already on its way changes nothing.
    m_h->source().fire(oldTimer);
    QVERIFY(m_h->events().isEmpty());
    m_h->pollUntil(1);
    m_h->pollUntil(2, 300);
    QCOMPARE(m_h->events(), QStringList{u"fast"_s});
}

void TestHTTPPage2Lifecycle::stopByHandSilences() {
    const auto page = m_h->makePage();
    page->StopByHand();
    page->SubIniData(m_h->url(u"late"_s), u"gb2312"_s, u"-1"_s);
    const quint32 timer = m_h->newestTimer();
    page->StopByHand();
    QCOMPARE(m_h->source().runningCount(), 0);
    QTest::qWait(100);
    m_h->source().fire(timer);
    QVERIFY(m_h->events().isEmpty());

    // The instance may be started again afterwards.
    page->SubIniData(m_h->url(u"again"_s), u"gb2312"_s);
    m_h->pollUntil(1);
    QCOMPARE(m_h->events(), QStringList{u"again"_s});
}

void TestHTTPPage2Lifecycle::destroyedWhilePolling() {
    auto page = m_h->makePage();
    page->SubIniData(m_h->url(u"slow"_s), u"gb2312"_s);
    QTRY_COMPARE(m_h->server().outstanding(), 1);
    page.reset();
    QCOMPARE(m_h->source().runningCount(), 0);
    QTRY_COMPARE(m_h->server().outstanding(), 0);
    m_h->pollUntil(1, 300);
    QVERIFY(m_h->events().isEmpty());
}

void TestHTTPPage2Lifecycle::throwingHandler_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<QStringList>("throwOn");
    QTest::addColumn<QStringList>("expected");

    const QStringList reported{u"abc"_s, u"失败4"_s};
    QTest::newRow("on a decoded body") << u"abc"_s << u"10"_s << QStringList{u"abc"_s} << reported;
    QTest::newRow("on a short body")
        << u"ab"_s << u"10"_s << QStringList{u"失败3"_s} << QStringList{u"失败3"_s, u"失败4"_s};
    QTest::newRow("on the second event as well")
        << u"abc"_s << u"10"_s << QStringList{u"abc"_s, u"失败4"_s} << reported;
    QTest::newRow("on a time-out, not caught")
        << u"slow"_s << u"-1"_s << QStringList{u"失败"_s} << QStringList{u"失败"_s};
}

void TestHTTPPage2Lifecycle::throwingHandler() {
    QFETCH(QString, path);
    QFETCH(QString, timeout);
    QFETCH(QStringList, throwOn);
    QFETCH(QStringList, expected);

    const auto page = HTTPPage2::create(m_h->timers());
    page->onHttpEvent([&](const QString& code) {
        m_h->events().append(code);
        if (throwOn.contains(code))
            throw ds::Error(ds::ErrorNumber::Overflow, u"handler failed"_s);
    });
    page->SubIniData(m_h->url(path), u"gb2312"_s, timeout);
    m_h->pollUntil(expected.size());
    m_h->pollUntil(expected.size() + 1, 300);
    QCOMPARE(m_h->events(), expected);
    QCOMPARE(m_h->source().runningCount(), 0);
}

void TestHTTPPage2Lifecycle::destroyedFromItsHandler_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<bool>("throwAfter");
    QTest::addColumn<QString>("expected");

    QTest::newRow("on a decoded body") << u"abc"_s << u"10"_s << false << u"abc"_s;
    QTest::newRow("then throws") << u"abc"_s << u"10"_s << true << u"abc"_s;
    QTest::newRow("on a short body, then throws") << u"ab"_s << u"10"_s << true << u"失败3"_s;
    QTest::newRow("on a time-out") << u"slow"_s << u"-1"_s << false << u"失败"_s;
}

void TestHTTPPage2Lifecycle::destroyedFromItsHandler() {
    QFETCH(QString, path);
    QFETCH(QString, timeout);
    QFETCH(bool, throwAfter);
    QFETCH(QString, expected);

    std::shared_ptr<HTTPPage2> page = HTTPPage2::create(m_h->timers());
    const std::weak_ptr<HTTPPage2> watch = page;
    page->onHttpEvent([&](const QString& code) {
        m_h->events().append(code);
        page.reset();
        if (throwAfter)
            throw ds::Error(ds::ErrorNumber::Overflow, u"handler failed"_s);
    });
    page->SubIniData(m_h->url(path), u"gb2312"_s, timeout);
    m_h->pollUntil(1);
    m_h->pollUntil(2, 300);
    QCOMPARE(m_h->events(), QStringList{expected});
    QVERIFY(watch.expired());
    QCOMPARE(m_h->source().runningCount(), 0);
}

void TestHTTPPage2Lifecycle::restartedFromItsHandler() {
    const auto page = HTTPPage2::create(m_h->timers());
    page->onHttpEvent([&](const QString& code) {
        m_h->events().append(code);
        if (code == u"first"_s)
            page->SubIniData(m_h->url(u"second"_s), u"gb2312"_s);
    });
    page->SubIniData(m_h->url(u"first"_s), u"gb2312"_s);
    m_h->pollUntil(2);
    m_h->pollUntil(3, 300);
    QCOMPARE(m_h->events(), (QStringList{u"first"_s, u"second"_s}));
    QCOMPARE(m_h->source().runningCount(), 0);
}

void TestHTTPPage2Lifecycle::realTimers_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("notBeforeMs");

    QTest::newRow("about:blank") << u"about:blank"_s << u"10"_s << u"失败2"_s << 0;
    QTest::newRow("page") << u"page"_s << u"10"_s << u"page"_s << 0;
    QTest::newRow("never answered") << u"slow"_s << u"1"_s << u"失败"_s << 1000;
}

void TestHTTPPage2Lifecycle::realTimers() {
    QFETCH(QString, path);
    QFETCH(QString, timeout);
    QFETCH(QString, expected);
    QFETCH(int, notBeforeMs);

    QStringList events;
    const auto page = HTTPPage2::create();
    page->onHttpEvent([&](const QString& code) { events.append(code); });
    QElapsedTimer clock;
    clock.start();
    page->SubIniData(path.contains(u':') ? path : m_h->url(path), u"gb2312"_s, timeout);
    QVERIFY(events.isEmpty());

    QTRY_COMPARE_WITH_TIMEOUT(events.size(), 1, 10000);
    QVERIFY(clock.elapsed() > notBeforeMs);
    QCOMPARE(events.constFirst(), expected);
    QTest::qWait(100);
    QCOMPARE(events.size(), 1);
}

QTEST_GUILESS_MAIN(TestHTTPPage2Lifecycle)
#include "tst_httppage2lifecycle.moc"
