#include "common/Error.h"
#include "timer/QtTimerSource.h"
#include "timer/XTimer.h"
#include "timer/XTimerSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QThread>

#include <limits>
#include <memory>

using namespace Qt::StringLiterals;
using ds::QtTimerSource;
using ds::XTimer;

// The program's real timer source, on its own and behind the program-wide table.
class TestQtTimerSource final : public QObject {
    Q_OBJECT

private slots:
    void init();

    void ticksArriveOnUiThreadUntilDisabled();
    void refusesWhatItCannotRun_data();
    void refusesWhatItCannotRun();
    void negativeIntervalIsNoTimerAvailable();
    void expiriesNameTheirTimerAndEndWithTheKill();
};

void TestQtTimerSource::init() {
    // Unknown ids, late kills and refusals must all pass without Qt complaining.
    QTest::failOnWarning(QRegularExpression(u".*"_s));
}

void TestQtTimerSource::ticksArriveOnUiThreadUntilDisabled() {
    const auto timer = XTimer::create();
    int ticks = 0;
    int offThread = 0;
    timer->connectTick([&] {
        ++ticks;
        if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
            ++offThread;
        }
    });
    timer->setInterval(10);
    timer->setEnabled(true);

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 200) {
        QTest::qWait(10);
    }
    timer->setEnabled(false);
    const int ticksWhileOn = ticks;
    // About 20 expected; the bounds only rule out "never" and "far too often".
    QVERIFY2(ticksWhileOn >= 5 && ticksWhileOn <= 60, qPrintable(QString::number(ticksWhileOn)));
    QCOMPARE(offThread, 0);

    QTest::qWait(100);
    QCOMPARE(ticks, ticksWhileOn);
}

void TestQtTimerSource::refusesWhatItCannotRun_data() {
    QTest::addColumn<qint32>("elapseMs");
    QTest::addColumn<bool>("fromOtherThread");

    QTest::newRow("negative") << -1 << false;
    QTest::newRow("most negative") << std::numeric_limits<qint32>::min() << false;
    QTest::newRow("zero") << 0 << false;
    QTest::newRow("from another thread") << 10 << true;
}

void TestQtTimerSource::refusesWhatItCannotRun() {
    QFETCH(qint32, elapseMs);
    QFETCH(bool, fromOtherThread);

    QtTimerSource source;
    quint32 id = 1;
    if (fromOtherThread) {
        std::unique_ptr<QThread> thread(
            QThread::create([&source, &id, elapseMs] { id = source.SetTimer(elapseMs); }));
        thread->start();
        QVERIFY(thread->wait(5000));
    } else {
        id = source.SetTimer(elapseMs);
    }
    QCOMPARE(id, 0u);
}

void TestQtTimerSource::negativeIntervalIsNoTimerAvailable() {
    const auto timer = XTimer::create();
    timer->setEnabled(true);
    try {
        timer->setInterval(-10);
        QFAIL("a negative interval was accepted");
    } catch (const ds::Error& error) {
        QCOMPARE(error.number(), ds::ErrorNumber::NoTimerAvailable);
        QCOMPARE(error.text(), u"没有可用的计时器"_s);
    }
    timer->setInterval(0);
}

void TestQtTimerSource::expiriesNameTheirTimerAndEndWithTheKill() {
    QtTimerSource source;
    QSet<quint32> expired;
    source.setExpiryHandler([&expired](quint32 id) { expired.insert(id); });
    const quint32 first = source.SetTimer(5);
    const quint32 second = source.SetTimer(5);
    QVERIFY(first != 0 && second != 0 && first != second);

    QTRY_COMPARE(expired, QSet<quint32>({first, second}));
    source.KillTimer(first);
    source.KillTimer(first);
    source.KillTimer(0);
    source.KillTimer(0xFFFFFFFFu);
    expired.clear();
    QTRY_VERIFY(expired.contains(second));
    QTest::qWait(30);
    QVERIFY(!expired.contains(first));
    source.KillTimer(second);
}

QTEST_GUILESS_MAIN(TestQtTimerSource)
#include "tst_qttimersource.moc"
