#include "LocalDnsServer.h"
#include "lookup/DnsCheck.h"

#include <QSet>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace ds;
using ds::test::LocalDnsReply;
using ds::test::LocalDnsServer;

// The DNS step against a local DNS service: only NS records for the name
// itself make it taken; everything else sends the name on to its registry.
class TestDnsCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nextStep_data() {
        QTest::addColumn<LocalDnsReply::Kind>("kind");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<QString>("server"); // empty: the local service
        QTest::addColumn<DnsFinding>("finding");
        QTest::addColumn<QString>("takenDetail"); // empty: on to the registry
        using K = LocalDnsReply::Kind;
        using F = DnsFinding;
        const QString servers = u"a.dns.test, b.dns.test"_s;
        QTest::newRow("NS for the name")
            << K::Delegation << 0 << QString() << F::Delegated << servers;
        QTest::newRow("NS late but in time")
            << K::Delegation << 150 << QString() << F::Delegated << servers;
        QTest::newRow("NXDOMAIN") << K::NoSuchName << 0 << QString() << F::NoSuchName << QString();
        QTest::newRow("NODATA") << K::NoData << 0 << QString() << F::NoData << QString();
        QTest::newRow("referral to the parent")
            << K::ParentReferral << 0 << QString() << F::NoData << QString();
        QTest::newRow("NS only for the parent")
            << K::ParentInAnswer << 0 << QString() << F::OtherOwner << QString();
        QTest::newRow("SERVFAIL") << K::ServerFailure << 0 << QString() << F::ServerFailure
                                  << QString();
        QTest::newRow("REFUSED") << K::Refused << 0 << QString() << F::Refused << QString();
        QTest::newRow("silence") << K::Silence << 0 << QString() << F::TimedOut << QString();
        QTest::newRow("NS after the limit")
            << K::Delegation << 700 << QString() << F::TimedOut << QString();
        QTest::newRow("server by name")
            << K::Delegation << 0 << u"localhost:53"_s << F::ResolverError << QString();
    }
    void nextStep() {
        QFETCH(LocalDnsReply::Kind, kind);
        QFETCH(int, delayMs);
        QFETCH(QString, server);
        QFETCH(DnsFinding, finding);
        QFETCH(QString, takenDetail);
        LocalDnsServer dns;
        QVERIFY(dns.listen());
        dns.setHandler([&](const QString&) { return LocalDnsReply{kind, delayMs}; });
        DnsCheck check({server.isEmpty() ? dns.address() : server, 32, 400});

        std::optional<DnsOutcome> outcome;
        check.check(u"example.test"_s, [&](const DnsOutcome& result) { outcome = result; });
        QTRY_VERIFY(outcome);
        QCOMPARE(outcome->finding, finding);
        const std::optional<Answer> answer = dnsAnswer(*outcome, check.server());
        QCOMPARE(answer.has_value(), !takenDetail.isEmpty());
        if (answer) {
            QCOMPARE(answer->verdict, Verdict::Taken);
            QCOMPARE(answer->method, Method::Dns);
            QCOMPARE(answer->server, dns.address());
            QCOMPARE(answer->detail, takenDetail);
        } else {
            QVERIFY(!outcome->reason.isEmpty());
        }
        if (!server.isEmpty())
            QCOMPARE(dns.askedNames(), QStringList());
    }

    void parallelLimit_data() {
        QTest::addColumn<int>("names");
        QTest::addColumn<int>("parallel");
        QTest::newRow("the limit holds") << 40 << 8;
        QTest::newRow("fewer names than the limit") << 3 << 32;
        QTest::newRow("one at a time") << 4 << 1;
    }
    void parallelLimit() {
        QFETCH(int, names);
        QFETCH(int, parallel);
        LocalDnsServer dns;
        QVERIFY(dns.listen());
        dns.setHandler([](const QString& name) {
            return LocalDnsReply{name.startsWith(u'd') ? LocalDnsReply::Kind::Delegation
                                                       : LocalDnsReply::Kind::NoSuchName,
                                 30};
        });
        DnsCheck check({dns.address(), parallel, 3000});

        QStringList expected;
        QStringList delegated;
        int answered = 0;
        for (int i = 0; i < names; ++i) {
            const QString name = (i % 2 ? u"d"_s : u"n"_s) + QString::number(i) + u".test"_s;
            expected.append(name);
            check.check(name, [&, name](const DnsOutcome& outcome) {
                ++answered;
                if (outcome.finding == DnsFinding::Delegated)
                    delegated.append(name);
            });
        }
        QTRY_COMPARE(answered, names);
        QStringList asked = dns.askedNames();
        asked.sort();
        expected.sort();
        QCOMPARE(asked, expected);
        QCOMPARE(dns.maxOutstanding(), std::min(names, parallel));
        QCOMPARE(delegated.size(), names / 2);
        QVERIFY(std::all_of(delegated.cbegin(), delegated.cend(),
                            [](const QString& name) { return name.startsWith(u'd'); }));
    }

    // A resolver that never answers: each name ends at the time limit, but the
    // next query waits for c-ares to let go of the one before, so that the
    // queries out never outnumber the limit.
    void silentResolverKeepsTheLimit() {
        LocalDnsServer dns;
        QVERIFY(dns.listen());
        dns.setHandler([](const QString&) { return LocalDnsReply{LocalDnsReply::Kind::Silence}; });
        constexpr int parallel = 2;
        constexpr int names = 6;
        DnsCheck check({dns.address(), parallel, 200});
        int mostInFlight = 0;
        const auto look = [&] {
            mostInFlight = std::max(mostInFlight, check.queriesInFlight());
        };
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, look);
        watch.start(2);
        int timedOut = 0;
        for (int i = 0; i < names; ++i) {
            check.check(u"s%1.test"_s.arg(i), [&](const DnsOutcome& outcome) {
                timedOut += outcome.finding == DnsFinding::TimedOut;
                look();
            });
            look();
        }
        QTRY_COMPARE_WITH_TIMEOUT(timedOut, names, 5000);
        QTRY_COMPARE(check.queriesInFlight(), 0);
        QCOMPARE(mostInFlight, parallel);
        const QStringList asked = dns.askedNames();
        QCOMPARE(QSet<QString>(asked.cbegin(), asked.cend()).size(), names);
    }
};

QTEST_GUILESS_MAIN(TestDnsCheck)
#include "tst_dnscheck.moc"
