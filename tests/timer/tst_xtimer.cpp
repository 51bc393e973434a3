#include "FakeTimerSource.h"
#include "timer/XTimer.h"
#include "timer/XTimerSupport.h"

#include <QStringList>
#include <QTest>

#include <memory>
#include <stdexcept>

using namespace Qt::StringLiterals;
using ds::XTimer;

// The Tick listeners of a timer object.
class TestXTimer final : public QObject {
    Q_OBJECT

private slots:
    void listenersChangingDuringTick();
};

void TestXTimer::listenersChangingDuringTick() {
    ds::test::FakeTimerSource source;
    ds::XTimerSupport support(source);
    auto timer = XTimer::create(support);
    XTimer* const raw = timer.get();
    const std::weak_ptr<XTimer> watch = timer;
    QStringList calls;
    XTimer::ListenerId later = 0;
    raw->connectTick([&, round = 0]() mutable {
        calls << u"changer"_s;
        if (++round == 1) {
            raw->disconnectTick(later);
            raw->connectTick([&calls] { calls << u"added"_s; });
        } else if (round == 2) {
            throw std::runtime_error("listener failed");
        } else {
            // The last reference goes while Tick still has a listener to call.
            timer.reset();
        }
    });
    later = raw->connectTick([&calls] { calls << u"later"_s; });

    raw->RaiseTick();
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, raw->RaiseTick());
    raw->RaiseTick();
    QCOMPARE(calls, QStringList({u"changer"_s, u"changer"_s, u"changer"_s, u"added"_s}));
    QVERIFY(watch.expired());
}

QTEST_GUILESS_MAIN(TestXTimer)
#include "tst_xtimer.moc"
