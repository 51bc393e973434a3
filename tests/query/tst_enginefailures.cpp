#include "EngineRun.h"
#include "FakeTimerSource.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;
using namespace ds::test;

// The engine against a local registrar that fails: a failure is retried and
// then reported, never lost; a server's Retry-After is kept; a worker that
// cannot start ends its part of the run.
class TestEngineFailures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failuresAreRetriedAndNeverLost() {
        // A redirect must not reach the page elsewhere that says "true" to anything.
        LocalHttpServer elsewhere;
        QVERIFY(elsewhere.listen());
        elsewhere.setHandler([](const LocalHttpRequest&) { return FakeRegistrar::answer(true); });
        EngineRun run(
            u"flaky.pw\ndead.pw\ngone.pw\nmute.pw\nerrorpage.pw\nok.pw\nmoved.pw\nhuge.pw\n"_s);
        run.registrar.setBehaviour([&](const QString& entry, int attempt) {
            LocalHttpResponse response = FakeRegistrar::answer(true);
            if (entry == u"flaky.pw"_s && attempt == 1) {
                response.status = 503;
            } else if (entry == u"flaky.pw"_s && attempt == 2) {
                response.action = LocalHttpResponse::Action::DropConnection;
            } else if (entry == u"dead.pw"_s) {
                response.status = 500;
            } else if (entry == u"gone.pw"_s) {
                response.action = LocalHttpResponse::Action::DropConnection;
            } else if (entry == u"mute.pw"_s) {
                response.action = LocalHttpResponse::Action::NeverAnswer;
            } else if (entry == u"errorpage.pw"_s) {
                response.status = 404;
            } else if (entry == u"moved.pw"_s) {
                response.status = 302;
                response.headers.append({"Location", elsewhere.url().toEncoded()});
            } else if (entry == u"huge.pw"_s) {
                response.body.prepend(QByteArray(2 * 1024 * 1024, ' '));
            } else if (entry == u"ok.pw"_s) {
                response = FakeRegistrar::answer(false);
            }
            return response;
        });
        run.engine->start();
        QVERIFY(run.finishes(20000));
        QCOMPARE(run.board.free, QStringList{u"flaky.pw|可注册"_s});
        QCOMPARE(sorted(run.board.taken),
                 sorted({u"dead.pw|查询失败"_s, u"gone.pw|查询失败"_s, u"mute.pw|查询失败"_s,
                         u"errorpage.pw|查询失败"_s, u"ok.pw|已被注册"_s, u"moved.pw|查询失败"_s,
                         u"huge.pw|查询失败"_s}));
        const QStringList requested = run.registrar.requestedEntries();
        QCOMPARE(requested.count(u"flaky.pw"_s), 3);
        QCOMPARE(requested.count(u"dead.pw"_s), 3);
        QCOMPARE(requested.count(u"mute.pw"_s), 3);
        QCOMPARE(requested.count(u"ok.pw"_s), 1);
        QCOMPARE(requested.count(u"moved.pw"_s), 3);
        QCOMPARE(requested.count(u"huge.pw"_s), 3);
        QCOMPARE(elsewhere.requests().size(), 0);
        QCOMPARE(run.board.done, 8);
        QCOMPARE(run.registrar.server().maxConcurrent(), 1);
    }

    void retryAfterIsHonoured() {
        EngineRun run(u"busy.pw\n"_s);
        run.registrar.setBehaviour([](const QString&, int attempt) {
            LocalHttpResponse response = FakeRegistrar::answer(true);
            if (attempt == 1) {
                response.status = 429;
                response.headers.append({QByteArrayLiteral("Retry-After"), QByteArrayLiteral("1")});
            }
            return response;
        });
        run.engine->start();
        QVERIFY(run.finishes());
        const QList<LocalHttpRequest> requests = run.registrar.server().requests();
        QCOMPARE(requests.size(), 2);
        QVERIFY(requests.at(1).arrivedMs - requests.at(0).arrivedMs >= 990);
        QCOMPARE(run.board.free, QStringList{u"busy.pw|可注册"_s});
    }

    // A worker whose deferral cannot start ends its part at once: its entries
    // are failures, the others run on, the run ends and the message is Chinese.
    void workerThatCannotStartEndsItsPart_data() {
        QTest::addColumn<int>("refused");
        QTest::addColumn<QStringList>("taken");
        QTest::newRow("worker 1 at the start")
            << 1
            << QStringList{u"a.pw|查询失败"_s, u"b.pw|已被注册"_s, u"c.pw|已被注册"_s,
                           u"d.pw|查询失败"_s, u"word|格式错误"_s};
        QTest::newRow("every worker at the start")
            << 3
            << QStringList{u"a.pw|查询失败"_s, u"b.pw|查询失败"_s, u"c.pw|查询失败"_s,
                           u"d.pw|查询失败"_s, u"word|格式错误"_s};
    }
    void workerThatCannotStartEndsItsPart() {
        QFETCH(int, refused);
        QFETCH(QStringList, taken);
        FakeTimerSource source;
        XTimerSupport timers(source);
        EngineRun run(u"a.pw\nb.pw\nc.pw\nd.pw\nword\n"_s, 0, timers);
        QSignalSpy problems(run.engine.get(), &QueryEngine::problem);
        source.refuseNext(refused);
        run.engine->start();
        QCOMPARE(problems.count(), refused);
        const QString message = problems.at(0).at(0).toString();
        QVERIFY2(message.startsWith(u"第1路查询未能启动"_s), qPrintable(message));
        QVERIFY2(!message.contains(QRegularExpression(u"[A-Za-z]"_s)), qPrintable(message));

        // The polling timers tick only when told; keep them ticking until the run ends.
        QVERIFY(QTest::qWaitFor([&] {
            for (const auto& call : source.setCalls()) {
                if (source.isRunning(call.id)) {
                    source.fire(call.id);
                }
            }
            return run.engine->state() == QueryEngine::State::Ready;
        }));
        QCOMPARE(sorted(run.board.taken), sorted(taken));
        QCOMPARE(run.board.done, 5);
        QCOMPARE(run.ended->count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestEngineFailures)
#include "tst_enginefailures.moc"
