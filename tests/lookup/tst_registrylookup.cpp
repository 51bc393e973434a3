#include "LocalRdapServer.h"
#include "lookup/RdapBootstrapStore.h"
#include "lookup/RegistryLookup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace ds;
using ds::test::LocalHttpResponse;
using ds::test::LocalRdapServer;

Q_DECLARE_METATYPE(QList<LocalHttpResponse>)

// Names asked of the registries through local RDAP services: verdicts end to
// end, and the pacing that keeps each server to one request at a time.
class TestRegistryLookup final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LocalRdapServer> m_alpha;
    std::unique_ptr<LocalRdapServer> m_beta;
    std::shared_ptr<RdapBootstrapStore> m_bootstrap;
    std::unique_ptr<ServiceQueue> m_queue;

    // Asks every entry with `workers` lookups side by side, each taking the
    // next entry when it is done; the records in the order they ended.
    QList<LookupRecord> run(const QStringList& entries, int workers) {
        RdapLookup::Options options;
        options.retry.baseDelayMs = 20;
        options.timeLimitMs = 300;
        std::vector<std::unique_ptr<RegistryLookup>> lookups;
        QList<LookupRecord> records;
        qsizetype next = 0;
        std::function<void(RegistryLookup&)> take = [&](RegistryLookup& lookup) {
            if (next < entries.size())
                lookup.ask([entry = entries.at(next++)] { return std::optional(entry); },
                           [&](const LookupRecord& record) {
                               records.append(record);
                               take(lookup);
                           });
        };
        for (int n = 0; n < workers; ++n) {
            lookups.push_back(std::make_unique<RegistryLookup>(*m_queue, m_bootstrap, options));
            take(*lookups.back());
        }
        [&] {
            QTRY_COMPARE_WITH_TIMEOUT(records.size(), entries.size(), 20000);
        }();
        return records;
    }

private Q_SLOTS:
    void init() {
        m_alpha = std::make_unique<LocalRdapServer>();
        m_beta = std::make_unique<LocalRdapServer>();
        QVERIFY(m_alpha->listen() && m_beta->listen());
        const QByteArray list = LocalRdapServer::bootstrap(
            {{{u"alpha"_s}, m_alpha->baseUrl()}, {{u"beta"_s}, m_beta->baseUrl()}});
        const QString file = m_dir.filePath(u"bootstrap.json"_s);
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(list) == list.size());
        out.close();
        RdapBootstrapStore::Options options;
        options.source = file;
        options.cacheDir = m_dir.filePath(u"cache"_s);
        m_bootstrap = std::make_shared<RdapBootstrapStore>(options);
        bool loaded = false;
        m_bootstrap->load([&](const QString& problem) { loaded = problem.isEmpty(); });
        QTRY_VERIFY(loaded);
        m_queue = std::make_unique<ServiceQueue>(0);
    }

    void answer_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QList<LocalHttpResponse>>("replies"); // for "x.alpha"
        QTest::addColumn<int>("verdict");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("asked");

        const int free = int(Verdict::Free);
        const int taken = int(Verdict::Taken);
        const int failed = int(Verdict::Failed);
        const auto to = [](const QByteArray& location) {
            return LocalHttpResponse{302, {{"Location", location}}, {}};
        };
        const LocalHttpResponse busy{429, {{"Retry-After", "0"}}, {}};
        LocalHttpResponse huge = LocalRdapServer::domainObject(u"x.alpha"_s);
        huge.body += QByteArray(RdapLookup::BodyLimit, ' ');
        const QStringList x{u"x.alpha"_s};
        const QStringList none;
        QTest::newRow("free") << u"x.alpha"_s << QList<LocalHttpResponse>{} << free << 404 << x;
        QTest::newRow("taken") << u"X.Alpha."_s
                               << QList{LocalRdapServer::domainObject(u"x.alpha"_s)} << taken << 200
                               << x;
        QTest::newRow("idn") << u"中国.alpha"_s << QList<LocalHttpResponse>{} << free << 404
                             << QStringList{u"xn--fiqs8s.alpha"_s};
        QTest::newRow("invalid") << u"x_y.alpha"_s << QList<LocalHttpResponse>{}
                                 << int(Verdict::Invalid) << 0 << none;
        QTest::newRow("not listed")
            << u"x.gamma"_s << QList<LocalHttpResponse>{} << int(Verdict::Unsupported) << 0 << none;
        QTest::newRow("same-host redirect") << u"x.alpha"_s << QList{to("/domain/y.alpha")} << free
                                            << 404 << QStringList{u"x.alpha"_s, u"y.alpha"_s};
        QTest::newRow("redirect elsewhere")
            << u"x.alpha"_s << QList{to("http://127.0.0.2:9/domain/x.alpha")} << failed << 302 << x;
        QTest::newRow("four redirects")
            << u"x.alpha"_s << QList<LocalHttpResponse>(4, to("/domain/x.alpha")) << failed << 302
            << QStringList(4, u"x.alpha"_s);
        QTest::newRow("body over 1 MiB") << u"x.alpha"_s << QList{huge} << failed << 200 << x;
        QTest::newRow("asked again after 429")
            << u"x.alpha"_s << QList{busy} << free << 404 << QStringList(2, u"x.alpha"_s);
        LocalHttpResponse silent;
        silent.action = LocalHttpResponse::Action::NeverAnswer;
        QTest::newRow("no answer in time, retried")
            << u"x.alpha"_s << QList<LocalHttpResponse>(3, silent) << failed << 0
            << QStringList(3, u"x.alpha"_s);
        QTest::newRow("server errors, retried")
            << u"x.alpha"_s << QList<LocalHttpResponse>(3, {500, {}, {}}) << failed << 500
            << QStringList(3, u"x.alpha"_s);
    }
    void answer() {
        QFETCH(QString, entry);
        QFETCH(QList<LocalHttpResponse>, replies);
        QFETCH(int, verdict);
        QFETCH(int, status);
        QFETCH(QStringList, asked);
        m_alpha->queueReplies(u"x.alpha"_s, replies);
        const LookupRecord record = run({entry}, 1).value(0);
        QCOMPARE(record.entry, entry);
        QCOMPARE(int(record.answer.verdict), verdict);
        QCOMPARE(record.answer.httpStatus, status);
        QCOMPARE(m_alpha->asked(), asked);
        if (!asked.isEmpty())
            QCOMPARE(record.answer.server, u"127.0.0.1:%1"_s.arg(m_alpha->http().port()));
    }

    // Two servers, names interleaved, many workers: both servers busy at
    // once, never two requests at one, and the interval kept between them.
    void pacing_data() {
        QTest::addColumn<int>("workers");
        QTest::addColumn<int>("interval");
        QTest::newRow("three workers") << 3 << 60;
        QTest::newRow("six workers") << 6 << 30;
    }
    void pacing() {
        QFETCH(int, workers);
        QFETCH(int, interval);
        m_queue = std::make_unique<ServiceQueue>(interval);
        m_alpha->setDelayMs(20);
        m_beta->setDelayMs(20);
        QStringList entries;
        for (int n = 0; n < 6; ++n)
            entries << u"n%1.alpha"_s.arg(n) << u"n%1.beta"_s.arg(n);
        run(entries, workers);
        for (LocalRdapServer* server : {m_alpha.get(), m_beta.get()}) {
            const auto requests = server->http().requests();
            QCOMPARE(requests.size(), 6);
            QCOMPARE(server->http().maxConcurrent(), 1);
            for (qsizetype n = 1; n < requests.size(); ++n)
                QVERIFY(requests[n].arrivedMs - requests[n - 1].arrivedMs >= interval + 20);
        }
        // Side by side: beta's first request came before alpha's last.
        QVERIFY(m_beta->http().requests().first().arrivedMs <
                m_alpha->http().requests().last().arrivedMs);
    }

    // A 429 with Retry-After holds its own server and no other.
    void backOffHoldsOneServer() {
        m_alpha->queueReplies(u"a0.alpha"_s, {LocalHttpResponse{429, {{"Retry-After", "1"}}, {}}});
        const QList<LookupRecord> records =
            run({u"a0.alpha"_s, u"b0.beta"_s, u"b1.beta"_s, u"b2.beta"_s, u"a1.alpha"_s}, 3);
        const auto alpha = m_alpha->http().requests();
        QCOMPARE(m_alpha->asked(), QStringList({u"a0.alpha"_s, u"a0.alpha"_s, u"a1.alpha"_s}));
        QVERIFY(alpha[1].arrivedMs - alpha[0].arrivedMs >= 1000);
        // Beta went on meanwhile: its names ended before alpha asked again.
        for (int n = 0; n < 3; ++n)
            QVERIFY(records[n].entry.endsWith(u".beta"_s));
    }
};

QTEST_GUILESS_MAIN(TestRegistryLookup)
#include "tst_registrylookup.moc"
