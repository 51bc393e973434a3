#include "LocalWhoisServer.h"
#include "lookup/WhoisPatterns.h"
#include "lookup/WhoisServers.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using ds::WhoisServerLookup;
using ds::WhoisServers;
using ds::test::LocalWhoisAnswer;

using Outcome = WhoisServerLookup::Outcome;

// Where a name is asked about: the override, the referral server's word and
// its cache, the registry servers the table knows, and the zones nobody
// serves. The referral is a local service; nothing here leaves the machine.
class TestWhoisServers final : public QObject {
    Q_OBJECT

    std::optional<ds::test::LocalWhoisServer> m_referral;
    std::optional<QTemporaryDir> m_cache;

    ds::WhoisServersOptions options(const QStringList& overrides = {}) const {
        ds::WhoisServersOptions result;
        result.referral = {u"127.0.0.1"_s, m_referral->port()};
        result.cacheDir = m_cache->path();
        result.timeLimitMs = 2000;
        for (const QString& text : overrides) {
            const auto parsed = ds::parseWhoisServerOverride(text);
            result.overrides.insert(parsed->first, parsed->second);
        }
        return result;
    }

    static WhoisServerLookup find(WhoisServers& servers, const QString& name) {
        std::optional<WhoisServerLookup> found;
        servers.find(name, [&found](const WhoisServerLookup& lookup) { found = lookup; });
        [&] {
            QTRY_VERIFY(found.has_value());
        }();
        return found.value_or(WhoisServerLookup{});
    }

private Q_SLOTS:
    void init() {
        m_referral.emplace();
        QVERIFY(m_referral->listen());
        m_cache.emplace();
    }

    void finding_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("overrides");
        QTest::addColumn<QByteArray>("referralReply");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("referralQueries");

        const QByteArray cn = "domain:       CN\r\nrefer:        whois.refer.test\r\n"
                              "whois:        whois.cnnic.test\r\n";
        QTest::newRow("override wins") << u"example.cn"_s << QStringList{u"cn=127.0.0.1:4343"_s}
                                       << cn << Outcome::Found << u"127.0.0.1:4343"_s << 0;
        QTest::newRow("override in Unicode")
            << u"example.xn--fiqs8s"_s << QStringList{u"中国=127.0.0.1:4343"_s} << cn
            << Outcome::Found << u"127.0.0.1:4343"_s << 0;
        QTest::newRow("override of the TLD covers its zones")
            << u"example.co.za"_s << QStringList{u"za=127.0.0.1:4343"_s} << cn << Outcome::Found
            << u"127.0.0.1:4343"_s << 0;
        QTest::newRow("whois line before refer") << u"example.cn"_s << QStringList() << cn
                                                 << Outcome::Found << u"whois.cnnic.test:43"_s << 1;
        QTest::newRow("refer line alone")
            << u"example.cn"_s << QStringList() << "domain: CN\nrefer: whois.refer.test:4343\n"_ba
            << Outcome::Found << u"whois.refer.test:4343"_s << 1;
        QTest::newRow("referral names none")
            << u"example.zz"_s << QStringList() << "domain: ZZ\nstatus: ACTIVE\n"_ba
            << Outcome::Unsupported << QString() << 1;
        QTest::newRow("zone below a TLD without server")
            << u"example.co.za"_s << QStringList() << "domain: ZA\n"_ba << Outcome::Found
            << u"whois.registry.net.za:43"_s << 1;
        QTest::newRow("no port-43 service")
            << u"example.vn"_s << QStringList() << cn << Outcome::Unsupported << QString() << 0;
        QTest::newRow("referral says nothing useful")
            << u"example.cn"_s << QStringList() << QByteArray() << Outcome::Failed << QString()
            << 1;
        QTest::newRow("referral about another TLD")
            << u"example.cn"_s << QStringList() << "domain: DE\n"_ba << Outcome::Failed << QString()
            << 1;
    }

    void finding() {
        QFETCH(QString, name);
        QFETCH(QStringList, overrides);
        QFETCH(QByteArray, referralReply);
        QFETCH(Outcome, outcome);
        QFETCH(QString, server);
        QFETCH(int, referralQueries);
        m_referral->setHandler(
            [referralReply](const QByteArray&) { return LocalWhoisAnswer{referralReply}; });

        WhoisServers servers(ds::WhoisPatterns::builtIn(), options(overrides));
        const WhoisServerLookup found = find(servers, name);
        QCOMPARE(found.outcome, outcome);
        QCOMPARE(found.outcome == Outcome::Found ? found.server.toString() : QString(), server);
        QVERIFY(found.outcome == Outcome::Found || !found.detail.isEmpty());
        QCOMPARE(m_referral->queries().size(), referralQueries);
        if (referralQueries > 0)
            QCOMPARE(m_referral->queries().first(), name.section(u'.', -1).toLatin1());

        // What the referral said, and only that, is kept for the next run.
        WhoisServers nextRun(ds::WhoisPatterns::builtIn(), options(overrides));
        QCOMPARE(find(nextRun, name).outcome, outcome);
        const bool kept = outcome != Outcome::Failed;
        QCOMPARE(m_referral->queries().size(), referralQueries + (kept ? 0 : 1));
    }

    void cacheAge_data() {
        QTest::addColumn<int>("daysLater");
        QTest::addColumn<int>("referralQueries");

        QTest::newRow("same day") << 0 << 1;
        QTest::newRow("29 days on") << 29 << 1;
        QTest::newRow("30 days on") << 30 << 2;
    }

    void cacheAge() {
        QFETCH(int, daysLater);
        QFETCH(int, referralQueries);
        m_referral->setHandler([](const QByteArray&) {
            return LocalWhoisAnswer{"domain: CN\nwhois: whois.cnnic.test\n", {}, 100};
        });
        const QDateTime asked(QDate(2026, 12, 7), QTime(16, 0), Qt::UTC);

        WhoisServers first(ds::WhoisPatterns::builtIn(), options());
        first.setClock([asked] { return asked; });
        // Names of one TLD asked together share one referral query.
        int answered = 0;
        for (const QString& name : {u"a.cn"_s, u"b.cn"_s})
            first.find(name, [&answered](const WhoisServerLookup&) { ++answered; });
        QTRY_COMPARE(answered, 2);

        WhoisServers later(ds::WhoisPatterns::builtIn(), options());
        later.setClock([asked, daysLater] { return asked.addDays(daysLater); });
        QCOMPARE(find(later, u"c.cn"_s).server.toString(), u"whois.cnnic.test:43"_s);
        QCOMPARE(m_referral->queries().size(), referralQueries);
    }
};

QTEST_GUILESS_MAIN(TestWhoisServers)
#include "tst_whoisservers.moc"
