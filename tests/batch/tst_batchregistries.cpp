#include "BatchCheckTest.h"
#include "LocalDnsServer.h"
#include "LocalRdapServer.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds::test;

// `domainsieve check` asking the registries, the DNS first, through the real
// executable: who is asked, and the details the registry gives.
class TestBatchRegistries final : public BatchCheckTest {
    Q_OBJECT

private Q_SLOTS:
    // The registries with the DNS first, as a shell would ask: the names the
    // DNS shows delegated never reach the registry, and the summary counts them.
    void dnsBeforeRegistries() {
        LocalRdapServer rdap;
        QVERIFY(rdap.listen());
        LocalDnsServer dns;
        QVERIFY(dns.listen());
        dns.setHandler([](const QString& name) {
            return LocalDnsReply{name.startsWith(u"ns"_s) ? LocalDnsReply::Kind::Delegation
                                                          : LocalDnsReply::Kind::NoSuchName};
        });
        const QString bootstrap = writeFile(
            u"bootstrap.json"_s, LocalRdapServer::bootstrap({{{u"pw"_s}, rdap.baseUrl()}}));
        QProcess process;
        startProgram(process, {u"check"_s, u"--registries"_s, u"--rdap-bootstrap"_s, bootstrap,
                               u"--dns-server"_s, dns.address(), u"--format"_s, u"tsv"_s,
                               u"--interval"_s, u"0"_s, u"--registry-interval"_s, u"0"_s});
        const Outcome outcome = finish(process, "ns1.pw\nx1.pw\nns2.pw\nx2.pw\n");
        QVERIFY2(outcome.code == 0, outcome.err.constData());
        QStringList methods;
        for (const QString& line : sortedLines(outcome.out).mid(1))
            methods << line.section(u'\t', 0, 0) + u' ' + line.section(u'\t', 2, 3);
        QCOMPARE(methods, QStringList({u"ns1.pw taken\tdns"_s, u"ns2.pw taken\tdns"_s,
                                       u"x1.pw free\trdap"_s, u"x2.pw free\trdap"_s}));
        QStringList asked = rdap.asked();
        asked.sort();
        QCOMPARE(asked, QStringList({u"x1.pw"_s, u"x2.pw"_s}));
        QVERIFY2(outcome.err.contains("2 of the taken answered by the DNS"),
                 outcome.err.constData());
    }

    void droppingNames_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("only those dropping")
            << QStringList{u"--only"_s, u"dropping"_s} << QByteArray()
            << QStringList{u"p.pw|待删除"_s, u"r.pw|赎回期"_s} << QStringList{u"p.pw"_s, u"r.pw"_s};
        QTest::newRow("--details: the registry's details for what the DNS shows taken")
            << QStringList{u"--details"_s, u"--only"_s, u"taken"_s, u"--format"_s, u"tsv"_s}
            << QByteArray()
            << QStringList{u"name|verdict|registrar|created|expires|status|releases"_s,
                           u"p.pw|pending_delete||||pendingDelete|2026-12-06"_s,
                           u"r.pw|redemption||||redemptionPeriod pendingDelete|2027-01-05"_s,
                           u"t.pw|taken|Reg|||clientHold|"_s}
            << QStringList{u"p.pw"_s, u"r.pw"_s, u"t.pw"_s};
        QTest::newRow("resumed: their lines count as answers")
            << QStringList{u"--resume"_s} << QByteArray("r.pw|赎回期\np.pw|待删除\n")
            << QStringList{u"p.pw|待删除"_s, u"r.pw|赎回期"_s, u"t.pw|已被注册"_s} << QStringList{};
    }
    // Names in redemption or pending delete, from the registry's status.
    void droppingNames() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, before);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, asked);
        LocalRdapServer rdap;
        QVERIFY(rdap.listen());
        const auto reply = [&rdap](const QString& name, const QByteArray& parts) {
            LocalHttpResponse response;
            response.body = R"({"objectClassName":"domain","events":[{"eventAction":)"
                            R"("last changed","eventDate":"2026-12-01T08:00:00Z"}],)" +
                            parts + "}";
            rdap.queueReplies(name, {response});
        };
        reply(u"r.pw"_s, R"("status":["redemption period","pending delete"])");
        reply(u"p.pw"_s, R"("status":["pending delete"])");
        reply(u"t.pw"_s, R"("status":["client hold"],"entities":[{"roles":["registrar"],)"
                         R"("vcardArray":["vcard",[["fn",{},"text","Reg"]]]}])");
        // The DNS shows t.pw taken, without details.
        LocalDnsServer dns;
        QVERIFY(dns.listen());
        dns.setHandler([](const QString& name) {
            return LocalDnsReply{name == u"t.pw"_s ? LocalDnsReply::Kind::Delegation
                                                   : LocalDnsReply::Kind::NoSuchName};
        });
        const QString bootstrap = writeFile(
            u"bootstrap.json"_s, LocalRdapServer::bootstrap({{{u"pw"_s}, rdap.baseUrl()}}));
        const QString output = writeFile(u"dropping.out"_s, before);
        QProcess process;
        startProgram(process, QStringList{u"check"_s, u"--registries"_s, u"--rdap-bootstrap"_s,
                                          bootstrap, u"--dns-server"_s, dns.address(),
                                          u"--output"_s, output, u"--registry-interval"_s, u"0"_s} +
                                  arguments);
        const Outcome outcome = finish(process, "r.pw\np.pw\nt.pw\n");
        QVERIFY2(outcome.code == 0, outcome.err.constData());
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList lines;
        for (const QString& line : sortedLines(file.readAll())) {
            const QStringList fields = line.split(u'\t');
            lines << (fields.size() < 13 ? line
                                         : QStringList{fields[0], fields[2], fields[8], fields[9],
                                                       fields[10], fields[11], fields[12]}
                                               .join(u'|'));
        }
        QCOMPARE(lines, expected);
        QStringList askedNow = rdap.asked();
        askedNow.sort();
        QCOMPARE(askedNow, asked);
    }
};

QTEST_GUILESS_MAIN(TestBatchRegistries)
#include "tst_batchregistries.moc"
