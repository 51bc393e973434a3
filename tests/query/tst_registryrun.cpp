#include "LocalDnsServer.h"
#include "LocalRdapServer.h"
#include "LocalWhoisServer.h"
#include "MemoryRunBoard.h"
#include "lookup/RdapBootstrapStore.h"
#include "query/QueryEngine.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;
using namespace ds::test;

// A run without a registrar: the registries are asked, over RDAP or, for a TLD
// the bootstrap does not list, over WHOIS; every line still ends as one
// record, and a network that is down is said once, not per name.
class TestRegistryRun final : public QObject {
    Q_OBJECT

    // Quick pacing, and a bootstrap in `folder` naming `base` for .alpha.
    static EngineConfig configFor(const QUrl& base, const QTemporaryDir& folder) {
        EngineConfig config;
        config.restartIntervalMs = 10;
        config.serverIntervalMs = 10;
        config.retry.baseDelayMs = 20;
        config.bootstrap = LocalRdapServer::bootstrapStore({{{u"alpha"_s}, base}}, folder.path());
        return config;
    }

private Q_SLOTS:
    void run_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("serverDown");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("unreachable");
        QTest::newRow("answers")
            << u"free.alpha\ntaken.alpha\nx.gamma\nbad_name.alpha\n中国.alpha\nfree.cn\ntaken.cn\nkept.cn\n"_s
            << false << QStringList{u"bad_name.alpha|格式错误"_s, u"free.alpha|可注册"_s,
                                    u"free.cn|可注册"_s,          u"kept.cn|已保留"_s,
                                    u"taken.alpha|已被注册"_s,    u"taken.cn|已被注册"_s,
                                    u"x.gamma|不支持的后缀"_s,    u"中国.alpha|可注册"_s}
            << 0;
        QTest::newRow("no network") << u"a.alpha\nb.alpha\nc.alpha\nd.alpha\n"_s << true
                                    << QStringList{u"a.alpha|查询失败"_s, u"b.alpha|查询失败"_s,
                                                   u"c.alpha|查询失败"_s, u"d.alpha|查询失败"_s}
                                    << 1;
    }
    void run() {
        QFETCH(QString, list);
        QFETCH(bool, serverDown);
        QFETCH(QStringList, lines);
        QFETCH(int, unreachable);
        LocalRdapServer server;
        QVERIFY(server.listen());
        server.setTaken({u"taken.alpha"_s});
        QUrl base = server.baseUrl();
        if (serverDown) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            base.setPort(closed.serverPort());
        }
        // The referral knows no server for .gamma; .cn has its own, fixed.
        LocalWhoisServer whois;
        QVERIFY(whois.listen());
        whois.setHandler([](const QByteArray& query) {
            if (query == "kept.cn")
                return LocalWhoisAnswer{"Sorry, The domain you requested is in the reserved list"};
            if (query == "taken.cn")
                return LocalWhoisAnswer{"Domain Name: taken.cn\nRegistration Time: 2003-03-17"};
            return LocalWhoisAnswer{query == "gamma" ? "domain: GAMMA\n" : "No matching record."};
        });
        QTemporaryDir folder;
        EngineConfig config = configFor(base, folder);
        config.whois.referral = {u"127.0.0.1"_s, whois.port()};
        config.whois.overrides.insert(u"cn"_s, config.whois.referral);
        config.whois.cacheDir = folder.path();
        MemoryRunBoard board;
        board.setList(list);
        QueryEngine engine(board, config);
        QSignalSpy said(&engine, &QueryEngine::registriesUnreachable);
        engine.start();
        QVERIFY(QTest::qWaitFor([&] { return engine.state() == QueryEngine::State::Ready; }));

        QStringList shown = board.free + board.taken;
        shown.sort();
        QCOMPARE(shown, lines);
        QCOMPARE(said.count(), unreachable);
        for (const auto& [number, record] : board.records) {
            const bool overWhois =
                record.sentName.endsWith(u".cn"_s) || record.sentName.endsWith(u".gamma"_s);
            QCOMPARE(record.answer.method, overWhois ? Method::Whois : Method::Rdap);
            if (record.answer.verdict == Verdict::Free) {
                const quint16 port = overWhois ? whois.port() : server.http().port();
                QCOMPARE(record.answer.server, u"127.0.0.1:%1"_s.arg(port));
            }
        }
    }

    // The DNS before the registry: a name with name servers of its own is
    // taken without a registry request; every other one reaches the registry,
    // whatever the DNS said, and a resolver that never answers is said once.
    void dnsFirst_data() {
        QTest::addColumn<LocalDnsReply::Kind>("delegated");
        QTest::addColumn<LocalDnsReply::Kind>("undelegated");
        QTest::addColumn<int>("byDns");
        QTest::addColumn<int>("unanswered");
        using Kind = LocalDnsReply::Kind;
        QTest::newRow("half delegated") << Kind::Delegation << Kind::NoSuchName << 10 << 0;
        QTest::newRow("half delegated, the rest silent")
            << Kind::Delegation << Kind::Silence << 10 << 0;
        QTest::newRow("half delegated, the rest only a parent's")
            << Kind::Delegation << Kind::ParentInAnswer << 10 << 0;
        QTest::newRow("resolver never answers") << Kind::Silence << Kind::Silence << 0 << 1;
    }
    void dnsFirst() {
        QFETCH(LocalDnsReply::Kind, delegated);
        QFETCH(LocalDnsReply::Kind, undelegated);
        QFETCH(int, byDns);
        QFETCH(int, unanswered);
        LocalRdapServer rdap;
        QVERIFY(rdap.listen());
        LocalDnsServer dns;
        QVERIFY(dns.listen());
        dns.setHandler([&](const QString& name) {
            return LocalDnsReply{name.startsWith(u"ns"_s) ? delegated : undelegated};
        });
        QTemporaryDir folder;
        EngineConfig config = configFor(rdap.baseUrl(), folder);
        config.dns = DnsCheckOptions{dns.address(), 32, 300};
        QStringList names;
        for (int n = 0; n < 20; ++n)
            names << (n % 2 ? u"ns%1.alpha"_s : u"x%1.alpha"_s).arg(n);
        MemoryRunBoard board;
        // A line that names nothing still ends as its one record.
        board.setList(names.join(u'\n') + u"\nno name\n"_s);
        QueryEngine engine(board, config);
        QSignalSpy said(&engine, &QueryEngine::dnsUnanswered);
        engine.start();
        QVERIFY(QTest::qWaitFor([&] { return engine.state() == QueryEngine::State::Ready; }));

        QCOMPARE(board.records.size(), names.size() + 1);
        QStringList takenByDns;
        for (const auto& [number, record] : board.records) {
            if (record.answer.method == Method::Dns) {
                QCOMPARE(record.answer.verdict, Verdict::Taken);
                QCOMPARE(record.answer.detail, u"a.dns.test, b.dns.test"_s);
                takenByDns.append(record.entry);
            }
        }
        QCOMPARE(takenByDns.size(), byDns);
        // Every name once: at the registry or taken on the DNS's word, never both.
        QStringList everyName = rdap.asked() + takenByDns;
        everyName.sort();
        names.sort();
        QCOMPARE(everyName, names);
        QCOMPARE(said.count(), unanswered);
    }

    // Without a list of servers no name gets a verdict, and each start ends.
    void bootstrapThatCannotLoad() {
        QTemporaryDir folder;
        RdapBootstrapStore::Options source;
        source.source = folder.filePath(u"missing.json"_s);
        source.cacheDir = folder.path();
        EngineConfig config;
        config.restartIntervalMs = 0;
        config.bootstrap = std::make_shared<RdapBootstrapStore>(source);
        MemoryRunBoard board;
        board.setList(u"a.alpha\nb.alpha\n"_s);
        QueryEngine engine(board, config);
        QSignalSpy problems(&engine, &QueryEngine::problem);
        for (int run = 0; run < 2; ++run) {
            engine.start();
            QVERIFY(QTest::qWaitFor([&] { return engine.state() == QueryEngine::State::Ready; }));
            QCOMPARE(board.taken, QStringList({u"a.alpha|查询失败"_s, u"b.alpha|查询失败"_s}));
        }
        QCOMPARE(problems.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRegistryRun)
#include "tst_registryrun.moc"
