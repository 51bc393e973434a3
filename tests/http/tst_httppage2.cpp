#include "HttpPageHarness.h"
#include "common/Error.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using ds::HTTPPage2;

enum class Reaction { None, Throw, Destroy, DestroyThenThrow, Restart };
Q_DECLARE_METATYPE(Reaction)

// HTTPPage2 over a local service, polled through a timer source fired by hand:
// the outcome of each kind of reply, also when the owner's handler throws,
// destroys or restarts the page; what a second call does to a running request;
// and that a stopped or destroyed request never reports.
class TestHTTPPage2 final : public QObject {
    Q_OBJECT

    std::unique_ptr<ds::test::HttpPageHarness> m_h;

private Q_SLOTS:
    void init() {
        m_h = std::make_unique<ds::test::HttpPageHarness>();
        QVERIFY(m_h->listening());
    }
    void cleanup() { m_h.reset(); }

    void outcome_data() {
        QTest::addColumn<QString>("url"); // %1 stands for the local service
        QTest::addColumn<Reaction>("reaction");
        QTest::addColumn<QStringList>("expected");

        const auto row = [](const char* name, const QString& url, const QStringList& expected,
                            Reaction reaction = Reaction::None) {
            QTest::newRow(name) << url << reaction << expected;
        };
        row("empty body", u"%1"_s, {u"失败3"_s});
        row("two bytes", u"%1ab"_s, {u"失败3"_s});
        row("three bytes", u"%1yes"_s, {u"yes"_s});
        row("gbk under gb2312", u"%1%88%D2%E9%46"_s, {u"堃镕"_s});
        row("error status gives its page", u"%1missing"_s, {u"missing"_s});
        row("connection dropped", u"%1dropped"_s, {u"失败2"_s});
        row("redirect followed", u"%1moved"_s, {u"landed"_s});
        row("body over 8 MiB", u"%1huge"_s, {u"失败2"_s});
        row("bytes the charset rejects", u"%1ab%FF"_s, {u"失败4"_s});
        row("spaces around the address", u"  %1spaced?q=1  "_s, {u"spaced"_s});
        row("never answered", u"%1slow"_s, {u"失败"_s});
        // The handler reacts to every event, so a throw on "失败4" must not loop.
        row("handler throws", u"%1abc"_s, {u"abc"_s, u"失败4"_s}, Reaction::Throw);
        row("handler destroys", u"%1abc"_s, {u"abc"_s}, Reaction::Destroy);
        row("handler destroys, then throws", u"%1abc"_s, {u"abc"_s}, Reaction::DestroyThenThrow);
        row("handler destroys on a time-out", u"%1slow"_s, {u"失败"_s}, Reaction::Destroy);
        row("handler restarts", u"%1abc"_s, {u"abc"_s, u"again"_s}, Reaction::Restart);
    }

    void outcome() {
        QFETCH(QString, url);
        QFETCH(Reaction, reaction);
        QFETCH(QStringList, expected);

        std::shared_ptr<HTTPPage2> page = HTTPPage2::create(m_h->timers());
        const std::weak_ptr<HTTPPage2> watch = page;
        page->onHttpEvent([&](const QString& code) {
            m_h->events().append(code);
            if (reaction == Reaction::Restart && code == u"abc"_s)
                page->SubIniData(m_h->url(u"again"_s), u"gb2312"_s);
            if (reaction == Reaction::Destroy || reaction == Reaction::DestroyThenThrow)
                page.reset();
            if (reaction == Reaction::Throw || reaction == Reaction::DestroyThenThrow)
                throw ds::Error(ds::ErrorNumber::Overflow, u"handler failed"_s);
        });
        page->SubIniData(url.replace(u"%1"_s, m_h->url({})), u"gb2312"_s, u"1"_s);
        m_h->settle(expected.size());
        QCOMPARE(m_h->events(), expected);
        QCOMPARE(m_h->source().runningCount(), 0);
        QCOMPARE(watch.expired(), !page);
    }

    void secondCall_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("timeout");
        QTest::addColumn<quint32>("error");
        QTest::addColumn<QStringList>("expected");

        using namespace ds::ErrorNumber;
        const QStringList untouched{QString(), u"first"_s};
        QTest::newRow("replaces") << u"%1second"_s << u"1"_s << 0u << QStringList{u"second"_s};
        QTest::newRow("empty address") << QString() << u"ten"_s << 0u << untouched;
        QTest::newRow("all spaces") << u"    "_s << u"1"_s << 0u << untouched;
        QTest::newRow("time-out not a number")
            << u"%1"_s << u"ten"_s << TypeMismatch << QStringList();
        QTest::newRow("no scheme") << u"example.com"_s << u"1"_s << HttpFailure << QStringList();
        QTest::newRow("no timer available")
            << u"%1"_s << u"1"_s << NoTimerAvailable << QStringList();
    }

    void secondCall() {
        QFETCH(QString, url);
        QFETCH(QString, timeout);
        QFETCH(quint32, error);
        QFETCH(QStringList, expected);

        const auto page = m_h->makePage();
        page->SubIniData(m_h->url(u"first"_s), u"gb2312"_s);
        if (error == ds::ErrorNumber::NoTimerAvailable)
            m_h->source().refuseNext();
        try {
            page->SubIniData(url.replace(u"%1"_s, m_h->url({})), u"gb2312"_s, timeout);
            QCOMPARE(error, 0u);
        } catch (const ds::Error& refusal) {
            QCOMPARE(refusal.number(), error);
            // Neither the abandoned request nor the refused one may go on.
            QCOMPARE(m_h->source().runningCount(), 0);
        }
        // An empty address is reported inside the call; nothing else is.
        QCOMPARE(m_h->events(), expected.mid(0, expected.count(QString())));
        m_h->settle(expected.size());
        QCOMPARE(m_h->events(), expected);
    }

    void stoppedOrDestroyedNeverReports() {
        auto page = m_h->makePage();
        page->SubIniData(m_h->url(u"slow"_s), u"gb2312"_s, u"-1"_s);
        const quint32 stoppedTimer = m_h->newestTimer();
        page->StopByHand();
        QCOMPARE(m_h->source().runningCount(), 0);
        // An expiry that was already on its way changes nothing.
        m_h->source().fire(stoppedTimer);

        page->SubIniData(m_h->url(u"slow"_s), u"gb2312"_s);
        QTRY_COMPARE(m_h->server().outstanding(), 1);
        page.reset();
        QCOMPARE(m_h->source().runningCount(), 0);
        // The abandoned request is aborted, not left to run.
        QTRY_COMPARE(m_h->server().outstanding(), 0);
        QVERIFY(m_h->events().isEmpty());
    }

    void aboutBlankReportsOnceWithRealTimers() {
        QStringList events;
        const auto page = HTTPPage2::create();
        page->onHttpEvent([&](const QString& code) { events.append(code); });
        page->SubIniData(u"about:blank"_s, u"gb2312"_s);
        QVERIFY(events.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(events.size(), 1, 10000);
        QTest::qWait(100);
        QCOMPARE(events, QStringList{u"失败2"_s});
    }
};

QTEST_GUILESS_MAIN(TestHTTPPage2)
#include "tst_httppage2.moc"
