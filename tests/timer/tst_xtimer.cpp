#include "FakeTimerSource.h"
#include "common/Error.h"
#include "timer/XTimer.h"
#include "timer/XTimerSupport.h"

#include <QStringList>
#include <QTest>

#include <memory>
#include <stdexcept>

using ds::XTimer;
using ds::XTimerSupport;
using ds::test::FakeTimerSource;

// The timer object's properties and its Tick listeners, over a fake source.
class TestXTimer final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsInEitherOrder_data();
    void startsInEitherOrder();
    void sameValueWritesDoNothing();
    void intervalZeroHoldsTheTimer();
    void newIntervalRestartsUnderNewId();
    void refusedStartCanBeRetried_data();
    void refusedStartCanBeRetried();
    void listenersChangingDuringTick();
    void listenerErrorLeavesRaiseTick();
    void raiseTickOutlivesLastReference();

private:
    quint32 lastId() const { return m_source->setCalls().constLast().id; }

    std::unique_ptr<FakeTimerSource> m_source;
    std::unique_ptr<XTimerSupport> m_support;
};

void TestXTimer::init() {
    m_source = std::make_unique<FakeTimerSource>();
    m_support = std::make_unique<XTimerSupport>(*m_source);
}

void TestXTimer::cleanup() {
    m_support.reset();
    m_source.reset();
}

void TestXTimer::startsInEitherOrder_data() {
    QTest::addColumn<bool>("intervalFirst");
    QTest::addColumn<qint32>("interval");

    QTest::newRow("Interval then Enabled") << true << 10;
    QTest::newRow("Enabled then Interval") << false << 10;
    QTest::newRow("negative Interval reaches the source") << true << -5;
}

void TestXTimer::startsInEitherOrder() {
    QFETCH(bool, intervalFirst);
    QFETCH(qint32, interval);

    const auto timer = XTimer::create(*m_support);
    QVERIFY(!timer->Enabled());
    QCOMPARE(timer->Interval(), 0);
    int ticks = 0;
    timer->connectTick([&ticks] { ++ticks; });
    if (intervalFirst) {
        timer->setInterval(interval);
        timer->setEnabled(true);
    } else {
        timer->setEnabled(true);
        timer->setInterval(interval);
    }
    QCOMPARE(m_source->setCalls().size(), 1);
    QCOMPARE(m_source->setCalls().constFirst().elapseMs, interval);
    QVERIFY(m_source->killCalls().isEmpty());

    m_source->fire(lastId());
    m_source->fire(lastId());
    QCOMPARE(ticks, 2);
}

void TestXTimer::sameValueWritesDoNothing() {
    const auto timer = XTimer::create(*m_support);
    timer->setInterval(10);
    timer->setEnabled(true);
    timer->setEnabled(true);
    timer->setInterval(10);
    QCOMPARE(m_source->setCalls().size(), 1);
    QVERIFY(m_source->killCalls().isEmpty());

    timer->setEnabled(false);
    timer->setEnabled(false);
    QCOMPARE(m_source->killCalls().size(), 1);
}

void TestXTimer::intervalZeroHoldsTheTimer() {
    const auto timer = XTimer::create(*m_support);
    timer->setEnabled(true);
    QVERIFY(timer->Enabled());
    QVERIFY(m_source->setCalls().isEmpty());
    QCOMPARE(m_support->TimerSlotCount(), qint16(0));

    timer->setInterval(10);
    const quint32 id = lastId();
    timer->setInterval(0);
    QVERIFY(timer->Enabled());
    QCOMPARE(m_source->killCalls(), QList<quint32>{id});
    QCOMPARE(m_source->runningCount(), 0);

    timer->setInterval(10);
    QCOMPARE(m_source->setCalls().size(), 2);
    QVERIFY(m_source->isRunning(lastId()));

    // Switching off a timer that never ran kills nothing.
    const auto idle = XTimer::create(*m_support);
    idle->setEnabled(true);
    idle->setEnabled(false);
    QCOMPARE(m_source->killCalls().size(), 1);
}

void TestXTimer::newIntervalRestartsUnderNewId() {
    const auto timer = XTimer::create(*m_support);
    int ticks = 0;
    timer->connectTick([&ticks] { ++ticks; });
    timer->setInterval(10);
    timer->setEnabled(true);
    const quint32 oldId = lastId();

    timer->setInterval(20);
    QCOMPARE(m_source->killCalls(), QList<quint32>{oldId});
    QCOMPARE(m_source->setCalls().constLast().elapseMs, 20);
    const quint32 newId = lastId();
    QVERIFY(newId != oldId);

    m_source->fire(oldId);
    QCOMPARE(ticks, 0);
    m_source->fire(newId);
    QCOMPARE(ticks, 1);
}

namespace {
enum class Write { Enabled, Interval, IntervalChange };
} // namespace

void TestXTimer::refusedStartCanBeRetried_data() {
    QTest::addColumn<int>("write");

    QTest::newRow("Enabled write") << int(Write::Enabled);
    QTest::newRow("Interval write") << int(Write::Interval);
    QTest::newRow("Interval change of a running timer") << int(Write::IntervalChange);
}

void TestXTimer::refusedStartCanBeRetried() {
    QFETCH(int, write);

    const auto timer = XTimer::create(*m_support);
    switch (Write(write)) {
    case Write::Enabled:
        timer->setInterval(10);
        m_source->refuseNext();
        QVERIFY_THROWS_EXCEPTION(ds::Error, timer->setEnabled(true));
        break;
    case Write::Interval:
        timer->setEnabled(true);
        m_source->refuseNext();
        QVERIFY_THROWS_EXCEPTION(ds::Error, timer->setInterval(10));
        break;
    case Write::IntervalChange:
        timer->setInterval(5);
        timer->setEnabled(true);
        m_source->refuseNext();
        QVERIFY_THROWS_EXCEPTION(ds::Error, timer->setInterval(10));
        QVERIFY(!m_source->isRunning(m_source->setCalls().constFirst().id));
        break;
    }
    QVERIFY(timer->Enabled());
    QCOMPARE(timer->Interval(), 10);
    QCOMPARE(m_source->runningCount(), 0);
    const qsizetype calls = m_source->setCalls().size();

    timer->setEnabled(true);
    timer->setInterval(10);
    QCOMPARE(m_source->setCalls().size(), calls);

    const qsizetype kills = m_source->killCalls().size();
    timer->setEnabled(false);
    QCOMPARE(m_source->killCalls().size(), kills);
    timer->setEnabled(true);
    QCOMPARE(m_source->setCalls().size(), calls + 1);
    QVERIFY(m_source->isRunning(lastId()));
}

void TestXTimer::listenersChangingDuringTick() {
    const auto timer = XTimer::create(*m_support);
    QStringList calls;
    XTimer::ListenerId later = 0;
    XTimer::ListenerId once = 0;
    once = timer->connectTick([&] {
        calls << QStringLiteral("once");
        timer->disconnectTick(once);
    });
    timer->connectTick([&] {
        calls << QStringLiteral("changer");
        if (later != 0) {
            timer->disconnectTick(later);
            later = 0;
            timer->connectTick([&calls] { calls << QStringLiteral("added"); });
        }
    });
    later = timer->connectTick([&calls] { calls << QStringLiteral("later"); });

    timer->RaiseTick();
    QCOMPARE(calls, QStringList({QStringLiteral("once"), QStringLiteral("changer")}));
    calls.clear();
    timer->RaiseTick();
    QCOMPARE(calls, QStringList({QStringLiteral("changer"), QStringLiteral("added")}));
}

void TestXTimer::listenerErrorLeavesRaiseTick() {
    const auto timer = XTimer::create(*m_support);
    int before = 0;
    int after = 0;
    timer->connectTick([&before] { ++before; });
    timer->connectTick([] { throw ds::Error(ds::ErrorNumber::TypeMismatch, QStringLiteral("x")); });
    timer->connectTick([&after] { ++after; });

    QVERIFY_THROWS_EXCEPTION(ds::Error, timer->RaiseTick());
    QCOMPARE(before, 1);
    QCOMPARE(after, 0);
}

void TestXTimer::raiseTickOutlivesLastReference() {
    auto timer = XTimer::create(*m_support);
    const std::weak_ptr<XTimer> watch = timer;
    XTimer* const raw = timer.get();
    int secondCalls = 0;
    timer->connectTick([&timer] { timer.reset(); });
    timer->connectTick([&] {
        ++secondCalls;
        QVERIFY(!watch.expired());
    });

    raw->RaiseTick();
    QCOMPARE(secondCalls, 1);
    QVERIFY(watch.expired());
}

QTEST_GUILESS_MAIN(TestXTimer)
#include "tst_xtimer.moc"
