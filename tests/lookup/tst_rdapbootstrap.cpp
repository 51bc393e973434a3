#include "LocalRdapServer.h"
#include "lookup/RdapBootstrapStore.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;
using ds::test::LocalHttpResponse;
using ds::test::LocalRdapServer;

Q_DECLARE_METATYPE(LocalHttpResponse)

namespace {

QDateTime daysAgo(int days) {
    return QDateTime::currentDateTimeUtc().addDays(-days);
}

QByteArray listing(const QString& tld, const QDateTime& publication) {
    return LocalRdapServer::bootstrap({{{tld}, QUrl(u"https://rdap.example/"_s)}}, publication);
}

bool knows(const RdapBootstrapStore& store, const QString& name) {
    return store.current() && store.current()->baseUrlFor(name).has_value();
}

} // namespace

// IANA's list: which server answers for a name, which copy is in use, and
// that only a good, newer download ever replaces it.
class TestRdapBootstrap final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void match_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("base"); // empty: no server
        QTest::newRow("https preferred, slash added") << u"a.com"_s << u"https://s.example/r/"_s;
        QTest::newRow("case ignored") << u"A.B.COM"_s << u"https://s.example/r/"_s;
        QTest::newRow("longest suffix") << u"x.co.uk"_s << u"https://couk.example/"_s;
        QTest::newRow("shorter suffix") << u"x.org.uk"_s << u"https://uk.example/"_s;
        QTest::newRow("upper-case entry") << u"a.xn--fiqs8s"_s << u"http://cn.example/"_s;
        QTest::newRow("whole labels only") << u"a.notcom"_s << QString();
        QTest::newRow("not listed") << u"a.io"_s << QString();
    }
    void match() {
        QFETCH(QString, name);
        QFETCH(QString, base);
        const QByteArray json =
            "{\"publication\": \"2026-01-01T00:00:00Z\", \"services\": ["
            "[[\"com\", \"net\"], [\"http://p.example/\", \"https://s.example/r\"]],"
            "[[\"co.uk\"], [\"https://couk.example/\"]],"
            "[[\"uk\"], [\"https://uk.example/\"]],"
            "[[\"XN--FIQS8S\"], [\"ftp://x.example/\", \"http://cn.example/\"]]]}";
        const std::optional<RdapBootstrap> bootstrap = RdapBootstrap::parse(json);
        QVERIFY(bootstrap);
        QCOMPARE(bootstrap->baseUrlFor(name).value_or(QUrl()).toString(), base);
    }

    // Where the list comes from: the shipped copy, or the given file or
    // address alone.
    void source_data() {
        QTest::addColumn<QString>("source"); // %1: a file holding .test, %2: the service
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("shipped copy") << QString() << u"example.com"_s << true;
        QTest::newRow("file") << u"%1"_s << u"a.test"_s << true;
        QTest::newRow("address") << u"%2dns.json"_s << u"a.test"_s << true;
        QTest::newRow("missing file") << u"%1.gone"_s << QString() << false;
        QTest::newRow("address without a list") << u"%2nothing"_s << QString() << false;
    }
    void source() {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(bool, loaded);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"list.json"_s);
        const QByteArray list = listing(u"test"_s, daysAgo(1));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(list) == list.size());
        out.close();
        LocalRdapServer service;
        QVERIFY(service.listen());
        service.http().setHandler([&](const ds::test::LocalHttpRequest& request) {
            return request.path == "/nothing" ? LocalHttpResponse{404, {}, "{}"}
                                              : LocalHttpResponse{200, {}, list};
        });

        // IANA stands in as the same service, to see that it is never asked.
        const QUrl iana = service.baseUrl().resolved(QUrl(u"iana.json"_s));
        RdapBootstrapStore::Options options;
        options.source =
            QString(source).replace(u"%1"_s, file).replace(u"%2"_s, service.baseUrl().toString());
        options.cacheDir = dir.filePath(u"cache"_s);
        options.refreshUrl = iana;
        RdapBootstrapStore store(options);
        QString problem = u"pending"_s;
        store.load([&](const QString& text) { problem = text; });
        QTRY_VERIFY(problem != u"pending"_s);
        QCOMPARE(problem.isEmpty(), loaded);
        if (loaded)
            QVERIFY(knows(store, name));
        if (source.isEmpty())
            return;
        store.refreshIfStale();
        QTest::qWait(100);
        for (const auto& request : service.http().requests())
            QVERIFY(request.path != "/iana.json");
    }

    // A refresh from IANA's address (here a local service) with a cache in
    // the given state.
    void refresh_data() {
        QTest::addColumn<QByteArray>("cached"); // empty: none
        QTest::addColumn<int>("cacheAgeDays");
        QTest::addColumn<LocalHttpResponse>("download");
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("knowsTest"); // the list in use lists .test

        const QByteArray newer = listing(u"test"_s, daysAgo(1));
        const QByteArray older = listing(u"test"_s, QDateTime(QDate(2020, 1, 1), QTime()));
        const QByteArray noServices =
            "{\"publication\": \"2099-01-01T00:00:00Z\", \"services\": []}";
        const auto reply = [](int status, const QByteArray& body) {
            return LocalHttpResponse{status, {}, body};
        };
        QTest::newRow("newer") << QByteArray() << 0 << reply(200, newer) << 1 << true;
        QTest::newRow("older") << QByteArray() << 0 << reply(200, older) << 1 << false;
        QTest::newRow("broken") << QByteArray() << 0 << reply(200, newer.left(90)) << 1 << false;
        QTest::newRow("no services") << QByteArray() << 0 << reply(200, noServices) << 1 << false;
        QTest::newRow("server error") << QByteArray() << 0 << reply(500, newer) << 1 << false;
        QTest::newRow("fresh cache") << newer << 2 << reply(200, older) << 0 << true;
        QTest::newRow("stale cache, unchanged") << newer << 8 << reply(304, {}) << 1 << true;
        QTest::newRow("stale cache, broken") << newer << 8 << reply(200, "{") << 1 << true;
    }
    void refresh() {
        QFETCH(QByteArray, cached);
        QFETCH(int, cacheAgeDays);
        QFETCH(LocalHttpResponse, download);
        QFETCH(int, requests);
        QFETCH(bool, knowsTest);
        QTemporaryDir dir;
        const QString cacheFile = dir.filePath(u"rdap-dns.json"_s);
        if (!cached.isEmpty()) {
            QFile out(cacheFile);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(cached) == cached.size());
            QVERIFY(out.flush());
            QVERIFY(out.setFileTime(daysAgo(cacheAgeDays), QFileDevice::FileModificationTime));
        }
        LocalRdapServer iana;
        QVERIFY(iana.listen());
        iana.http().setHandler([&](const ds::test::LocalHttpRequest&) { return download; });

        RdapBootstrapStore::Options options;
        options.cacheDir = dir.path();
        options.refreshUrl = iana.baseUrl().resolved(QUrl(u"dns.json"_s));
        RdapBootstrapStore store(options);
        store.load([](const QString&) {});
        QSignalSpy ended(&store, &RdapBootstrapStore::refreshEnded);
        store.refreshIfStale();
        if (requests > 0)
            QVERIFY(ended.wait());
        QCOMPARE(iana.http().requests().size(), requests);
        QCOMPARE(knows(store, u"a.test"_s), knowsTest);
        QVERIFY(knows(store, u"example.com"_s) != knowsTest);
        if (requests > 0)
            QVERIFY(!iana.http().requests().first().header("If-Modified-Since").isEmpty());

        // What the next start finds: the copy now in use, never a broken one.
        RdapBootstrapStore next(options);
        next.load([](const QString&) {});
        QCOMPARE(knows(next, u"a.test"_s), knowsTest);
    }
};

QTEST_GUILESS_MAIN(TestRdapBootstrap)
#include "tst_rdapbootstrap.moc"
