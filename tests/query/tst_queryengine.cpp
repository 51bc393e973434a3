#include "EngineRun.h"
#include "query/RunState.h"

#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace ds;
using namespace ds::test;

// The engine end to end against a local registrar: every line of a run ends as
// exactly one result line, one request at a time, at the workers' pace, and
// pause, continue and stop mean what they say.
class TestQueryEngine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyLineEndsAsOneResult_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("free");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<int>("requests");
        QTest::newRow("U = 1") << u"free1.pw"_s << QStringList{u"free1.pw|可注册"_s}
                               << QStringList{} << 1;
        QTest::newRow("U = 2") << u"a.pw\nfree.pw\n"_s << QStringList{u"free.pw|可注册"_s}
                               << QStringList{u"a.pw|已被注册"_s} << 2;
        QTest::newRow("U = 3") << u"a.pw\nb.pw\nc.pw\n"_s << QStringList{}
                               << QStringList{u"a.pw|已被注册"_s, u"b.pw|已被注册"_s,
                                              u"c.pw|已被注册"_s}
                               << 3;
        QTest::newRow("sample list")
            << u"2046.pw\n8899.pw\nfree.pw\n333666.pw\nfree88.pw\n1314.pw\nsky.pw\n"_s
            << QStringList{u"free.pw|可注册"_s, u"free88.pw|可注册"_s}
            << QStringList{u"2046.pw|已被注册"_s, u"8899.pw|已被注册"_s, u"333666.pw|已被注册"_s,
                           u"1314.pw|已被注册"_s, u"sky.pw|已被注册"_s}
            << 7;
        QTest::newRow("names that cannot be one are reported, blank lines name nothing")
            << u"\nword\nfree.pw\n\nb.pw\n...\nx\u0000y.pw\n"_s << QStringList{u"free.pw|可注册"_s}
            << QStringList{u"word|格式错误"_s, u"b.pw|已被注册"_s, u"...|格式错误"_s,
                           u"x\u0000y.pw|格式错误"_s}
            << 2;
        QTest::newRow("blanks and duplicates kept")
            << u" c.pw \nc.pw\nc.pw\n"_s << QStringList{}
            << QStringList{u" c.pw |已被注册"_s, u"c.pw|已被注册"_s, u"c.pw|已被注册"_s} << 3;
        QTest::newRow("last line without a line break")
            << u"a.pw\nb.pw\nfree.pw"_s << QStringList{u"free.pw|可注册"_s}
            << QStringList{u"a.pw|已被注册"_s, u"b.pw|已被注册"_s} << 3;
    }
    void everyLineEndsAsOneResult() {
        QFETCH(QString, list);
        QFETCH(QStringList, free);
        QFETCH(QStringList, taken);
        QFETCH(int, requests);
        EngineRun run(list);
        run.engine->start();
        QCOMPARE(run.board.state, RunState::Querying);
        QVERIFY(run.finishes());

        QCOMPARE(sorted(run.board.free), sorted(free));
        QCOMPARE(sorted(run.board.taken), sorted(taken));
        QCOMPARE(run.registrar.server().requests().size(), requests);
        QCOMPARE(run.registrar.server().maxConcurrent(), 1);
        QCOMPARE(run.board.done, run.board.lineCount());
        QCOMPARE(run.board.total, run.board.lineCount());
        QCOMPARE(run.board.state, RunState::Ready);
        QCOMPARE(run.board.paused, false);
        QCOMPARE(run.ended->count(), 1);
    }

    void requestAsTheServiceSeesIt() {
        EngineRun run(u"a&b=c+d%.pw\n"_s);
        run.engine->start();
        QVERIFY(run.finishes());
        const LocalHttpRequest request = run.registrar.server().requests().value(0);
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path, QByteArray("/domain/check.do"));
        QCOMPARE(request.query, QByteArray("method=check"));
        const auto contentType =
            std::find_if(request.headers.cbegin(), request.headers.cend(), [](const auto& header) {
                return header.first.compare("content-type", Qt::CaseInsensitive) == 0;
            });
        QVERIFY(contentType != request.headers.cend());
        QCOMPARE(contentType->first,
                 QByteArray("content-type")); // written as the service expects it
        QCOMPARE(contentType->second, QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(request.body, QByteArray("domainName=a%26b%3Dc%2Bd%25.pw"));
        QCOMPARE(run.board.taken, QStringList{u"a&b=c+d%.pw|已被注册"_s});
    }

    void workersKeepTheirPaceOneRequestAtATime() {
        EngineRun run(numberedList(0, 9), 100);
        run.registrar.setBehaviour(
            [](const QString&, int) { return FakeRegistrar::answer(false, 30); });
        run.engine->start();
        QVERIFY(run.finishes());
        const QList<LocalHttpRequest> requests = run.registrar.server().requests();
        QCOMPARE(requests.size(), 9);
        QCOMPARE(run.registrar.server().maxConcurrent(), 1);
        // Worker 1 takes entries 0, 3, 6, worker 2 entries 1, 4, 7, ...: a
        // worker's next request leaves no sooner than its reply plus 100 ms.
        qint64 arrived[9] = {};
        for (const LocalHttpRequest& request : requests) {
            arrived[FakeRegistrar::entryOf(request).mid(1).section(u'.', 0, 0).toInt()] =
                request.arrivedMs;
        }
        QCOMPARE(FakeRegistrar::entryOf(requests.at(0)), u"n0.pw"_s);
        QCOMPARE(FakeRegistrar::entryOf(requests.at(1)), u"n1.pw"_s);
        QCOMPARE(FakeRegistrar::entryOf(requests.at(2)), u"n2.pw"_s);
        for (int n = 0; n + 3 < 9; ++n) {
            QVERIFY2(
                arrived[n + 3] - arrived[n] >= 128,
                qPrintable(u"entry %1 after %2 ms"_s.arg(n + 3).arg(arrived[n + 3] - arrived[n])));
        }
    }

    void pauseThatOutlastsTheLastStepEndsTheRun() {
        EngineRun run(u"a.pw\n"_s);
        run.registrar.setBehaviour(
            [](const QString&, int) { return FakeRegistrar::answer(true, 100); });
        run.engine->start();
        QVERIFY(run.requestsReach(1));
        run.engine->pause();
        QVERIFY(run.finishes());
        QCOMPARE(run.board.state, RunState::Ready);
        QCOMPARE(run.board.paused, true);
        QCOMPARE(run.board.free, QStringList{u"a.pw|可注册"_s});
    }

    void linesAddedDuringARunAreHandledAndCounted() {
        EngineRun run(numberedList(0, 6));
        run.engine->start();
        QVERIFY(QTest::qWaitFor([&] { return run.board.taken.size() >= 1; }));
        run.board.setList(numberedList(0, 12));
        QVERIFY(run.finishes());
        QCOMPARE(run.board.total, 12);
        QCOMPARE(sorted(run.registrar.requestedEntries()),
                 sorted(numberedList(0, 12).split(u'\n', Qt::SkipEmptyParts)));
    }

    void entriesPastTheSixteenBitRangeAreHandled() {
        EngineRun run(numberedList(0, 40010));
        run.engine->start(40000);
        QVERIFY(run.finishes());
        QCOMPARE(sorted(run.registrar.requestedEntries()),
                 sorted(numberedList(40000, 10).split(u'\n', Qt::SkipEmptyParts)));
        QCOMPARE(run.board.total, 40010);
    }
};

QTEST_GUILESS_MAIN(TestQueryEngine)
#include "tst_queryengine.moc"
