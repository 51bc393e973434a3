#include "FakeTimerSource.h"
#include "common/Error.h"
#include "timer/XTimer.h"
#include "timer/XTimerSupport.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTest>

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using ds::XTimer;
using ds::XTimerSupport;
using ds::test::FakeTimerSource;

namespace {

std::shared_ptr<XTimer> runningTimer(XTimerSupport& support) {
    auto timer = XTimer::create(support);
    timer->setInterval(10);
    timer->setEnabled(true);
    return timer;
}

} // namespace

// A timer T and the table of running timers around it, over a fake source.
class TestXTimerSupport final : public QObject {
    Q_OBJECT

private slots:
    void script_data();
    void script();
    void destroyingTableEndsTimersNobodyHolds();
};

void TestXTimerSupport::script_data() {
    // Steps: I<n> Interval of T; E0/E1 Enabled of T; X the source refuses its next start;
    // G<n> start n more timers; N start one more, which the source gives the id T last ran
    // under; T that id expires; U<n> id n expires; F fail; R release the test's reference to T.
    // Steps after "|" are run by T's first Tick. The source numbers its timers 1, 2, 3, ...;
    // the table is capped at 10 slots so that its limit is in reach.
    QTest::addColumn<QString>("steps");
    // What T asked the source for, the ids killed, T's errors, the slot count, T's slot and the
    // ticks of every timer; empty or zero fields left out.
    QTest::addColumn<QString>("outcome");

    QTest::newRow("Interval 0 never starts, a later one does")
        << u"E1 E0 E1 I10 T"_s << u"starts=10 slots=5 at=1 ticks=1"_s;
    QTest::newRow("same values again, off twice")
        << u"I10 E1 E1 I10 E0 E0"_s << u"starts=10 kills=1 slots=5"_s;
    QTest::newRow("another Interval restarts, 0 holds")
        << u"I10 E1 I20 I0 I30 T"_s << u"starts=10,20,30 kills=1,2 slots=5 at=1 ticks=1"_s;
    QTest::newRow("refused: Enabled stays true")
        << u"I10 X E1 E1"_s << u"starts=10 errors=refused"_s;
    QTest::newRow("refused: false then true retries")
        << u"I10 X E1 E0 E1 T"_s << u"starts=10,10 errors=refused slots=5 at=1 ticks=1"_s;
    QTest::newRow("refused restart stops the old timer")
        << u"I5 E1 X I10"_s << u"starts=5,10 kills=1 errors=refused slots=5"_s;
    QTest::newRow("table grows by five") << u"G5 I10 E1"_s << u"starts=10 slots=10 at=6"_s;
    QTest::newRow("lowest free slot reused")
        << u"I10 E1 G2 E0 E1"_s << u"starts=10,10 kills=1 slots=5 at=1"_s;
    QTest::newRow("table at its limit")
        << u"G10 I10 E1"_s << u"starts=10 kills=11 errors=overflow slots=10"_s;
    QTest::newRow("id no slot holds") << u"U99"_s << u"kills=99"_s;
    QTest::newRow("id 0, which free slots hold") << u"I10 E1 U0"_s << u"starts=10 slots=5 at=1"_s;

    QTest::newRow("Tick restarts T, then sets another Interval")
        << u"I10 E1 T T | E0 E1 I25"_s << u"starts=10,10,25 kills=1,2 slots=5 at=1 ticks=2"_s;
    QTest::newRow("Tick grows the table")
        << u"I10 E1 T T | G5"_s << u"starts=10 slots=10 at=1 ticks=2"_s;
    // During T's Tick its own expiry is dropped; another timer's is not.
    QTest::newRow("expiries during the Tick")
        << u"G1 I10 E1 T T | T U1"_s << u"starts=10 slots=5 at=2 ticks=3"_s;
    QTest::newRow("owner lets go, Tick stops T")
        << u"I10 E1 R T | E0"_s << u"starts=10 kills=1 slots=5 ticks=1"_s;
    // A failed Tick drops T from the table but leaves Enabled as it was.
    QTest::newRow("Tick fails; false then true restarts")
        << u"I10 E1 T E1 E0 E1 T | F"_s << u"starts=10,10 kills=1 slots=5 at=1 ticks=2"_s;
    // Once an id is dead the source may hand it out again; only its new holder may stop it.
    QTest::newRow("Tick stops T, newer takes the id, Tick fails")
        << u"I10 E1 T | E0 N F"_s << u"starts=10 kills=1 slots=5 ticks=1"_s;
    QTest::newRow("Tick fails, newer takes the id, T stopped")
        << u"I10 E1 T N E0 | F"_s << u"starts=10 kills=1 slots=5 ticks=1"_s;
    QTest::newRow("Tick fails, newer takes the id, T released")
        << u"I10 E1 T N R | F"_s << u"starts=10 kills=1 slots=5 ticks=1"_s;
}

void TestXTimerSupport::script() {
    QFETCH(QString, steps);
    QFETCH(QString, outcome);

    FakeTimerSource source;
    XTimerSupport support(source, 10);
    auto timer = XTimer::create(support);
    XTimer* const t = timer.get();
    const std::weak_ptr<XTimer> watch = timer;
    std::vector<std::shared_ptr<XTimer>> others;
    QStringList starts;
    QStringList errors;
    quint32 lastId = 0;
    int ticks = 0;
    const auto startOther = [&] {
        others.push_back(runningTimer(support));
        others.back()->connectTick([&ticks] { ++ticks; });
    };
    std::function<void(const QString&)> play = [&](const QString& part) {
        for (const QString& step : part.split(u' ', Qt::SkipEmptyParts)) {
            const char op = step.at(0).toLatin1();
            const int n = step.mid(1).toInt();
            const qsizetype calls = source.setCalls().size();
            try {
                if (op == 'I') {
                    t->setInterval(n);
                } else if (op == 'E') {
                    t->setEnabled(n != 0);
                } else if (op == 'X') {
                    source.refuseNext();
                } else if (op == 'G') {
                    for (int i = 0; i < n; ++i) {
                        startOther();
                    }
                } else if (op == 'N') {
                    source.queueIds({lastId});
                    startOther();
                } else if (op == 'T' || op == 'U') {
                    source.fire(op == 'T' ? lastId : quint32(n));
                } else if (op == 'F') {
                    throw std::runtime_error("Tick failed");
                } else {
                    timer.reset();
                }
            } catch (const ds::Error& e) {
                errors << (e.number() == ds::ErrorNumber::Overflow ? u"overflow"_s : u"refused"_s);
            }
            for (const auto& call : source.setCalls().sliced(calls)) {
                if (op == 'I' || op == 'E') {
                    starts << QString::number(call.elapseMs);
                    lastId = call.id != 0 ? call.id : lastId;
                }
            }
        }
    };
    t->connectTick([&, first = true]() mutable {
        ++ticks;
        if (std::exchange(first, false)) {
            play(steps.section(u'|', 1));
        }
    });

    play(steps.section(u'|', 0, 0));
    qint16 slotOfT = 0;
    qsizetype held = 0;
    for (qint16 slot = 1; slot <= support.TimerSlotCount(); ++slot) {
        const quint32 id = support.SlotSysId(slot);
        // A slot is in use exactly when its source timer runs, and nothing else runs.
        QCOMPARE(support.SlotOwner(slot) != nullptr, id != 0 && source.isRunning(id));
        held += id != 0 ? 1 : 0;
        slotOfT = support.SlotOwner(slot) == watch.lock().get() && id != 0 ? slot : slotOfT;
    }
    QCOMPARE(source.runningCount(), held);
    QStringList kills;
    for (const quint32 id : source.killCalls()) {
        kills << QString::number(id);
    }
    const QStringList fields{
        u"starts="_s + starts.join(u','), u"kills="_s + kills.join(u','),
        u"errors="_s + errors.join(u','), u"slots=%1"_s.arg(support.TimerSlotCount()),
        u"at=%1"_s.arg(slotOfT),          u"ticks=%1"_s.arg(ticks)};
    QCOMPARE(fields.filter(QRegularExpression(u"=(?!0?$)"_s)).join(u' '), outcome);
}

void TestXTimerSupport::destroyingTableEndsTimersNobodyHolds() {
    FakeTimerSource source;
    auto support = std::make_unique<XTimerSupport>(source);
    const std::weak_ptr<XTimer> watch = runningTimer(*support);

    support.reset();
    QVERIFY(watch.expired());
    QCOMPARE(source.killCalls(), QList<quint32>{1});
    // Nobody listens any more.
    source.fire(1);
}

QTEST_GUILESS_MAIN(TestXTimerSupport)
#include "tst_xtimersupport.moc"
