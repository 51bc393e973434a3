#include "batch/ProgressLine.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace ds;

// The progress line in words: what it shows with and without a known total.
class TestProgressLine final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void text_data() {
        QTest::addColumn<qsizetype>("done");
        QTest::addColumn<qsizetype>("total"); // -1: not known (standard input)
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a quarter, time left")
            << qsizetype(250) << qsizetype(1000) << qint64(50'000)
            << u"250/1000   25.0%  free 10  taken 240  failed 0  5.0/s  left 2m30s"_s;
        QTest::newRow("total not known") << qsizetype(250) << qsizetype(-1) << qint64(50'000)
                                         << u"250 done  free 10  taken 240  failed 0  5.0/s"_s;
        QTest::newRow("nothing yet") << qsizetype(0) << qsizetype(7200) << qint64(0)
                                     << u"0/7200    0.0%  free 0  taken 0  failed 0  0.0/s"_s;
    }
    void text() {
        QFETCH(qsizetype, done);
        QFETCH(qsizetype, total);
        QFETCH(qint64, elapsedMs);
        QFETCH(QString, expected);
        BatchTally tally;
        tally.done = done;
        tally.free = done / 25;
        tally.taken = done - tally.free;
        const std::optional<qsizetype> known = total < 0 ? std::nullopt : std::optional(total);
        QCOMPARE(ProgressLine::text(tally, known, elapsedMs), expected);
    }

    void busiest_data() {
        QTest::addColumn<QList<ServerLoad>>("loads");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QList<ServerLoad>() << QString();
        QTest::newRow("fast and slowed")
            << QList<ServerLoad>{{u"a:443"_s, 900, 8.54}, {u"b:43"_s, 12, 0.05}}
            << u"  a:443 8.5/s, b:43 0.05/s"_s;
        QTest::newRow("a pace that does not adapt is left out")
            << QList<ServerLoad>{{u"a:443"_s, 900, 0}} << QString();
    }
    void busiest() {
        QFETCH(QList<ServerLoad>, loads);
        QFETCH(QString, expected);
        QCOMPARE(ProgressLine::busiest(loads), expected);
    }

    void duration_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("seconds") << qint64(12) << u"12s"_s;
        QTest::newRow("minutes") << qint64(388) << u"6m28s"_s;
        QTest::newRow("hours") << qint64(3720) << u"1h02m"_s;
    }
    void duration() {
        QFETCH(qint64, seconds);
        QFETCH(QString, expected);
        QCOMPARE(ProgressLine::duration(seconds), expected);
    }
};

QTEST_GUILESS_MAIN(TestProgressLine)
#include "tst_progressline.moc"
