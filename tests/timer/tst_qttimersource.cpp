#include "common/Error.h"
#include "timer/XTimer.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

// The program's real timer source behind the program-wide table.
class TestQtTimerSource final : public QObject {
    Q_OBJECT

private slots:
    void ticksArriveOnUiThreadUntilDisabled();
};

void TestQtTimerSource::ticksArriveOnUiThreadUntilDisabled() {
    // Kills and refusals must all pass without Qt complaining.
    QTest::failOnWarning(QRegularExpression(u".*"_s));
    const auto timer = ds::XTimer::create();
    int ticks = 0;
    bool offThread = false;
    timer->connectTick([&] {
        ++ticks;
        offThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
    });
    timer->setInterval(10);
    timer->setEnabled(true);

    QTest::qWait(200);
    timer->setEnabled(false);
    const int ticksWhileOn = ticks;
    // About 20 expected; the bounds only rule out "never" and "far too often".
    QVERIFY2(ticksWhileOn >= 5 && ticksWhileOn <= 60, qPrintable(QString::number(ticksWhileOn)));
    QVERIFY(!offThread);
    QTest::qWait(100);
    QCOMPARE(ticks, ticksWhileOn);

    // The source refuses what Qt would only warn about.
    timer->setInterval(-10);
    QVERIFY_THROWS_EXCEPTION(ds::Error, timer->setEnabled(true));
}

QTEST_GUILESS_MAIN(TestQtTimerSource)
#include "tst_qttimersource.moc"
