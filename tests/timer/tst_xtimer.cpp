#include "FakeTimerSource.h"
#include "common/Error.h"
#include "timer/XTimer.h"
#include "timer/XTimerSupport.h"

#include <QStringList>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using ds::XTimer;
using ds::XTimerSupport;
using ds::test::FakeTimerSource;

// The timer object's properties and its Tick listeners, over a fake source.
class TestXTimer final : public QObject {
    Q_OBJECT

private slots:
    void propertyWrites_data();
    void propertyWrites();
    void listenersChangingDuringTick();
    void listenerErrorLeavesRaiseTick();
    void raiseTickOutlivesLastReference();
};

void TestXTimer::propertyWrites_data() {
    // Writes: "I<n>" Interval, "E1"/"E0" Enabled, "R" the source refuses its next start.
    QTest::addColumn<QString>("writes");
    QTest::addColumn<QList<qint32>>("starts");
    QTest::addColumn<int>("kills");
    QTest::addColumn<int>("errors");
    QTest::addColumn<bool>("running");

    using Starts = QList<qint32>;
    QTest::newRow("new object") << u""_s << Starts{} << 0 << 0 << false;
    QTest::newRow("Interval then Enabled") << u"I10 E1"_s << Starts{10} << 0 << 0 << true;
    QTest::newRow("Enabled then Interval") << u"E1 I10"_s << Starts{10} << 0 << 0 << true;
    QTest::newRow("negative Interval to the source") << u"I-5 E1"_s << Starts{-5} << 0 << 0 << true;
    QTest::newRow("same values again") << u"I10 E1 E1 I10"_s << Starts{10} << 0 << 0 << true;
    QTest::newRow("Enabled with Interval 0") << u"E1"_s << Starts{} << 0 << 0 << false;
    QTest::newRow("Interval 0 holds, non-zero resumes")
        << u"I10 E1 I0 I10"_s << Starts{10, 10} << 1 << 0 << true;
    QTest::newRow("another Interval restarts")
        << u"I10 E1 I20"_s << Starts{10, 20} << 1 << 0 << true;
    QTest::newRow("off twice") << u"I10 E1 E0 E0"_s << Starts{10} << 1 << 0 << false;
    QTest::newRow("off without a timer") << u"E1 E0"_s << Starts{} << 0 << 0 << false;
    QTest::newRow("refused, same value again") << u"I10 R E1 E1"_s << Starts{10} << 0 << 1 << false;
    QTest::newRow("refused, off and on retries")
        << u"I10 R E1 E0 E1"_s << Starts{10, 10} << 0 << 1 << true;
    QTest::newRow("refused Interval, another retries")
        << u"E1 R I10 I20"_s << Starts{10, 20} << 0 << 1 << true;
    QTest::newRow("refused restart stops the old timer")
        << u"I5 E1 R I10"_s << Starts{5, 10} << 1 << 1 << false;
}

void TestXTimer::propertyWrites() {
    QFETCH(QString, writes);
    QFETCH(QList<qint32>, starts);
    QFETCH(int, kills);
    QFETCH(int, errors);
    QFETCH(bool, running);

    FakeTimerSource source;
    XTimerSupport support(source);
    const auto timer = XTimer::create(support);
    bool enabled = false;
    qint32 interval = 0;
    int failures = 0;
    for (const QString& write : writes.split(u' ', Qt::SkipEmptyParts)) {
        try {
            if (write == u"R") {
                source.refuseNext();
            } else if (write.startsWith(u'E')) {
                enabled = write == u"E1";
                timer->setEnabled(enabled);
            } else {
                interval = write.mid(1).toInt();
                timer->setInterval(interval);
            }
        } catch (const ds::Error&) {
            ++failures;
        }
    }
    // A refused start still stores what was written.
    QCOMPARE(timer->Enabled(), enabled);
    QCOMPARE(timer->Interval(), interval);
    QList<qint32> seen;
    for (const auto& call : source.setCalls()) {
        seen << call.elapseMs;
    }
    QCOMPARE(seen, starts);
    QCOMPARE(source.killCalls().size(), kills);
    QCOMPARE(failures, errors);
    QCOMPARE(source.runningCount(), running ? 1 : 0);
    if (running) {
        int ticks = 0;
        timer->connectTick([&ticks] { ++ticks; });
        source.fire(source.setCalls().constLast().id);
        QCOMPARE(ticks, 1);
    }
}

void TestXTimer::listenersChangingDuringTick() {
    FakeTimerSource source;
    XTimerSupport support(source);
    const auto timer = XTimer::create(support);
    QStringList calls;
    XTimer::ListenerId later = 0;
    XTimer::ListenerId once = 0;
    once = timer->connectTick([&] {
        calls << u"once"_s;
        timer->disconnectTick(once);
    });
    timer->connectTick([&] {
        calls << u"changer"_s;
        if (later != 0) {
            timer->disconnectTick(later);
            later = 0;
            timer->connectTick([&calls] { calls << u"added"_s; });
        }
    });
    later = timer->connectTick([&calls] { calls << u"later"_s; });

    timer->RaiseTick();
    QCOMPARE(calls, QStringList({u"once"_s, u"changer"_s}));
    calls.clear();
    timer->RaiseTick();
    QCOMPARE(calls, QStringList({u"changer"_s, u"added"_s}));
}

void TestXTimer::listenerErrorLeavesRaiseTick() {
    FakeTimerSource source;
    XTimerSupport support(source);
    const auto timer = XTimer::create(support);
    int after = 0;
    timer->connectTick([] { throw ds::Error(ds::ErrorNumber::TypeMismatch, u"x"_s); });
    timer->connectTick([&after] { ++after; });

    QVERIFY_THROWS_EXCEPTION(ds::Error, timer->RaiseTick());
    QCOMPARE(after, 0);
}

void TestXTimer::raiseTickOutlivesLastReference() {
    FakeTimerSource source;
    XTimerSupport support(source);
    auto timer = XTimer::create(support);
    const std::weak_ptr<XTimer> watch = timer;
    XTimer* const raw = timer.get();
    bool aliveForSecond = false;
    timer->connectTick([&timer] { timer.reset(); });
    timer->connectTick([&] { aliveForSecond = !watch.expired(); });

    raw->RaiseTick();
    QVERIFY(aliveForSecond);
    QVERIFY(watch.expired());
}

QTEST_GUILESS_MAIN(TestXTimer)
#include "tst_xtimer.moc"
