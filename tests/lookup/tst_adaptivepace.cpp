#include "lookup/AdaptivePace.h"
#include "lookup/ServerPace.h"
#include "lookup/WhoisPatterns.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;
using ds::AdaptivePace;
using ds::ServerPace;

namespace {

// "a" answers, "r" refusals, in the order given: "raaa".
AdaptivePace pacedThrough(std::optional<ServerPace> ceiling, int intervalMs,
                          const QString& events) {
    AdaptivePace pace(ceiling, intervalMs);
    for (const QChar event : events)
        event == u'r' ? pace.onRefused() : pace.onAnswered();
    return pace;
}

QString repeated(QChar event, int times) {
    return QString(times, event);
}

// Every host the shipped RDAP bootstrap and WHOIS table name.
QSet<QString> knownHosts() {
    QSet<QString> hosts;
    QFile bootstrap(u":/domainsieve/rdap/dns.json"_s);
    if (bootstrap.open(QIODevice::ReadOnly)) {
        const QJsonArray services =
            QJsonDocument::fromJson(bootstrap.readAll()).object().value("services"_L1).toArray();
        for (const QJsonValue& service : services) {
            for (const QJsonValue& url : service.toArray().at(1).toArray())
                hosts.insert(QUrl(url.toString()).host());
        }
    }
    for (const ds::WhoisEntry& entry : ds::WhoisPatterns::builtIn().entries()) {
        for (const QString& server : entry.servers)
            hosts.insert(server.section(u':', 0, 0));
    }
    return hosts;
}

} // namespace

// One server's pace as its replies move it: halved by each refusal, back up
// with answers but never past its ceiling, and a server nobody described kept
// at the default pace. Then the person's overrides and the shipped table.
class TestAdaptivePace final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void knownPace_data() {
        QTest::addColumn<double>("ceiling");
        QTest::addColumn<int>("inFlight");
        QTest::addColumn<QString>("events");
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("inFlightLimit");
        QTest::addColumn<qint64>("gapMs");

        QTest::newRow("starts at its ceiling") << 10.0 << 8 << QString() << 10.0 << 8 << 100ll;
        QTest::newRow("answers never lift it past the ceiling")
            << 10.0 << 8 << repeated(u'a', 500) << 10.0 << 8 << 100ll;
        QTest::newRow("a refusal halves it") << 10.0 << 8 << u"r"_s << 5.0 << 4 << 200ll;
        QTest::newRow("each refusal halves it again") << 10.0 << 8 << u"rr"_s << 2.5 << 2 << 400ll;
        QTest::newRow("an answer starts the climb back")
            << 10.0 << 8 << u"ra"_s << 5.5 << 4 << 182ll;
        QTest::newRow("quickly to just below the refused rate, then by small steps")
            << 10.0 << 8 << u"r"_s + repeated(u'a', 20) << 9.13 << 7 << 110ll;
        QTest::newRow("small steps on")
            << 10.0 << 8 << u"r"_s + repeated(u'a', 70) << 9.63 << 8 << 104ll;
        QTest::newRow("back at the ceiling, and no further")
            << 10.0 << 8 << u"r"_s + repeated(u'a', 1000) << 10.0 << 8 << 100ll;
        QTest::newRow("a refusal while climbing marks the lower rate")
            << 10.0 << 8 << u"raar"_s + repeated(u'a', 20) << 5.575 << 4 << 179ll;
        QTest::newRow("never below one request in 20 s")
            << 10.0 << 8 << repeated(u'r', 20) << 0.05 << 1 << 20000ll;
        QTest::newRow("one in flight stays one") << 2.0 << 1 << u"r"_s << 1.0 << 1 << 1000ll;
    }

    void knownPace() {
        QFETCH(double, ceiling);
        QFETCH(int, inFlight);
        QFETCH(QString, events);
        QFETCH(double, rate);
        const AdaptivePace pace = pacedThrough(ServerPace{ceiling, inFlight}, 500, events);
        QVERIFY2(qAbs(pace.requestsPerSecond() - rate) < 1e-9,
                 qPrintable(QString::number(pace.requestsPerSecond())));
        QTEST(pace.inFlightLimit(), "inFlightLimit");
        QTEST(pace.gapBetweenStartsMs(), "gapMs");
        QCOMPARE(pace.restAfterReplyMs(), 0);
    }

    // Refusals of requests sent before the last cut were sent at the old rate.
    void refusalsInFlight_data() {
        QTest::addColumn<QList<qint64>>("startedMs"); // each refused at 1000 + 10 per refusal
        QTest::addColumn<double>("rate");

        QTest::newRow("one") << QList<qint64>{900} << 5.0;
        QTest::newRow("eight under way together cut once")
            << QList<qint64>{900, 910, 920, 930, 940, 950, 960, 970} << 5.0;
        QTest::newRow("one sent after the cut cuts again") << QList<qint64>{900, 950, 1005} << 2.5;
        QTest::newRow("sent just at the cut counts") << QList<qint64>{900, 1000} << 2.5;
    }

    void refusalsInFlight() {
        QFETCH(QList<qint64>, startedMs);
        AdaptivePace pace(ServerPace{10, 8}, 500);
        qint64 now = 1000;
        for (const qint64 started : std::as_const(startedMs)) {
            pace.onRefused(started, now);
            now += 10;
        }
        QTEST(pace.requestsPerSecond(), "rate");
    }

    // A server in neither the table nor the overrides: one request at a time
    // and today's rest after each reply, longer while it refuses.
    void defaultPace_data() {
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<QString>("events");
        QTest::addColumn<qint64>("restMs");
        QTest::addColumn<double>("rate");

        QTest::newRow("today's pace") << 500 << QString() << 500ll << 2.0;
        QTest::newRow("answers keep today's pace") << 500 << repeated(u'a', 300) << 500ll << 2.0;
        QTest::newRow("a refusal doubles the rest") << 500 << u"r"_s << 1000ll << 1.0;
        QTest::newRow("two double it twice") << 500 << u"rr"_s << 2000ll << 0.5;
        QTest::newRow("answers shorten it again")
            << 500 << u"r"_s + repeated(u'a', 10) << 554ll << 1.806;
        QTest::newRow("back to today's rest")
            << 500 << u"r"_s + repeated(u'a', 300) << 500ll << 2.0;
        QTest::newRow("never more than 20 s") << 500 << repeated(u'r', 20) << 20000ll << 0.05;
        QTest::newRow("no rest stays none") << 0 << repeated(u'a', 10) << 0ll << 1000.0;
        QTest::newRow("no rest, refused") << 0 << u"r"_s << 2ll << 500.0;
    }

    void defaultPace() {
        QFETCH(int, intervalMs);
        QFETCH(QString, events);
        QFETCH(double, rate);
        for (const std::optional<ServerPace> none :
             {std::optional<ServerPace>(), std::optional(ServerPace{0, 4})}) {
            const AdaptivePace pace = pacedThrough(none, intervalMs, events);
            QTEST(pace.restAfterReplyMs(), "restMs");
            QVERIFY(qAbs(pace.requestsPerSecond() - rate) < 1e-9);
            QCOMPARE(pace.inFlightLimit(), 1);
            QCOMPARE(pace.gapBetweenStartsMs(), 0);
        }
    }

    void override_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("service"); // empty: refused
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("inFlight");
        QTest::addColumn<QString>("reason");

        const auto refused = [](const char* row, const QString& text, const QString& reason) {
            QTest::newRow(row) << text << QString() << 0.0 << 0 << reason;
        };
        QTest::newRow("host and rate")
            << u"rdap.verisign.com=10"_s << u"rdap.verisign.com"_s << 10.0 << 1 << QString();
        QTest::newRow("port and in flight") << u" RDAP.Example.TEST:8443 = 2.5/8 "_s
                                            << u"rdap.example.test:8443"_s << 2.5 << 8 << QString();
        QTest::newRow("IPv4") << u"127.0.0.1:8080=20/8"_s << u"127.0.0.1:8080"_s << 20.0 << 8
                              << QString();
        QTest::newRow("IPv6 with a port")
            << u"[::1]:43=0.5"_s << u"[::1]:43"_s << 0.5 << 1 << QString();
        QTest::newRow("IPv6 alone") << u"::1=1"_s << u"::1"_s << 1.0 << 1 << QString();
        refused("no equals sign", u"rdap.example.test 10"_s,
                u"is not HOST[:PORT]=RATE[/INFLIGHT]"_s);
        refused("no host", u"=10"_s, u"names no usable host"_s);
        refused("a host with a space", u"rdap example=10"_s, u"names no usable host"_s);
        refused("no port after the colon", u"rdap.example.test:=10"_s,
                u"has a port outside 1-65535"_s);
        refused("port 0", u"rdap.example.test:0=10"_s, u"has a port outside 1-65535"_s);
        refused("port too high", u"rdap.example.test:65536=10"_s, u"has a port outside 1-65535"_s);
        refused("port not a number", u"rdap.example.test:https=10"_s,
                u"has a port outside 1-65535"_s);
        const QString badRate =
            u"has a rate that is not a number above 0 and at most 100 per second"_s;
        refused("no rate", u"rdap.example.test="_s, badRate);
        refused("rate 0", u"rdap.example.test=0"_s, badRate);
        refused("negative rate", u"rdap.example.test=-2"_s, badRate);
        refused("rate too high", u"rdap.example.test=101"_s, badRate);
        refused("rate not a number", u"rdap.example.test=fast"_s, badRate);
        refused("infinite rate", u"rdap.example.test=inf"_s, badRate);
        const QString badInFlight = u"has an in-flight count that is not 1-64"_s;
        refused("in flight 0", u"rdap.example.test=10/0"_s, badInFlight);
        refused("in flight too high", u"rdap.example.test=10/65"_s, badInFlight);
        refused("in flight left empty", u"rdap.example.test=10/"_s, badInFlight);
        refused("in flight not whole", u"rdap.example.test=10/2.5"_s, badInFlight);
    }

    void override() {
        QFETCH(QString, text);
        QFETCH(QString, service);
        const ds::ParsedServerPace parsed = ds::parseServerPaceOverride(text);
        if (service.isEmpty()) {
            QVERIFY(!parsed.value);
            QTEST(parsed.reason(), "reason");
            return;
        }
        QVERIFY2(parsed.value, qPrintable(parsed.reason()));
        QCOMPARE(parsed.value->service, service);
        QTEST(parsed.value->pace.requestsPerSecond, "rate");
        QTEST(parsed.value->pace.inFlight, "inFlight");
    }

    // A misspelt host in the table would leave its server at the default
    // pace without a word, so every host must be one the program asks.
    void shippedTable_data() {
        QTest::addColumn<QString>("host");
        const auto& servers = ds::ServerPaceTable::builtIn().servers();
        QVERIFY(!servers.isEmpty());
        for (auto it = servers.cbegin(); it != servers.cend(); ++it)
            QTest::newRow(qPrintable(it.key())) << it.key();
    }

    void shippedTable() {
        QFETCH(QString, host);
        static const QSet<QString> known = knownHosts();
        QVERIFY(known.contains(host));
        QVERIFY(ds::ServerPaceTable::builtIn().find(host.toUpper()));
    }

    // Which ceiling a server gets: the person's for its port, then for its
    // host, then the table's; none leaves it at the default pace.
    void ceiling_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<double>("rate"); // 0: the default pace

        QTest::newRow("override for the port") << u"rdap.verisign.com"_s << 8443 << 30.0;
        QTest::newRow("override for the host") << u"rdap.verisign.com"_s << 443 << 20.0;
        QTest::newRow("host in capitals") << u"RDAP.Verisign.COM"_s << 443 << 20.0;
        QTest::newRow("the table's") << u"pubapi.registry.google"_s << 443 << 2.0;
        QTest::newRow("IPv6 override") << u"::1"_s << 43 << 0.5;
        QTest::newRow("nobody's") << u"rdap.example.test"_s << 443 << 0.0;
    }

    void ceiling() {
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(double, rate);
        QHash<QString, ServerPace> overrides;
        for (const QString& text :
             {u"rdap.verisign.com=20/8"_s, u"rdap.verisign.com:8443=30"_s, u"[::1]:43=0.5"_s})
            overrides.insert(ds::parseServerPaceOverride(text).value->service,
                             ds::parseServerPaceOverride(text).value->pace);
        const std::optional<ServerPace> found = ds::ceilingFor(host, port, overrides);
        QCOMPARE(found ? found->requestsPerSecond : 0.0, rate);
    }
};

QTEST_GUILESS_MAIN(TestAdaptivePace)
#include "tst_adaptivepace.moc"
