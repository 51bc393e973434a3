#include "LocalWhoisServer.h"
#include "lookup/WhoisLookup.h"
#include "lookup/WhoisPatterns.h"
#include "lookup/WhoisServers.h"

#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

using namespace Qt::StringLiterals;
using namespace ds;
using ds::test::LocalWhoisAnswer;
using ds::test::LocalWhoisServer;

// Names of two TLDs asked side by side, each TLD on a local WHOIS server of
// its own: never two connections in flight to one server, its rest kept
// between queries, and a throttled server waiting alone before it is asked
// again, until the name fails.
class TestWhoisLookup final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pacing_data() {
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<int>("throttles"); // replies to a1.cn that are throttle notices
        QTest::addColumn<QString>("a1Verdict");

        QTest::newRow("no rest") << 0 << 0 << u"free"_s;
        QTest::newRow("rest of 300 ms") << 300 << 0 << u"free"_s;
        QTest::newRow("throttled once") << 0 << 1 << u"free"_s;
        QTest::newRow("throttled past the retries") << 0 << 99 << u"failed"_s;
    }

    void pacing() {
        QFETCH(int, intervalMs);
        QFETCH(int, throttles);
        QFETCH(QString, a1Verdict);
        LocalWhoisServer cn;
        LocalWhoisServer de;
        QVERIFY(cn.listen() && de.listen());
        int throttled = 0;
        cn.setHandler([&throttled, throttles](const QByteArray& query) {
            if (query == "a1.cn" && throttled++ < throttles)
                return LocalWhoisAnswer{"Query limit exceeded, try again in 1 seconds."};
            return LocalWhoisAnswer{"No matching record.", {}, 50};
        });
        de.setHandler([](const QByteArray& query) {
            return LocalWhoisAnswer{"Domain: " + query.mid(10) + "\nStatus: free\n", {}, 50};
        });
        QTemporaryDir cache;
        WhoisServersOptions options;
        options.cacheDir = cache.path();
        options.overrides = {{u"cn"_s, {u"127.0.0.1"_s, cn.port()}},
                             {u"de"_s, {u"127.0.0.1"_s, de.port()}}};
        WhoisServers servers(WhoisPatterns::builtIn(), options);
        ServiceQueue queue(intervalMs);

        std::map<QString, Answer> answers;
        std::vector<std::unique_ptr<WhoisLookup>> lookups;
        for (const QString& name : {u"a1.cn"_s, u"a2.cn"_s, u"a3.cn"_s, u"b1.de"_s, u"b2.de"_s}) {
            lookups.push_back(std::make_unique<WhoisLookup>(
                queue, servers, WhoisPatterns::builtIn(), WhoisLookup::Options{}));
            lookups.back()->ask(
                name, [&answers, name](const Answer& answer, int) { answers[name] = answer; });
        }
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), std::size_t(5), 10000);

        QCOMPARE(cn.mostInFlight(), 1);
        QCOMPARE(de.mostInFlight(), 1);
        QCOMPARE(QString(verdictKey(answers[u"a1.cn"_s].verdict)), a1Verdict);
        QCOMPARE(answers[u"a1.cn"_s].method, Method::Whois);
        for (const QString& name : {u"a2.cn"_s, u"a3.cn"_s, u"b1.de"_s, u"b2.de"_s})
            QCOMPARE(answers[name].verdict, Verdict::Free);
        const QList<qint64> arrivals = cn.arrivals();
        for (qsizetype i = 1; i < arrivals.size(); ++i)
            QVERIFY(arrivals.at(i) - arrivals.at(i - 1) >= intervalMs);
        if (throttles > 0) {
            // The throttled server waited its second; the other one did not.
            QVERIFY(arrivals.last() - arrivals.first() >= 1000);
            QVERIFY(de.arrivals().last() < arrivals.first() + 1000);
            QCOMPARE(cn.queries().count("a1.cn"), std::min(throttles, 2) + 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestWhoisLookup)
#include "tst_whoislookup.moc"
