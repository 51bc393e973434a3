#include "FakeTimerSource.h"
#include "common/Error.h"
#include "timer/XTimer.h"
#include "timer/XTimerSupport.h"

#include <QTest>

#include <memory>
#include <stdexcept>
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

void failingListener() {
    throw std::runtime_error("listener failed");
}

// A fake source with a table over it.
struct Rig {
    FakeTimerSource source;
    XTimerSupport support{source};

    std::shared_ptr<XTimer> start() { return runningTimer(support); }
    quint32 lastId() const { return source.setCalls().constLast().id; }

    // The slot number that holds `timer`, or 0.
    qint16 slotOf(const std::shared_ptr<XTimer>& timer) const {
        for (qint16 slot = 1; slot <= support.TimerSlotCount(); ++slot) {
            if (support.SlotOwner(slot) == timer.get()) {
                return slot;
            }
        }
        return 0;
    }

    bool anyInTick() const {
        for (qint16 slot = 1; slot <= support.TimerSlotCount(); ++slot) {
            if (support.SlotInTick(slot)) {
                return true;
            }
        }
        return false;
    }

    // A timer whose Tick failed; `id` receives the id it ran under.
    std::shared_ptr<XTimer> dropped(quint32& id) {
        auto timer = start();
        id = lastId();
        timer->connectTick(failingListener);
        source.fire(id);
        return timer;
    }
};

enum class OwnChange { Stop, Restart, NewInterval, ZeroInterval, GrowTable };
enum class LateAction { Stop, NewInterval, Release };

} // namespace

// The table of running timers and the expiry callback, driven through a fake source.
class TestXTimerSupport final : public QObject {
    Q_OBJECT

private slots:
    void tableGrowsByFiveAndReusesLowestFreeSlot();
    void refusedStartLeavesTableUntouched_data();
    void refusedStartLeavesTableUntouched();
    void expiriesDuringTick();
    void tickHandlerChangesTimers_data();
    void tickHandlerChangesTimers();
    void failingTickDropsTimerUntilRestarted();
    void lateActionOnDroppedTimerSparesReusedId_data();
    void lateActionOnDroppedTimerSparesReusedId();
    void failingHandlerSparesTimerThatTookItsSlot();
    void runningTimerOutlivesItsOwner();
    void destroyingTableEndsTimersNobodyHolds();
};

void TestXTimerSupport::tableGrowsByFiveAndReusesLowestFreeSlot() {
    Rig rig;
    std::vector<std::shared_ptr<XTimer>> timers{rig.start()};
    QCOMPARE(rig.support.TimerSlotCount(), qint16(5));
    QCOMPARE(rig.slotOf(timers[0]), qint16(1));

    for (int i = 1; i < 6; ++i) {
        timers.push_back(rig.start());
    }
    QCOMPARE(rig.support.TimerSlotCount(), qint16(10));
    QCOMPARE(rig.slotOf(timers[5]), qint16(6));
    QCOMPARE(rig.support.SlotSysId(6), rig.lastId());

    timers[2]->setEnabled(false);
    timers[4]->setEnabled(false);
    QCOMPARE(rig.support.SlotSysId(3), 0u);
    QVERIFY(!rig.support.SlotOwner(3));
    QCOMPARE(rig.slotOf(rig.start()), qint16(3));
    QCOMPARE(rig.support.TimerSlotCount(), qint16(10));
}

void TestXTimerSupport::refusedStartLeavesTableUntouched_data() {
    QTest::addColumn<qint16>("slotLimit");
    QTest::addColumn<int>("timersBefore");
    QTest::addColumn<bool>("sourceRefuses");
    QTest::addColumn<quint32>("number");
    QTest::addColumn<QString>("text");

    const quint32 noTimer = ds::ErrorNumber::NoTimerAvailable;
    const quint32 overflow = ds::ErrorNumber::Overflow;
    const qint16 max = XTimerSupport::MaxTimerSlots;
    QTest::newRow("source refuses") << max << 0 << true << noTimer << u"没有可用的计时器"_s;
    QTest::newRow("source refuses, slots full")
        << max << 5 << true << noTimer << u"没有可用的计时器"_s;
    QTest::newRow("table at its limit") << qint16(10) << 10 << false << overflow << u"溢出"_s;
    QTest::newRow("limit below one group") << qint16(4) << 0 << false << overflow << u"溢出"_s;
}

void TestXTimerSupport::refusedStartLeavesTableUntouched() {
    QFETCH(qint16, slotLimit);
    QFETCH(int, timersBefore);
    QFETCH(bool, sourceRefuses);
    QFETCH(quint32, number);
    QFETCH(QString, text);

    FakeTimerSource source;
    XTimerSupport support(source, slotLimit);
    std::vector<std::shared_ptr<XTimer>> timers;
    for (int i = 0; i < timersBefore; ++i) {
        timers.push_back(runningTimer(support));
    }
    const qint16 countBefore = support.TimerSlotCount();
    if (sourceRefuses) {
        source.refuseNext();
    }
    try {
        timers.push_back(runningTimer(support));
        QFAIL("the start was not refused");
    } catch (const ds::Error& error) {
        QCOMPARE(error.number(), number);
        QCOMPARE(error.text(), text);
    }
    QCOMPARE(support.TimerSlotCount(), countBefore);
    for (qint16 slot = 1; slot <= countBefore; ++slot) {
        QCOMPARE(support.SlotOwner(slot), slot <= timersBefore ? timers[slot - 1].get() : nullptr);
    }
    // A timer that found no slot must not be left running in the source.
    QCOMPARE(source.runningCount(), qsizetype(timersBefore));
}

void TestXTimerSupport::expiriesDuringTick() {
    Rig rig;
    auto& [source, support] = rig;
    const auto outer = rig.start();
    const quint32 outerId = rig.lastId();
    const auto inner = rig.start();
    const quint32 innerId = rig.lastId();
    int outerTicks = 0;
    int innerTicks = 0;
    bool outerGuarded = false;
    inner->connectTick([&] {
        ++innerTicks;
        outerGuarded = support.SlotInTick(1);
    });
    outer->connectTick([&] {
        if (++outerTicks == 1) {
            source.fire(outerId);
            source.fire(innerId);
            source.fire(99);
        }
    });

    source.fire(outerId);
    QCOMPARE(outerTicks, 1);
    QCOMPARE(innerTicks, 1);
    QVERIFY(outerGuarded);
    QVERIFY(!rig.anyInTick());
    // Only the id that no slot holds is ended.
    QCOMPARE(source.killCalls(), QList<quint32>{99});

    source.fire(outerId);
    QCOMPARE(outerTicks, 2);
}

void TestXTimerSupport::tickHandlerChangesTimers_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("runningAfter");
    QTest::addColumn<bool>("keepsOldId");

    QTest::newRow("Enabled false") << int(OwnChange::Stop) << false << false;
    QTest::newRow("Enabled false then true") << int(OwnChange::Restart) << true << false;
    QTest::newRow("another Interval") << int(OwnChange::NewInterval) << true << false;
    QTest::newRow("Interval 0") << int(OwnChange::ZeroInterval) << false << false;
    QTest::newRow("starts timers until the table grows")
        << int(OwnChange::GrowTable) << true << true;
}

void TestXTimerSupport::tickHandlerChangesTimers() {
    QFETCH(int, change);
    QFETCH(bool, runningAfter);
    QFETCH(bool, keepsOldId);

    Rig rig;
    auto& [source, support] = rig;
    const auto timer = rig.start();
    const quint32 oldId = rig.lastId();
    std::vector<std::shared_ptr<XTimer>> others;
    int ticks = 0;
    timer->connectTick([&] {
        if (++ticks > 1) {
            return;
        }
        switch (OwnChange(change)) {
        case OwnChange::Stop:
            timer->setEnabled(false);
            break;
        case OwnChange::Restart:
            timer->setEnabled(false);
            timer->setEnabled(true);
            break;
        case OwnChange::NewInterval:
            timer->setInterval(25);
            break;
        case OwnChange::ZeroInterval:
            timer->setInterval(0);
            break;
        case OwnChange::GrowTable:
            for (int i = 0; i < 5; ++i) {
                others.push_back(rig.start());
            }
            QCOMPARE(support.TimerSlotCount(), qint16(10));
            break;
        }
    });

    source.fire(oldId);
    QVERIFY(!rig.anyInTick());
    QCOMPARE(source.isRunning(oldId), keepsOldId);
    const qint16 slot = rig.slotOf(timer);
    QCOMPARE(slot != 0, runningAfter);
    if (runningAfter) {
        QCOMPARE(slot, qint16(1));
        source.fire(support.SlotSysId(slot));
        QCOMPARE(ticks, 2);
    }
}

void TestXTimerSupport::failingTickDropsTimerUntilRestarted() {
    Rig rig;
    auto& [source, support] = rig;
    const auto timer = rig.start();
    const quint32 id = rig.lastId();
    int ticks = 0;
    const auto failing = timer->connectTick(failingListener);
    timer->connectTick([&ticks] { ++ticks; });

    source.fire(id);
    QVERIFY(timer->Enabled());
    QVERIFY(!source.isRunning(id));
    QCOMPARE(support.SlotSysId(1), 0u);
    QVERIFY(!support.SlotOwner(1));
    QVERIFY(!support.SlotInTick(1));

    timer->disconnectTick(failing);
    timer->setEnabled(false);
    timer->setEnabled(true);
    source.fire(rig.lastId());
    QCOMPARE(ticks, 1);
}

void TestXTimerSupport::lateActionOnDroppedTimerSparesReusedId_data() {
    QTest::addColumn<int>("action");

    QTest::newRow("Enabled false") << int(LateAction::Stop);
    QTest::newRow("another Interval") << int(LateAction::NewInterval);
    QTest::newRow("last reference released") << int(LateAction::Release);
}

void TestXTimerSupport::lateActionOnDroppedTimerSparesReusedId() {
    QFETCH(int, action);

    Rig rig;
    auto& [source, support] = rig;
    quint32 id = 0;
    auto dropped = rig.dropped(id);
    // The source hands the dead id to the next timer.
    source.queueIds({id});
    const auto stranger = rig.start();
    source.clearCalls();

    switch (LateAction(action)) {
    case LateAction::Stop:
        dropped->setEnabled(false);
        break;
    case LateAction::NewInterval:
        dropped->setInterval(20);
        break;
    case LateAction::Release:
        dropped.reset();
        break;
    }
    QVERIFY(source.killCalls().isEmpty());
    QVERIFY(source.isRunning(id));
    QCOMPARE(support.SlotOwner(1), stranger.get());
}

void TestXTimerSupport::failingHandlerSparesTimerThatTookItsSlot() {
    Rig rig;
    auto& [source, support] = rig;
    const auto failing = rig.start();
    const quint32 id = rig.lastId();
    std::shared_ptr<XTimer> newcomer;
    failing->connectTick([&] {
        failing->setEnabled(false);
        source.queueIds({id});
        newcomer = rig.start();
        failingListener();
    });

    source.fire(id);
    QCOMPARE(support.SlotOwner(1), newcomer.get());
    QCOMPARE(support.SlotSysId(1), id);
    QVERIFY(source.isRunning(id));
}

void TestXTimerSupport::runningTimerOutlivesItsOwner() {
    Rig rig;
    auto timer = rig.start();
    const quint32 id = rig.lastId();
    const std::weak_ptr<XTimer> watch = timer;
    int kept = 0;
    int dropped = 0;
    timer->connectTick([&kept] { ++kept; });
    timer->disconnectTick(timer->connectTick([&dropped] { ++dropped; }));
    timer.reset();

    rig.source.fire(id);
    QCOMPARE(kept, 1);
    QCOMPARE(dropped, 0);

    // Stopping itself from its own Tick lets the last reference go once the Tick is over.
    watch.lock()->connectTick([&watch] { watch.lock()->setEnabled(false); });
    rig.source.fire(id);
    QVERIFY(watch.expired());
    QCOMPARE(kept, 2);
}

void TestXTimerSupport::destroyingTableEndsTimersNobodyHolds() {
    FakeTimerSource source;
    auto support = std::make_unique<XTimerSupport>(source);
    const std::weak_ptr<XTimer> watch = runningTimer(*support);
    const quint32 id = source.setCalls().constLast().id;

    support.reset();
    QVERIFY(watch.expired());
    QCOMPARE(source.killCalls(), QList<quint32>{id});
    // Nobody listens any more.
    source.fire(id);
}

QTEST_GUILESS_MAIN(TestXTimerSupport)
#include "tst_xtimersupport.moc"
