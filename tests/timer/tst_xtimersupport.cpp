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

// The slot number that holds `timer`, or 0.
qint16 slotOf(const XTimerSupport& support, const std::shared_ptr<XTimer>& timer) {
    for (qint16 slot = 1; slot <= support.TimerSlotCount(); ++slot) {
        if (support.SlotOwner(slot) == timer.get()) {
            return slot;
        }
    }
    return 0;
}

std::shared_ptr<XTimer> runningTimer(XTimerSupport& support) {
    auto timer = XTimer::create(support);
    timer->setInterval(10);
    timer->setEnabled(true);
    return timer;
}

// A fake source with a table over it.
struct Rig {
    FakeTimerSource source;
    XTimerSupport support{source};

    std::shared_ptr<XTimer> start() { return runningTimer(support); }
    quint32 lastId() const { return source.setCalls().constLast().id; }

    // A timer whose Tick failed; `id` receives the id it ran under.
    std::shared_ptr<XTimer> dropped(quint32& id) {
        auto timer = start();
        id = lastId();
        timer->connectTick([] { throw std::runtime_error("listener failed"); });
        source.fire(id);
        return timer;
    }
};

} // namespace

// The table of running timers and the expiry callback, driven through a fake source.
class TestXTimerSupport final : public QObject {
    Q_OBJECT

private slots:
    void tableGrowsByFiveAndReusesLowestFreeSlot();
    void refusedStartLeavesTableUntouched_data();
    void refusedStartLeavesTableUntouched();
    void expiryOfUnknownIdKillsItWithoutTick();
    void ownExpiryDuringTickIsDroppedOthersNest();
    void tickHandlerChangesItsOwnTimer_data();
    void tickHandlerChangesItsOwnTimer();
    void tickHandlerGrowingTableFinishesOnRightSlot();
    void failingTickDropsTimerUntilRestarted();
    void lateActionOnDroppedTimerSparesReusedId_data();
    void lateActionOnDroppedTimerSparesReusedId();
    void failingHandlerSparesTimerThatTookItsSlot();
    void runningTimerOutlivesItsOwner();
    void destroyingTableEndsTimersNobodyHolds();
};

void TestXTimerSupport::tableGrowsByFiveAndReusesLowestFreeSlot() {
    Rig rig;
    auto& [source, support] = rig;
    QCOMPARE(support.TimerSlotCount(), qint16(0));

    std::vector<std::shared_ptr<XTimer>> timers;
    timers.push_back(rig.start());
    QCOMPARE(support.TimerSlotCount(), qint16(5));
    QCOMPARE(slotOf(support, timers[0]), qint16(1));

    for (int i = 1; i < 6; ++i) {
        timers.push_back(rig.start());
    }
    QCOMPARE(support.TimerSlotCount(), qint16(10));
    QCOMPARE(slotOf(support, timers[5]), qint16(6));
    QCOMPARE(support.SlotSysId(6), source.setCalls().at(5).id);

    timers[2]->setEnabled(false);
    timers[4]->setEnabled(false);
    QCOMPARE(support.SlotSysId(3), 0u);
    QVERIFY(!support.SlotOwner(3));
    const auto next = rig.start();
    QCOMPARE(slotOf(support, next), qint16(3));
    QCOMPARE(support.TimerSlotCount(), qint16(10));
}

void TestXTimerSupport::refusedStartLeavesTableUntouched_data() {
    QTest::addColumn<qint16>("slotLimit");
    QTest::addColumn<int>("timersBefore");
    QTest::addColumn<bool>("sourceRefuses");
    QTest::addColumn<quint32>("number");
    QTest::addColumn<QString>("text");

    const quint32 noTimer = ds::ErrorNumber::NoTimerAvailable;
    const quint32 overflow = ds::ErrorNumber::Overflow;
    QTest::newRow("source refuses the first timer")
        << XTimerSupport::MaxTimerSlots << 0 << true << noTimer << u"没有可用的计时器"_s;
    QTest::newRow("source refuses with a full slot group")
        << XTimerSupport::MaxTimerSlots << 5 << true << noTimer << u"没有可用的计时器"_s;
    QTest::newRow("table at its limit") << qint16(10) << 10 << false << overflow << u"溢出"_s;
    QTest::newRow("limit below the first group")
        << qint16(4) << 0 << false << overflow << u"溢出"_s;
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

    auto timer = XTimer::create(support);
    timer->setInterval(10);
    try {
        timer->setEnabled(true);
        QFAIL("the start was not refused");
    } catch (const ds::Error& error) {
        QCOMPARE(error.number(), number);
        QCOMPARE(error.text(), text);
    }
    QVERIFY(timer->Enabled());
    QCOMPARE(support.TimerSlotCount(), countBefore);
    QCOMPARE(slotOf(support, timer), qint16(0));
    // A timer that found no slot must not be left running in the source.
    QCOMPARE(source.runningCount(), qsizetype(timersBefore));

    timer->setEnabled(true);
    QCOMPARE(source.setCalls().size(), timersBefore + 1);
}

void TestXTimerSupport::expiryOfUnknownIdKillsItWithoutTick() {
    Rig rig;
    auto& [source, support] = rig;
    const auto timer = rig.start();
    int ticks = 0;
    timer->connectTick([&ticks] { ++ticks; });

    source.fire(99);
    QCOMPARE(ticks, 0);
    QCOMPARE(source.killCalls(), QList<quint32>{99});

    // An expiry that was pending when its timer stopped ends the same way.
    const quint32 id = rig.lastId();
    timer->setEnabled(false);
    source.clearCalls();
    source.fire(id);
    QCOMPARE(ticks, 0);
    QCOMPARE(source.killCalls(), QList<quint32>{id});
}

void TestXTimerSupport::ownExpiryDuringTickIsDroppedOthersNest() {
    Rig rig;
    auto& [source, support] = rig;
    const auto outer = rig.start();
    const auto inner = rig.start();
    const quint32 outerId = source.setCalls().at(0).id;
    const quint32 innerId = source.setCalls().at(1).id;
    int outerTicks = 0;
    int innerTicks = 0;
    bool innerSawOuterInTick = false;
    inner->connectTick([&] {
        ++innerTicks;
        innerSawOuterInTick = support.SlotInTick(slotOf(support, outer));
    });
    outer->connectTick([&] {
        if (++outerTicks == 1) {
            source.fire(outerId);
            source.fire(innerId);
            source.fire(outerId);
        }
    });

    source.fire(outerId);
    QCOMPARE(outerTicks, 1);
    QCOMPARE(innerTicks, 1);
    QVERIFY(innerSawOuterInTick);
    QVERIFY(!support.SlotInTick(1));
    QVERIFY(!support.SlotInTick(2));
    QVERIFY(source.killCalls().isEmpty());

    source.fire(outerId);
    QCOMPARE(outerTicks, 2);
}

namespace {
enum class OwnChange { Stop, Restart, NewInterval, ZeroInterval };
} // namespace

void TestXTimerSupport::tickHandlerChangesItsOwnTimer_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<qint32>("newElapse");
    QTest::addColumn<bool>("enabledAfter");

    QTest::newRow("Enabled false") << int(OwnChange::Stop) << 0 << false;
    QTest::newRow("Enabled false then true") << int(OwnChange::Restart) << 10 << true;
    QTest::newRow("another Interval") << int(OwnChange::NewInterval) << 25 << true;
    QTest::newRow("Interval 0") << int(OwnChange::ZeroInterval) << 0 << true;
}

void TestXTimerSupport::tickHandlerChangesItsOwnTimer() {
    QFETCH(int, change);
    QFETCH(qint32, newElapse);
    QFETCH(bool, enabledAfter);

    Rig rig;
    auto& [source, support] = rig;
    const auto timer = rig.start();
    const quint32 oldId = rig.lastId();
    int ticks = 0;
    bool handlerFinished = false;
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
        }
        handlerFinished = true;
    });
    source.clearCalls();

    source.fire(oldId);
    QVERIFY(handlerFinished);
    QCOMPARE(timer->Enabled(), enabledAfter);
    QCOMPARE(source.killCalls(), QList<quint32>{oldId});
    QVERIFY(!support.SlotInTick(1));

    if (newElapse == 0) {
        QVERIFY(source.setCalls().isEmpty());
        QCOMPARE(support.SlotSysId(1), 0u);
        QCOMPARE(source.runningCount(), 0);
    } else {
        QCOMPARE(source.setCalls().size(), 1);
        QCOMPARE(source.setCalls().constFirst().elapseMs, newElapse);
        const quint32 newId = source.setCalls().constFirst().id;
        QCOMPARE(support.SlotSysId(1), newId);
        source.fire(newId);
        QCOMPARE(ticks, 2);
    }
    source.fire(oldId);
    QCOMPARE(ticks, newElapse == 0 ? 1 : 2);
}

void TestXTimerSupport::tickHandlerGrowingTableFinishesOnRightSlot() {
    Rig rig;
    auto& [source, support] = rig;
    std::vector<std::shared_ptr<XTimer>> started;
    for (int i = 0; i < 3; ++i) {
        started.push_back(rig.start());
    }
    const auto timer = rig.start();
    const quint32 id = rig.lastId();
    int ticks = 0;
    timer->connectTick([&] {
        if (++ticks == 1) {
            for (int i = 0; i < 8; ++i) {
                started.push_back(rig.start());
            }
        }
    });

    source.fire(id);
    QCOMPARE(support.TimerSlotCount(), qint16(15));
    QCOMPARE(slotOf(support, timer), qint16(4));
    QCOMPARE(support.SlotSysId(4), id);
    for (qint16 slot = 1; slot <= support.TimerSlotCount(); ++slot) {
        QVERIFY2(!support.SlotInTick(slot), qPrintable(QString::number(slot)));
    }
    source.fire(id);
    QCOMPARE(ticks, 2);
}

void TestXTimerSupport::failingTickDropsTimerUntilRestarted() {
    Rig rig;
    auto& [source, support] = rig;
    const auto timer = rig.start();
    const quint32 id = rig.lastId();
    int ticks = 0;
    bool fail = true;
    timer->connectTick([&] {
        ++ticks;
        if (fail) {
            throw std::runtime_error("listener failed");
        }
    });

    source.fire(id);
    QCOMPARE(ticks, 1);
    QVERIFY(timer->Enabled());
    QVERIFY(!source.isRunning(id));
    QCOMPARE(support.SlotSysId(1), 0u);
    QVERIFY(!support.SlotOwner(1));
    QVERIFY(!support.SlotInTick(1));
    source.fire(id);
    QCOMPARE(ticks, 1);

    fail = false;
    timer->setEnabled(true);
    QCOMPARE(source.setCalls().size(), 1);
    timer->setEnabled(false);
    timer->setEnabled(true);
    const quint32 newId = rig.lastId();
    source.fire(newId);
    QCOMPARE(ticks, 2);
}

namespace {
enum class LateAction { Stop, NewInterval, Release };
} // namespace

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
    int strangerTicks = 0;
    stranger->connectTick([&strangerTicks] { ++strangerTicks; });
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
    source.fire(id);
    QCOMPARE(strangerTicks, 1);
}

void TestXTimerSupport::failingHandlerSparesTimerThatTookItsSlot() {
    Rig rig;
    auto& [source, support] = rig;
    const auto failing = rig.start();
    const quint32 id = rig.lastId();
    std::shared_ptr<XTimer> newcomer;
    failing->connectTick([&] {
        failing->setEnabled(false);
        // The source hands the freed id straight to the next timer.
        source.queueIds({id});
        newcomer = rig.start();
        throw std::runtime_error("listener failed");
    });

    source.fire(id);
    QCOMPARE(support.SlotOwner(1), newcomer.get());
    QCOMPARE(support.SlotSysId(1), id);
    QVERIFY(source.isRunning(id));
    QCOMPARE(source.killCalls(), QList<quint32>{id});
}

void TestXTimerSupport::runningTimerOutlivesItsOwner() {
    Rig rig;
    auto& [source, support] = rig;
    auto timer = rig.start();
    const quint32 id = rig.lastId();
    const std::weak_ptr<XTimer> watch = timer;
    int kept = 0;
    int dropped = 0;
    timer->connectTick([&kept] { ++kept; });
    const auto droppedId = timer->connectTick([&dropped] { ++dropped; });
    timer->disconnectTick(droppedId);
    timer.reset();

    source.fire(id);
    source.fire(id);
    QVERIFY(!watch.expired());
    QCOMPARE(kept, 2);
    QCOMPARE(dropped, 0);

    // Stopping itself from its own Tick lets the last reference go once the Tick is over.
    watch.lock()->connectTick([&watch] { watch.lock()->setEnabled(false); });
    source.fire(id);
    QVERIFY(watch.expired());
    QCOMPARE(kept, 3);
    QCOMPARE(source.killCalls(), QList<quint32>{id});
}

void TestXTimerSupport::destroyingTableEndsTimersNobodyHolds() {
    FakeTimerSource source;
    auto support = std::make_unique<XTimerSupport>(source);
    std::weak_ptr<XTimer> watch = runningTimer(*support);
    const quint32 id = source.setCalls().constLast().id;
    QVERIFY(!watch.expired());

    support.reset();
    QVERIFY(watch.expired());
    QCOMPARE(source.killCalls(), QList<quint32>{id});
    // Expiries after the table is gone reach nobody.
    source.fire(id);
}

QTEST_GUILESS_MAIN(TestXTimerSupport)
#include "tst_xtimersupport.moc"
