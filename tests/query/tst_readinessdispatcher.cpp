#include "LocalRdapServer.h"
#include "LocalWhoisServer.h"
#include "MemoryRunBoard.h"
#include "lookup/RdapBootstrapStore.h"
#include "query/QueryEngine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace ds;
using namespace ds::test;

// The registries' dispatcher: a server that holds its names back delays no
// other server's names, a hold past the longest wait ends its names with the
// time it named, a shorter one is waited out, and no server ever gets two
// requests at once.
class TestReadinessDispatcher final : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<LocalRdapServer> m_alphaServer;
    std::unique_ptr<LocalRdapServer> m_betaServer;
    std::unique_ptr<LocalWhoisServer> m_whoisServer;

    EngineConfig config(int workers) {
        EngineConfig config;
        config.workers = workers;
        config.serverIntervalMs = 10;
        config.whoisServerIntervalMs = 10;
        config.retry.baseDelayMs = 20;
        config.bootstrap = LocalRdapServer::bootstrapStore(
            {{{u"alpha"_s}, m_alphaServer->baseUrl()}, {{u"beta"_s}, m_betaServer->baseUrl()}},
            m_folder.path());
        config.whois.referral = {u"127.0.0.1"_s, m_whoisServer->port()};
        config.whois.overrides.insert(u"cn"_s, config.whois.referral);
        config.whois.cacheDir = m_folder.path();
        return config;
    }

    // Ten names each of .alpha, .beta and .cn, interleaved.
    static QString list() {
        QStringList names;
        for (int n = 0; n < 10; ++n)
            names << u"a%1.alpha"_s.arg(n) << u"b%1.beta"_s.arg(n) << u"c%1.cn"_s.arg(n);
        return names.join(u'\n');
    }

    static int countWith(const MemoryRunBoard& board, const QString& tld, Verdict verdict) {
        int count = 0;
        for (const auto& [number, record] : board.records)
            count += record.entry.endsWith(tld) && record.answer.verdict == verdict;
        return count;
    }

private Q_SLOTS:
    void init() {
        m_alphaServer = std::make_unique<LocalRdapServer>();
        m_betaServer = std::make_unique<LocalRdapServer>();
        m_whoisServer = std::make_unique<LocalWhoisServer>();
        m_alphaServer->setDelayMs(20);
        m_betaServer->setDelayMs(20);
        QVERIFY(m_alphaServer->listen() && m_betaServer->listen() && m_whoisServer->listen());
        m_whoisServer->setHandler(
            [](const QByteArray&) { return LocalWhoisAnswer{"No matching record."}; });
    }

    void holds_data() {
        QTest::addColumn<QByteArray>("betaRetryAfter"); // empty: beta answers at once
        QTest::addColumn<QByteArray>("whoisNotice");    // empty: WHOIS answers at once
        QTest::addColumn<int>("betaFailed");
        QTest::addColumn<int>("cnFailed");
        QTest::addColumn<QString>("reason");
        const QString held = u"服务器限流，"_s;
        QTest::newRow("RDAP server holds an hour") << "3600"_ba
                                                   << ""_ba << 10 << 0 << held;
        QTest::newRow("WHOIS server holds an hour")
            << ""_ba
            << "Query limit exceeded, try again in 3600 seconds."_ba << 0 << 10 << held;
        QTest::newRow("WHOIS server blocks us")
            << ""_ba
            << "Your IP address has been blocked."_ba << 0 << 10 << u"服务器拒绝"_s;
        QTest::newRow("short hold waited out") << "1"_ba
                                               << ""_ba << 0 << 0 << QString();
    }
    void holds() {
        QFETCH(QByteArray, betaRetryAfter);
        QFETCH(QByteArray, whoisNotice);
        QFETCH(int, betaFailed);
        QFETCH(int, cnFailed);
        QFETCH(QString, reason);
        const bool holdsForGood = betaRetryAfter == "3600";
        for (int n = 0; n < 10 && !betaRetryAfter.isEmpty(); ++n) {
            if (n == 0 || holdsForGood)
                m_betaServer->queueReplies(u"b%1.beta"_s.arg(n),
                                           {{429, {{"Retry-After", betaRetryAfter}}, "slow down"}});
        }
        if (!whoisNotice.isEmpty())
            m_whoisServer->setHandler(
                [whoisNotice](const QByteArray&) { return LocalWhoisAnswer{whoisNotice}; });
        MemoryRunBoard board;
        board.setList(list());
        QueryEngine engine(board, config(16));
        engine.start();
        QVERIFY(QTest::qWaitFor([&] { return engine.state() == RunState::Ready; }, 15000));

        QCOMPARE(int(board.records.size()), 30);
        QCOMPARE(countWith(board, u".alpha"_s, Verdict::Free), 10);
        QCOMPARE(countWith(board, u".beta"_s, Verdict::Failed), betaFailed);
        QCOMPARE(countWith(board, u".beta"_s, Verdict::Free), 10 - betaFailed);
        QCOMPARE(countWith(board, u".cn"_s, Verdict::Failed), cnFailed);
        QCOMPARE(countWith(board, u".cn"_s, Verdict::Free), 10 - cnFailed);
        for (const auto& [number, record] : board.records) {
            if (record.answer.verdict == Verdict::Failed)
                QVERIFY2(record.answer.detail.startsWith(reason), qPrintable(record.answer.detail));
        }
        // A held server hears of one name, not of every name it holds.
        if (betaFailed > 0)
            QCOMPARE(m_betaServer->asked().size(), 1);
        if (cnFailed > 0)
            QCOMPARE(m_whoisServer->queries().size(), 1);
    }

    // Paused or stopped while a server holds: nothing goes out until the run
    // goes on, and a stopped run leaves nothing running.
    void pauseAndStopDuringHold_data() {
        QTest::addColumn<bool>("stop");
        QTest::newRow("pause, then continue") << false;
        QTest::newRow("stop, then start again") << true;
    }
    void pauseAndStopDuringHold() {
        QFETCH(bool, stop);
        m_betaServer->queueReplies(u"b0.beta"_s, {{429, {{"Retry-After", "1"}}, "slow down"}});
        m_alphaServer->setDelayMs(200);
        MemoryRunBoard board;
        board.setList(list());
        QueryEngine engine(board, config(2));
        engine.start();
        QTRY_COMPARE(m_betaServer->asked().size(), 1);
        stop ? engine.stop() : engine.pause();
        QTest::qWait(300);
        const qsizetype asked = m_alphaServer->asked().size() + m_betaServer->asked().size();
        QTest::qWait(1500);
        QCOMPARE(m_alphaServer->asked().size() + m_betaServer->asked().size(), asked);
        QCOMPARE(engine.state(), stop ? RunState::Ready : RunState::Paused);
        stop ? engine.start() : engine.resume();
        QVERIFY(QTest::qWaitFor([&] { return engine.state() == RunState::Ready; }, 15000));
        QCOMPARE(int(board.records.size()), 30);
        QCOMPARE(countWith(board, u".beta"_s, Verdict::Free), 10);
    }

    void oneRequestPerServer_data() {
        QTest::addColumn<int>("workers");
        QTest::newRow("1") << 1;
        QTest::newRow("4") << 4;
        QTest::newRow("64") << 64;
    }
    void oneRequestPerServer() {
        QFETCH(int, workers);
        MemoryRunBoard board;
        board.setList(list());
        QueryEngine engine(board, config(workers));
        engine.start();
        QVERIFY(QTest::qWaitFor([&] { return engine.state() == RunState::Ready; }, 15000));
        QCOMPARE(int(board.records.size()), 30);
        QCOMPARE(m_alphaServer->http().maxConcurrent(), 1);
        QCOMPARE(m_betaServer->http().maxConcurrent(), 1);
    }
};

QTEST_GUILESS_MAIN(TestReadinessDispatcher)
#include "tst_readinessdispatcher.moc"
