#include "LocalHttpServer.h"
#include "common/Error.h"
#include "http/HttpRequest.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using ds::HttpRequest;
using ds::test::LocalHttpRequest;
using ds::test::LocalHttpResponse;
using ds::test::LocalHttpServer;

using OptionalBody = std::optional<QByteArray>;
Q_DECLARE_METATYPE(OptionalBody)

// The HTTP facility against a local service: what a reply leaves behind, what
// goes out on the wire, and when completion is reported.
class TestHttpRequest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void replyOutcome_data();
    void replyOutcome();
    void requestOnTheWire_data();
    void requestOnTheWire();
    void completesOnLaterTurn_data();
    void completesOnLaterTurn();
    void openRefuses_data();
    void openRefuses();
    void misuseRefused();
    void responseHeadersAndReuse();
    void destroyedWhileRunning();

private:
    std::unique_ptr<LocalHttpServer> m_server;
};

namespace {

QString address(const LocalHttpServer& server, const QString& pathAndQuery) {
    return server.url().toString() + pathAndQuery;
}

void waitComplete(HttpRequest& request) {
    QTRY_COMPARE_WITH_TIMEOUT(request.readyState(), int{HttpRequest::Complete}, 10000);
}

QString closedPortAddress() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return u"http://127.0.0.1:%1/"_s.arg(port);
}

} // namespace

void TestHttpRequest::init() {
    m_server = std::make_unique<LocalHttpServer>();
    QVERIFY(m_server->listen());
}

void TestHttpRequest::replyOutcome_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<LocalHttpResponse>("response");
    QTest::addColumn<int>("status");
    QTest::addColumn<OptionalBody>("body");

    const auto reply = [](int status, const QByteArray& body) {
        LocalHttpResponse response;
        response.status = status;
        response.body = body;
        return response;
    };
    LocalHttpResponse omitted = reply(200, {});
    omitted.omitBody = true;
    LocalHttpResponse noContent = reply(204, {});
    noContent.omitBody = true;
    LocalHttpResponse dropped;
    dropped.action = LocalHttpResponse::Action::DropConnection;
    LocalHttpResponse delayed = reply(200, "late");
    delayed.delayMs = 150;

    QTest::newRow("empty body") << "GET"_ba << reply(200, {}) << 200 << OptionalBody(""_ba);
    QTest::newRow("two bytes") << "GET"_ba << reply(200, "ab") << 200 << OptionalBody("ab"_ba);
    QTest::newRow("three bytes") << "GET"_ba << reply(200, "abc") << 200 << OptionalBody("abc"_ba);
    QTest::newRow("binary bytes") << "GET"_ba << reply(200, "\xc4\xe3\0a"_ba) << 200
                                  << OptionalBody("\xc4\xe3\0a"_ba);
    QTest::newRow("error page") << "GET"_ba << reply(404, "<p>gone</p>") << 404
                                << OptionalBody("<p>gone</p>"_ba);
    QTest::newRow("server error page")
        << "GET"_ba << reply(500, "oops") << 500 << OptionalBody("oops"_ba);
    QTest::newRow("body ended by close") << "GET"_ba << omitted << 200 << OptionalBody(""_ba);
    QTest::newRow("no content") << "GET"_ba << noContent << 204 << OptionalBody();
    QTest::newRow("head") << "HEAD"_ba << reply(200, "abc") << 200 << OptionalBody();
    QTest::newRow("dropped connection") << "GET"_ba << dropped << 0 << OptionalBody();
    QTest::newRow("delayed answer") << "GET"_ba << delayed << 200 << OptionalBody("late"_ba);
}

void TestHttpRequest::replyOutcome() {
    QFETCH(QByteArray, method);
    QFETCH(LocalHttpResponse, response);
    QFETCH(int, status);
    QFETCH(OptionalBody, body);
    m_server->setHandler([response](const LocalHttpRequest&) { return response; });

    HttpRequest request;
    QSignalSpy completed(&request, &HttpRequest::completed);
    request.open(method, address(*m_server, u"page"_s));
    request.send();
    waitComplete(request);

    QCOMPARE(completed.size(), 1);
    QCOMPARE(request.status(), status);
    QCOMPARE(request.responseBody(), body);
    QCOMPARE(request.networkError() == QNetworkReply::NoError, status >= 200 && status < 400);
    QCOMPARE(request.errorString().isEmpty(), request.networkError() == QNetworkReply::NoError);
}

void TestHttpRequest::requestOnTheWire_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("sentMethod");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("query");

    QTest::newRow("get with query")
        << "GET"_ba << u"domain/check.do?method=check"_s << QByteArray() << "GET"_ba
        << "/domain/check.do"_ba
        << "method=check"_ba;
    QTest::newRow("post with body") << "POST"_ba << u"check"_s << "domainName=a.com"_ba
                                    << "POST"_ba
                                    << "/check"_ba << QByteArray();
    QTest::newRow("method in lower case") << "post"_ba << u"x"_s << "k=v"_ba
                                          << "POST"_ba
                                          << "/x"_ba << QByteArray();
    QTest::newRow("other method kept as given")
        << "Purge"_ba << u"x"_s << QByteArray() << "Purge"_ba
        << "/x"_ba << QByteArray();
    QTest::newRow("spaces around the address")
        << "GET"_ba << u"a?b=1 \t"_s << QByteArray() << "GET"_ba
        << "/a"_ba
        << "b=1"_ba;
    QTest::newRow("space inside the path") << "GET"_ba << u"a b"_s << QByteArray() << "GET"_ba
                                           << "/a%20b"_ba << QByteArray();
}

void TestHttpRequest::requestOnTheWire() {
    QFETCH(QByteArray, method);
    QFETCH(QString, url);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, sentMethod);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, query);

    HttpRequest request;
    // Leading blanks are tested on the whole address, since the server's part comes first.
    request.open(method, u"  "_s + address(*m_server, url));
    request.setRequestHeader("content-type", "application/x-www-form-urlencoded");
    request.setRequestHeader("X-Part", "one");
    request.setRequestHeader("x-part", "two");
    request.send(body);
    waitComplete(request);

    QCOMPARE(m_server->requests().size(), 1);
    const LocalHttpRequest seen = m_server->requests().constFirst();
    QCOMPARE(seen.method, sentMethod);
    QCOMPARE(seen.path, path);
    QCOMPARE(seen.query, query);
    QCOMPARE(seen.body, body);
    QCOMPARE(seen.header("Content-Type"), "application/x-www-form-urlencoded"_ba);
    QCOMPARE(seen.header("X-Part"), "one, two"_ba);
}

void TestHttpRequest::completesOnLaterTurn_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QNetworkReply::NetworkError>("error");

    QTest::newRow("about:blank") << u"about:blank"_s << QNetworkReply::ProtocolUnknownError;
    QTest::newRow("unknown scheme") << u"nosuch:thing"_s << QNetworkReply::ProtocolUnknownError;
    QTest::newRow("nobody listening")
        << closedPortAddress() << QNetworkReply::ConnectionRefusedError;
}

void TestHttpRequest::completesOnLaterTurn() {
    QFETCH(QString, url);
    QFETCH(QNetworkReply::NetworkError, error);

    HttpRequest request;
    QSignalSpy completed(&request, &HttpRequest::completed);
    request.open("GET", url);
    QCOMPARE(request.readyState(), int{HttpRequest::Opened});
    request.send();
    QCOMPARE(request.readyState(), int{HttpRequest::Sent});
    QCOMPARE(completed.size(), 0);

    waitComplete(request);
    QCOMPARE(completed.size(), 1);
    QCOMPARE(request.networkError(), error);
    QCOMPARE(request.status(), 0);
    QCOMPARE(request.responseBody(), OptionalBody());
    QVERIFY(!request.errorString().isEmpty());
}

void TestHttpRequest::openRefuses_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("url");

    QTest::newRow("empty address") << "GET"_ba << QString();
    QTest::newRow("blank address") << "GET"_ba << u"   "_s;
    QTest::newRow("no scheme") << "GET"_ba << u"example.com/x"_s;
    QTest::newRow("http without host") << "GET"_ba << u"http://"_s;
    QTest::newRow("unclosed bracket") << "GET"_ba << u"http://[::1/"_s;
    QTest::newRow("space in host") << "GET"_ba << u"http://a b/"_s;
    QTest::newRow("empty method") << QByteArray() << u"http://127.0.0.1/"_s;
    QTest::newRow("method with a space") << "GE T"_ba << u"http://127.0.0.1/"_s;
    QTest::newRow("method with a line break") << "GET\r\nX: y"_ba << u"http://127.0.0.1/"_s;
}

void TestHttpRequest::openRefuses() {
    QFETCH(QByteArray, method);
    QFETCH(QString, url);

    HttpRequest request;
    try {
        request.open(method, url);
        QFAIL("open accepted the request");
    } catch (const ds::Error& error) {
        QCOMPARE(error.number(), ds::ErrorNumber::HttpFailure);
        QVERIFY(!error.text().isEmpty());
    }
    QCOMPARE(request.readyState(), int{HttpRequest::Unsent});
}

void TestHttpRequest::misuseRefused() {
    const auto refuses = [](auto&& operation) {
        try {
            operation();
        } catch (const ds::Error& error) {
            return error.number() == ds::ErrorNumber::HttpFailure;
        }
        return false;
    };
    HttpRequest request;
    QVERIFY(refuses([&] { request.send(); }));
    QVERIFY(refuses([&] { request.setRequestHeader("X-A", "1"); }));

    request.open("GET", address(*m_server, u"x"_s));
    QVERIFY(refuses([&] { request.setRequestHeader("X-A", "1\r\nX-Injected: 1"); }));
    QVERIFY(refuses([&] { request.setRequestHeader("X A", "1"); }));
    request.send();
    QVERIFY(refuses([&] { request.send(); }));
    QVERIFY(refuses([&] { request.open("GET", address(*m_server, u"y"_s)); }));
    waitComplete(request);
    QCOMPARE(m_server->requests().size(), 1);
    QVERIFY(m_server->requests().constFirst().header("X-Injected").isEmpty());

    // A completed request may be opened again and starts afresh.
    m_server->setHandler([](const LocalHttpRequest&) { return LocalHttpResponse{404, {}, {}}; });
    request.open("GET", address(*m_server, u"z"_s));
    QCOMPARE(request.status(), 0);
    QCOMPARE(request.responseBody(), OptionalBody());
    request.send();
    waitComplete(request);
    QCOMPARE(request.status(), 404);
}

void TestHttpRequest::responseHeadersAndReuse() {
    m_server->setHandler([](const LocalHttpRequest&) {
        LocalHttpResponse response;
        response.status = 503;
        response.headers = {{"Retry-After", "120"}, {"X-Many", "a"}, {"X-Many", "b"}};
        return response;
    });
    for (int round = 0; round < 3; ++round) {
        HttpRequest request;
        request.open("GET", address(*m_server, u"busy"_s));
        request.send();
        waitComplete(request);
        QCOMPARE(request.status(), 503);
        QCOMPARE(request.responseHeader("retry-after"), "120"_ba);
        QCOMPARE(request.responseHeader("X-Many"), "a, b"_ba);
        QVERIFY(request.responseHeader("X-Absent").isEmpty());
    }
    // Sequential requests travel over one kept-alive connection.
    QCOMPARE(m_server->connectionsAccepted(), 1);
    QCOMPARE(m_server->maxConcurrent(), 1);
}

void TestHttpRequest::destroyedWhileRunning() {
    m_server->setHandler([](const LocalHttpRequest&) {
        LocalHttpResponse response;
        response.action = LocalHttpResponse::Action::NeverAnswer;
        return response;
    });
    bool completed = false;
    {
        HttpRequest request;
        connect(&request, &HttpRequest::completed, this, [&] { completed = true; });
        request.open("GET", address(*m_server, u"slow"_s));
        request.send();
        QTRY_COMPARE(m_server->outstanding(), 1);
    }
    // The abandoned transfer is aborted: the server sees its client go.
    QTRY_COMPARE(m_server->outstanding(), 0);
    m_server->setHandler({});
    HttpRequest next;
    next.open("GET", address(*m_server, u"next"_s));
    next.send();
    waitComplete(next);
    QCOMPARE(next.status(), 200);
    QVERIFY(!completed);
}

QTEST_GUILESS_MAIN(TestHttpRequest)
#include "tst_httprequest.moc"
