#include "HttpPageHarness.h"
#include "common/Error.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using ds::test::httpAction;
using ds::test::httpReply;
using ds::test::LocalHttpResponse;

Q_DECLARE_METATYPE(LocalHttpResponse)

// The page request component over a local service, polled through a timer
// source the test fires by hand: which outcome a reply gives, and that each
// request reports exactly once.
class TestHTTPPage2 final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void outcome_data();
    void outcome();
    void addressGoesOutAsGiven();
    void emptyAddressReportsInsideTheCall_data();
    void emptyAddressReportsInsideTheCall();
    void refusedStartLeavesNothingRunning_data();
    void refusedStartLeavesNothingRunning();
    void timeOut_data();
    void timeOut();
    void replyWinsOverTimeOut();

private:
    std::unique_ptr<ds::test::HttpPageHarness> m_h;
};

void TestHTTPPage2::init() {
    m_h = std::make_unique<ds::test::HttpPageHarness>();
    QVERIFY(m_h->listening());
}

void TestHTTPPage2::cleanup() {
    m_h.reset();
}

void TestHTTPPage2::outcome_data() {
    QTest::addColumn<LocalHttpResponse>("response");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("expected");

    LocalHttpResponse noContent = httpReply(204, {});
    noContent.omitBody = true;

    QTest::newRow("empty body") << httpReply(200, {}) << u"gb2312"_s << u"失败3"_s;
    QTest::newRow("two bytes") << httpReply(200, "ok") << u"gb2312"_s << u"失败3"_s;
    QTest::newRow("three bytes") << httpReply(200, "yes") << u"gb2312"_s << u"yes"_s;
    QTest::newRow("gb2312 character and ascii") << httpReply(200, "\xc4\xe3"
                                                                  "a")
                                                << u"gb2312"_s << u"你a"_s;
    QTest::newRow("gbk characters under gb2312")
        << httpReply(200, "\x88\xd2\xe9\x46") << u"gb2312"_s << u"堃镕"_s;
    QTest::newRow("error status delivers its page")
        << httpReply(404, "<h1>404</h1>") << u"gb2312"_s << u"<h1>404</h1>"_s;
    QTest::newRow("reply without a body") << noContent << u"gb2312"_s << u"失败2"_s;
    QTest::newRow("connection dropped")
        << httpAction(LocalHttpResponse::Action::DropConnection) << u"gb2312"_s << u"失败2"_s;
    QTest::newRow("bytes the charset rejects")
        << httpReply(200, "ab\xff") << u"utf-8"_s << u"失败4"_s;
    QTest::newRow("unknown charset") << httpReply(200, "abc") << u"no-such-set"_s << u"失败4"_s;
    QTest::newRow("short body never reaches the decoder")
        << httpReply(200, "ab") << u"no-such-set"_s << u"失败3"_s;
}

void TestHTTPPage2::outcome() {
    QFETCH(LocalHttpResponse, response);
    QFETCH(QString, charset);
    QFETCH(QString, expected);
    m_h->answerWith(response);

    const auto page = m_h->makePage();
    page->SubIniData(m_h->url(), charset);
    QCOMPARE(m_h->source().setCalls().size(), 1);
    QCOMPARE(m_h->source().setCalls().constFirst().elapseMs, 10);
    m_h->pollUntil(1);

    QCOMPARE(m_h->events(), QStringList{expected});
    QCOMPARE(m_h->source().runningCount(), 0);
    m_h->pollUntil(2, 300);
    QCOMPARE(m_h->events().size(), 1);
    // Qt sends a request again once when the connection drops before any reply.
    QCOMPARE(m_h->server().requests().constFirst().method, "GET"_ba);
}

void TestHTTPPage2::addressGoesOutAsGiven() {
    m_h->answerWith(httpReply(200, "found"));
    const auto page = m_h->makePage();
    page->SubIniData(u"  "_s + m_h->url() + u"?q=1  "_s, u"gb2312"_s);
    m_h->pollUntil(1);
    QCOMPARE(m_h->events(), QStringList{u"found"_s});
    QCOMPARE(m_h->server().requests().constFirst().path, "/page"_ba);
    QCOMPARE(m_h->server().requests().constFirst().query, "q=1"_ba);
}

void TestHTTPPage2::emptyAddressReportsInsideTheCall_data() {
    QTest::addColumn<QString>("url");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces only") << u"    "_s;
}

void TestHTTPPage2::emptyAddressReportsInsideTheCall() {
    QFETCH(QString, url);
    m_h->answerWith(httpReply(200, "running"));
    const auto page = m_h->makePage();

    page->SubIniData(url, u"gb2312"_s, u"not a number"_s);
    QCOMPARE(m_h->events(), QStringList{QString()});
    QVERIFY(m_h->source().setCalls().isEmpty());

    // A request already running is left alone and still reports.
    page->SubIniData(m_h->url(), u"gb2312"_s);
    page->SubIniData(url, u"gb2312"_s);
    QCOMPARE(m_h->events(), (QStringList{QString(), QString()}));
    m_h->pollUntil(3);
    QCOMPARE(m_h->events(), (QStringList{QString(), QString(), u"running"_s}));
    QCOMPARE(m_h->server().requests().size(), 1);
}

void TestHTTPPage2::refusedStartLeavesNothingRunning_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<bool>("refuseTimer");
    QTest::addColumn<quint32>("number");

    QTest::newRow("time-out not a number")
        << u"PAGE"_s << u"ten"_s << false << ds::ErrorNumber::TypeMismatch;
    QTest::newRow("time-out out of range")
        << u"PAGE"_s << u"1e10"_s << false << ds::ErrorNumber::Overflow;
    QTest::newRow("address without scheme")
        << u"example.com"_s << u"10"_s << false << ds::ErrorNumber::HttpFailure;
    QTest::newRow("tab is not a space")
        << u"\t"_s << u"10"_s << false << ds::ErrorNumber::HttpFailure;
    QTest::newRow("no timer available")
        << u"PAGE"_s << u"10"_s << true << ds::ErrorNumber::NoTimerAvailable;
}

void TestHTTPPage2::refusedStartLeavesNothingRunning() {
    QFETCH(QString, url);
    QFETCH(QString, timeout);
    QFETCH(bool, refuseTimer);
    QFETCH(quint32, number);
    m_h->answerWith(httpReply(200, "first"));
    const auto page = m_h->makePage();
    page->SubIniData(m_h->url() + u"?first"_s, u"gb2312"_s);
    QTRY_COMPARE(m_h->server().requests().size(), 1);

    if (refuseTimer)
        m_h->source().refuseNext();
    try {
        page->SubIniData(url == u"PAGE"_s ? m_h->url() : url, u"gb2312"_s, timeout);
        QFAIL("SubIniData accepted the call");
    } catch (const ds::Error& error) {
        QCOMPARE(error.number(), number);
    }
    // Neither the earlier request nor the refused one may report.
    QCOMPARE(m_h->source().runningCount(), 0);
    m_h->pollUntil(1, 300);
    QVERIFY(m_h->events().isEmpty());
}

void TestHTTPPage2::timeOut_data() {
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<int>("waitMs");
    QTest::addColumn<QStringList>("expected");

    const QStringList failed{u"失败"_s};
    QTest::newRow("negative, first tick") << u"-5"_s << 0 << failed;
    QTest::newRow("zero, once time has passed") << u"0"_s << 20 << failed;
    QTest::newRow("fraction rounding to zero") << u"0.4"_s << 20 << failed;
    QTest::newRow("one second, not yet") << u"1"_s << 200 << QStringList();
    QTest::newRow("one second, passed") << u"1"_s << 1100 << failed;
}

void TestHTTPPage2::timeOut() {
    QFETCH(QString, timeout);
    QFETCH(int, waitMs);
    QFETCH(QStringList, expected);
    m_h->answerWith(httpAction(LocalHttpResponse::Action::NeverAnswer));

    const auto page = m_h->makePage();
    page->SubIniData(m_h->url(), u"gb2312"_s, timeout);
    const quint32 timerId = m_h->newestTimer();
    QTest::qWait(waitMs);
    m_h->source().fire(timerId);

    QCOMPARE(m_h->events(), expected);
    QCOMPARE(m_h->source().isRunning(timerId), expected.isEmpty());
    m_h->source().fire(timerId);
    QCOMPARE(m_h->events(), expected);
}

void TestHTTPPage2::replyWinsOverTimeOut() {
    m_h->answerWith(httpReply(200, "in time"));
    const auto page = m_h->makePage();
    page->SubIniData(m_h->url(), u"gb2312"_s, u"0"_s);
    QTRY_COMPARE(m_h->server().requests().size(), 1);
    // Long enough for the reply to be read, with no tick in between.
    QTest::qWait(300);
    m_h->source().fire(m_h->newestTimer());
    QCOMPARE(m_h->events(), QStringList{u"in time"_s});
}

QTEST_GUILESS_MAIN(TestHTTPPage2)
#include "tst_httppage2.moc"
