#include "HttpPageHarness.h"
#include "common/Error.h"

#include <QHash>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using ds::HTTPPage2;
using ds::test::httpAction;
using ds::test::httpReply;
using ds::test::LocalHttpRequest;
using ds::test::LocalHttpResponse;

// HTTPPage2 over a local service, polled through a timer source fired by hand:
// the outcome of each kind of reply, what the owner's handler may do, and that
// a replaced, stopped or destroyed request never reports.
class TestHTTPPage2 final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void outcome_data();
    void outcome();
    void handlerReaction_data();
    void handlerReaction();
    void emptyAddressReportsInsideTheCall();
    void refusedStartLeavesNothingRunning_data();
    void refusedStartLeavesNothingRunning();
    void replacedStoppedOrDestroyedNeverReports();
    void realTimersReportOnce_data();
    void realTimersReportOnce();

private:
    std::unique_ptr<ds::test::HttpPageHarness> m_h;
};

namespace {

enum class Reaction { Throw, Destroy, DestroyThenThrow, Restart };

// Paths the local service knows; any other path gets its own name back.
LocalHttpResponse cannedResponse(const QByteArray& path) {
    LocalHttpResponse noBody = httpReply(204, {});
    noBody.omitBody = true;
    const QHash<QByteArray, LocalHttpResponse> canned{
        {"/slow", httpAction(LocalHttpResponse::Action::NeverAnswer)},
        {"/dropped", httpAction(LocalHttpResponse::Action::DropConnection)},
        {"/no-body", noBody},
        {"/empty", httpReply(200, {})},
        {"/gb2312", httpReply(200, "\xc4\xe3\x61")},
        {"/gbk", httpReply(200, "\x88\xd2\xe9\x46")},
        {"/missing", httpReply(404, "<h1>404</h1>")},
        {"/bad-utf8", httpReply(200, "ab\xff")}};
    return canned.value(path, httpReply(200, path.mid(1)));
}

} // namespace

Q_DECLARE_METATYPE(Reaction)

void TestHTTPPage2::init() {
    m_h = std::make_unique<ds::test::HttpPageHarness>();
    QVERIFY(m_h->listening());
    m_h->server().setHandler([](const LocalHttpRequest& r) { return cannedResponse(r.path); });
}

void TestHTTPPage2::cleanup() {
    m_h.reset();
}

void TestHTTPPage2::outcome_data() {
    QTest::addColumn<QString>("url"); // %1 stands for the local service
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<int>("settleMs"); // wait before the first tick
    QTest::addColumn<QString>("expected");

    const QString gb = u"gb2312"_s;
    const QString ten = u"10"_s;
    QTest::newRow("empty body") << u"%1empty"_s << gb << ten << 0 << u"失败3"_s;
    QTest::newRow("two bytes") << u"%1ok"_s << gb << ten << 0 << u"失败3"_s;
    QTest::newRow("three bytes") << u"%1yes"_s << gb << ten << 0 << u"yes"_s;
    QTest::newRow("gb2312 character") << u"%1gb2312"_s << gb << ten << 0 << u"你a"_s;
    QTest::newRow("gbk characters under gb2312") << u"%1gbk"_s << gb << ten << 0 << u"堃镕"_s;
    QTest::newRow("error status gives its page")
        << u"%1missing"_s << gb << ten << 0 << u"<h1>404</h1>"_s;
    QTest::newRow("reply without a body") << u"%1no-body"_s << gb << ten << 0 << u"失败2"_s;
    QTest::newRow("connection dropped") << u"%1dropped"_s << gb << ten << 0 << u"失败2"_s;
    QTest::newRow("bytes the charset rejects")
        << u"%1bad-utf8"_s << u"utf-8"_s << ten << 0 << u"失败4"_s;
    QTest::newRow("unknown charset") << u"%1abc"_s << u"no-such-set"_s << ten << 0 << u"失败4"_s;
    QTest::newRow("short body skips the decoder")
        << u"%1ab"_s << u"no-such-set"_s << ten << 0 << u"失败3"_s;
    QTest::newRow("spaces around the address")
        << u"  %1spaced?q=1  "_s << gb << ten << 0 << u"spaced"_s;
    QTest::newRow("about:blank") << u"about:blank"_s << gb << ten << 0 << u"失败2"_s;
    QTest::newRow("never answered, negative time-out")
        << u"%1slow"_s << gb << u"-5"_s << 0 << u"失败"_s;
    QTest::newRow("never answered, one second") << u"%1slow"_s << gb << u"1"_s << 0 << u"失败"_s;
    QTest::newRow("reply beats an elapsed time-out")
        << u"%1fast"_s << gb << u"0"_s << 300 << u"fast"_s;
}

void TestHTTPPage2::outcome() {
    QFETCH(QString, url);
    QFETCH(QString, charset);
    QFETCH(QString, timeout);
    QFETCH(int, settleMs);
    QFETCH(QString, expected);

    const auto page = m_h->makePage();
    page->SubIniData(url.replace(u"%1"_s, m_h->url({})), charset, timeout);
    QCOMPARE(m_h->source().setCalls().constFirst().elapseMs, 10);
    QTest::qWait(settleMs);
    m_h->pollUntil(1);
    m_h->pollUntil(2, 200);
    QCOMPARE(m_h->events(), QStringList{expected});
    QCOMPARE(m_h->source().runningCount(), 0);
}

void TestHTTPPage2::handlerReaction_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<QStringList>("reactOn");
    QTest::addColumn<Reaction>("reaction");
    QTest::addColumn<QStringList>("expected");

    const QStringList body{u"abc"_s};
    const QStringList failed{u"失败"_s};
    const QStringList bodyThenFailed4{u"abc"_s, u"失败4"_s};
    QTest::newRow("throws on a body")
        << u"abc"_s << u"10"_s << body << Reaction::Throw << bodyThenFailed4;
    QTest::newRow("throws on a short body")
        << u"ab"_s << u"10"_s << QStringList{u"失败3"_s} << Reaction::Throw
        << QStringList{u"失败3"_s, u"失败4"_s};
    QTest::newRow("throws on both events")
        << u"abc"_s << u"10"_s << bodyThenFailed4 << Reaction::Throw << bodyThenFailed4;
    QTest::newRow("throws on a time-out, not caught")
        << u"slow"_s << u"-1"_s << failed << Reaction::Throw << failed;
    QTest::newRow("destroys on a body") << u"abc"_s << u"10"_s << body << Reaction::Destroy << body;
    QTest::newRow("destroys, then throws")
        << u"abc"_s << u"10"_s << body << Reaction::DestroyThenThrow << body;
    QTest::newRow("destroys on a time-out")
        << u"slow"_s << u"-1"_s << failed << Reaction::Destroy << failed;
    QTest::newRow("restarts on a body")
        << u"abc"_s << u"10"_s << body << Reaction::Restart << QStringList{u"abc"_s, u"again"_s};
}

void TestHTTPPage2::handlerReaction() {
    QFETCH(QString, path);
    QFETCH(QString, timeout);
    QFETCH(QStringList, reactOn);
    QFETCH(Reaction, reaction);
    QFETCH(QStringList, expected);

    std::shared_ptr<HTTPPage2> page = HTTPPage2::create(m_h->timers());
    const std::weak_ptr<HTTPPage2> watch = page;
    page->onHttpEvent([&](const QString& code) {
        m_h->events().append(code);
        if (!reactOn.contains(code))
            return;
        if (reaction == Reaction::Restart)
            page->SubIniData(m_h->url(u"again"_s), u"gb2312"_s);
        if (reaction == Reaction::Destroy || reaction == Reaction::DestroyThenThrow)
            page.reset();
        if (reaction == Reaction::Throw || reaction == Reaction::DestroyThenThrow)
            throw ds::Error(ds::ErrorNumber::Overflow, u"handler failed"_s);
    });
    page->SubIniData(m_h->url(path), u"gb2312"_s, timeout);
    m_h->pollUntil(expected.size());
    m_h->pollUntil(expected.size() + 1, 200);
    QCOMPARE(m_h->events(), expected);
    QCOMPARE(m_h->source().runningCount(), 0);
    QCOMPARE(watch.expired(), !page);
}

void TestHTTPPage2::emptyAddressReportsInsideTheCall() {
    const auto page = m_h->makePage();
    page->SubIniData(QString(), u"gb2312"_s, u"not a number"_s);
    QCOMPARE(m_h->events(), QStringList{QString()});
    QVERIFY(m_h->source().setCalls().isEmpty());

    // A request already running is left alone and still reports.
    page->SubIniData(m_h->url(u"running"_s), u"gb2312"_s);
    page->SubIniData(u"    "_s, u"gb2312"_s);
    QCOMPARE(m_h->events().size(), 2);
    m_h->pollUntil(3);
    QCOMPARE(m_h->events(), (QStringList{QString(), QString(), u"running"_s}));
    QCOMPARE(m_h->server().requests().size(), 1);
}

void TestHTTPPage2::refusedStartLeavesNothingRunning_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<bool>("refuseTimer");
    QTest::addColumn<quint32>("number");

    using namespace ds::ErrorNumber;
    QTest::newRow("time-out not a number") << u"%1"_s << u"ten"_s << false << TypeMismatch;
    QTest::newRow("time-out out of range") << u"%1"_s << u"1e10"_s << false << Overflow;
    QTest::newRow("address without scheme") << u"example.com"_s << u"10"_s << false << HttpFailure;
    QTest::newRow("a tab is no space") << u"\t"_s << u"10"_s << false << HttpFailure;
    QTest::newRow("no timer available") << u"%1"_s << u"10"_s << true << NoTimerAvailable;
}

void TestHTTPPage2::refusedStartLeavesNothingRunning() {
    QFETCH(QString, url);
    QFETCH(QString, timeout);
    QFETCH(bool, refuseTimer);
    QFETCH(quint32, number);

    const auto page = m_h->makePage();
    page->SubIniData(m_h->url(u"first"_s), u"gb2312"_s);
    QTRY_COMPARE(m_h->server().requests().size(), 1);
    if (refuseTimer)
        m_h->source().refuseNext();
    const QString address = url.replace(u"%1"_s, m_h->url());
    try {
        page->SubIniData(address, u"gb2312"_s, timeout);
        QFAIL("the call did not fail");
    } catch (const ds::Error& error) {
        QCOMPARE(error.number(), number);
    }

    // Neither the abandoned request nor the refused one may report.
    QCOMPARE(m_h->source().runningCount(), 0);
    m_h->pollUntil(1, 200);
    QVERIFY(m_h->events().isEmpty());
}

void TestHTTPPage2::replacedStoppedOrDestroyedNeverReports() {
    auto page = m_h->makePage();
    page->StopByHand();
    page->SubIniData(m_h->url(u"slow"_s), u"gb2312"_s, u"-1"_s);
    const quint32 replacedTimer = m_h->newestTimer();
    page->SubIniData(m_h->url(u"stopped"_s), u"gb2312"_s, u"-1"_s);
    QVERIFY(!m_h->source().isRunning(replacedTimer));
    const quint32 stoppedTimer = m_h->newestTimer();
    page->StopByHand();
    QCOMPARE(m_h->source().runningCount(), 0);
    // Expiries that were already on their way change nothing.
    QTest::qWait(100);
    m_h->source().fire(replacedTimer);
    m_h->source().fire(stoppedTimer);
    QVERIFY(m_h->events().isEmpty());

    page->SubIniData(m_h->url(u"slow"_s), u"gb2312"_s);
    QTRY_COMPARE(m_h->server().outstanding(), 1);
    page.reset();
    QCOMPARE(m_h->source().runningCount(), 0);
    // The abandoned request is aborted, not left to run.
    QTRY_COMPARE(m_h->server().outstanding(), 0);
    m_h->pollUntil(1, 200);
    QVERIFY(m_h->events().isEmpty());
}

void TestHTTPPage2::realTimersReportOnce_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");
    QTest::newRow("about:blank") << u"about:blank"_s << u"失败2"_s;
    QTest::newRow("page") << u"%1page"_s << u"page"_s;
}

void TestHTTPPage2::realTimersReportOnce() {
    QFETCH(QString, url);
    QFETCH(QString, expected);

    QStringList events;
    const auto page = HTTPPage2::create();
    page->onHttpEvent([&](const QString& code) { events.append(code); });
    page->SubIniData(url.replace(u"%1"_s, m_h->url({})), u"gb2312"_s);
    QVERIFY(events.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(events.size(), 1, 10000);
    QCOMPARE(events.constFirst(), expected);
    QTest::qWait(100);
    QCOMPARE(events.size(), 1);
}

QTEST_GUILESS_MAIN(TestHTTPPage2)
#include "tst_httppage2.moc"
