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
        QTest::newRow("long header kept whole") << 1 << qint64(600000) << 0 << qint64(600000);
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
        const ServiceQueue::Ticket first = queue.request(u"a"_s, [&](auto) { order << u"a1"_s; });
        queue.request(u"a"_s, [&](ServiceQueue::Ticket ticket) {
            order << u"a2"_s;
            secondA = clock.elapsed();
            queue.release(ticket);
        });
        queue.request(u"b"_s, [&](ServiceQueue::Ticket ticket) {
            order << u"b"_s;
            queue.release(ticket);
        });
        QCOMPARE(order, QStringList({u"a1"_s, u"b"_s}));
        QVERIFY(!queue.readyIn(u"a"_s));
        clock.start();
        if (backOff)
            queue.backOff(first, pause);
        else
            queue.release(first);
        QTRY_COMPARE(order, QStringList({u"a1"_s, u"b"_s, u"a2"_s}));
        QVERIFY2(secondA >= pause, qPrintable(QString::number(secondA)));
    }

    // A back-off past the longest wait refuses the turns waiting there, and
    // new ones, naming when the server may be asked again; a shorter one is
    // waited out; a block refuses for good. Other services are not touched.
    void refusal_data() {
        QTest::addColumn<int>("how"); // 0 short hold, 1 long hold, 2 block
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("reasonStart");
        QTest::newRow("short hold waited") << 0 << false << QString();
        QTest::newRow("long hold refused") << 1 << true << u"服务器限流，"_s;
        QTest::newRow("block refused") << 2 << true << u"IP blocked"_s;
    }
    void refusal() {
        QFETCH(int, how);
        QFETCH(bool, refused);
        QFETCH(QString, reasonStart);
        ServiceQueue queue(0);
        queue.setLongestWaitMs(1000);
        const ServiceQueue::Ticket held = queue.request(u"a"_s, [](auto) {});
        QStringList heard;
        const auto ask = [&](const QString& service) {
            queue.request(
                service,
                [&, service](ServiceQueue::Ticket ticket) {
                    heard << service;
                    queue.release(ticket);
                },
                [&](const QString& reason) { heard << reason; });
        };
        ask(u"a"_s);
        if (how == 2)
            queue.block(held, u"IP blocked"_s);
        else
            queue.backOff(held, how == 0 ? 200 : 3'600'000);
        ask(u"a"_s);
        ask(u"b"_s);
        QTRY_COMPARE(heard.size(), 3);
        QCOMPARE(heard.count(u"b"_s), 1);
        QCOMPARE(queue.refusal(u"a"_s).has_value(), refused);
        for (const QString& word : std::as_const(heard)) {
            if (word != u"b"_s)
                QVERIFY2(refused ? word.startsWith(reasonStart) : word == u"a"_s, qPrintable(word));
        }
    }

    // However many turns are asked for, a service runs no more than its pace
    // allows and all services together no more than the cap.
    void limits_data() {
        QTest::addColumn<int>("inFlight");
        QTest::addColumn<int>("cap");
        QTest::addColumn<int>("expectedA");
        QTest::addColumn<int>("expectedAll");
        QTest::newRow("one per service") << 1 << 0 << 1 << 2;
        QTest::newRow("three per service") << 3 << 0 << 3 << 6;
        QTest::newRow("cap across services") << 3 << 4 << 3 << 4;
    }
    void limits() {
        QFETCH(int, inFlight);
        QFETCH(int, cap);
        QFETCH(int, expectedA);
        QFETCH(int, expectedAll);
        ServiceQueue queue(0);
        queue.setMaxRunning(cap);
        int runningA = 0;
        for (const QString& service : {u"a"_s, u"b"_s}) {
            queue.setPace(service, {inFlight, 0, 0});
            for (int n = 0; n < 5; ++n)
                queue.request(service, [&, service](auto) { runningA += service == u"a"_s; });
        }
        QCOMPARE(runningA, expectedA);
        QCOMPARE(queue.running(), expectedAll);
    }

    // A service with an adaptive pace at a ceiling of 100/s and 8 in flight,
    // its turns ending one by one: A answered, U unanswered, C cancelled,
    // R refused; D two turns out together, both refused.
    void adaptivePace_data() {
        QTest::addColumn<QString>("ends");
        QTest::addColumn<double>("expected");
        QTest::newRow("answers keep the ceiling") << u"AAA"_s << 100.0;
        QTest::newRow("a refusal halves") << u"R"_s << 50.0;
        QTest::newRow("answers climb back") << u"RAAAAAAA"_s << 90.0;
        QTest::newRow("no answer, no climb") << u"RUC"_s << 50.0;
        QTest::newRow("refusals of one pace cut once") << u"D"_s << 50.0;
        QTest::newRow("a later refusal cuts again") << u"DR"_s << 25.0;
    }
    void adaptivePace() {
        QFETCH(QString, ends);
        QFETCH(double, expected);
        ServiceQueue queue(0);
        queue.setAdaptivePace(u"s"_s, ds::AdaptivePace(ds::ServerPace{100, 8}, 0));
        QList<ServiceQueue::Ticket> started;
        const auto startTurns = [&](int count) {
            started.clear();
            for (int n = 0; n < count; ++n)
                queue.request(u"s"_s, [&](ServiceQueue::Ticket ticket) { started << ticket; });
            QTRY_COMPARE(started.size(), count);
        };
        for (const QChar end : std::as_const(ends)) {
            startTurns(end == u'D' ? 2 : 1);
            for (const ServiceQueue::Ticket ticket : std::as_const(started)) {
                switch (end.unicode()) {
                case u'A':
                    queue.release(ticket);
                    break;
                case u'U':
                    queue.release(ticket, ServiceQueue::Outcome::Unanswered);
                    break;
                case u'C':
                    queue.cancel(ticket);
                    break;
                default:
                    queue.backOff(ticket, 0);
                }
            }
        }
        QCOMPARE(queue.requestsPerSecond(u"s"_s).value_or(-1), expected);
        QVERIFY(!queue.requestsPerSecond(u"other"_s));
    }
};

QTEST_GUILESS_MAIN(TestServiceQueue)
#include "tst_servicequeue.moc"
