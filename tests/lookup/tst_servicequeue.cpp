#include "lookup/ServiceQueue.h"

#include <QElapsedTimer>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using ds::ServiceQueue;

// Turns at services: how long a back-off holds one, and that the pause after a
// turn, a back-off included, holds only the service it belongs to.
class TestServiceQueue final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void backOff_data() {
        QTest::addColumn<int>("inRow");
        QTest::addColumn<qint64>("retryAfter"); // -1: none given
        QTest::addColumn<int>("interval");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("first, no header") << 1 << qint64(-1) << 0 << qint64(1000);
        QTest::newRow("third, no header") << 3 << qint64(-1) << 0 << qint64(4000);
        QTest::newRow("many, no header") << 30 << qint64(-1) << 0 << qint64(60000);
        QTest::newRow("header honoured") << 3 << qint64(2500) << 0 << qint64(2500);
        QTest::newRow("header capped") << 1 << qint64(600000) << 0 << qint64(60000);
        QTest::newRow("never under the interval") << 1 << qint64(0) << 700 << qint64(700);
    }
    void backOff() {
        QFETCH(int, inRow);
        QFETCH(qint64, retryAfter);
        QFETCH(int, interval);
        QFETCH(qint64, expected);
        const std::optional<qint64> header =
            retryAfter < 0 ? std::nullopt : std::optional<qint64>(retryAfter);
        QCOMPARE(ServiceQueue::backOffMs(inRow, header, interval), expected);
    }

    // A turn at "a" ends in the given way while turns at "a" and "b" wait:
    // the next "a" waits at least the pause, "b" runs at once, and no service
    // ever runs two turns.
    void pause_data() {
        QTest::addColumn<bool>("backOff");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("pause");
        QTest::newRow("release, no interval") << false << 0 << 0;
        QTest::newRow("release, interval") << false << 150 << 150;
        QTest::newRow("back-off with retry-after") << true << 50 << 300;
    }
    void pause() {
        QFETCH(bool, backOff);
        QFETCH(int, interval);
        QFETCH(int, pause);
        ServiceQueue queue(interval);
        QElapsedTimer clock;
        QStringList order;
        qint64 secondA = -1;
        queue.request(u"a"_s, [&] { order << u"a1"_s; });
        queue.request(u"a"_s, [&] {
            order << u"a2"_s;
            secondA = clock.elapsed();
            queue.release(u"a"_s);
        });
        queue.request(u"b"_s, [&] {
            order << u"b"_s;
            QVERIFY(queue.busy(u"b"_s));
            queue.release(u"b"_s);
        });
        QCOMPARE(order, QStringList({u"a1"_s, u"b"_s}));
        clock.start();
        if (backOff)
            queue.backOff(u"a"_s, pause);
        else
            queue.release(u"a"_s);
        QTRY_COMPARE(order, QStringList({u"a1"_s, u"b"_s, u"a2"_s}));
        QVERIFY2(secondA >= pause, qPrintable(QString::number(secondA)));
    }
};

QTEST_GUILESS_MAIN(TestServiceQueue)
#include "tst_servicequeue.moc"
