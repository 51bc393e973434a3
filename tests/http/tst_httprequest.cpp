#include "LocalHttpServer.h"
#include "common/Error.h"
#include "http/HttpRequest.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using ds::HttpRequest;
using ds::test::LocalHttpRequest;
using ds::test::LocalHttpResponse;
using ds::test::LocalHttpServer;

using OptionalBody = std::optional<QByteArray>;
Q_DECLARE_METATYPE(OptionalBody)
Q_DECLARE_METATYPE(LocalHttpResponse)

// The HTTP facility against a local service: what a reply leaves behind, what
// goes out on the wire, which requests are refused, and when completion comes.
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
    void refused_data();
    void refused();
    void destroyedWhileRunning();

private:
    std::unique_ptr<LocalHttpServer> m_server;
};

namespace {

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

LocalHttpResponse response(int status, const QByteArray& body, bool omitBody = false) {
    LocalHttpResponse result;
    result.status = status;
    result.body = body;
    result.omitBody = omitBody;
    result.headers = {{"Retry-After", "120"}, {"X-Many", "a"}, {"X-Many", "b"}};
    return result;
}

} // namespace

void TestHttpRequest::init() {
    m_server = std::make_unique<LocalHttpServer>();
    QVERIFY(m_server->listen());
}

void TestHttpRequest::replyOutcome_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<LocalHttpResponse>("answer");
    QTest::addColumn<int>("status");
    QTest::addColumn<OptionalBody>("body");

    LocalHttpResponse dropped;
    dropped.action = LocalHttpResponse::Action::DropConnection;
    LocalHttpResponse delayed = response(200, "late");
    delayed.delayMs = 150;

    QTest::newRow("empty body") << "GET"_ba << response(200, {}) << 200 << OptionalBody(""_ba);
    QTest::newRow("binary bytes") << "GET"_ba << response(200, "\xc4\xe3\0a"_ba) << 200
                                  << OptionalBody("\xc4\xe3\0a"_ba);
    QTest::newRow("error page") << "GET"_ba << response(404, "<p>gone</p>") << 404
                                << OptionalBody("<p>gone</p>"_ba);
    QTest::newRow("body ended by close")
        << "POST"_ba << response(200, {}, true) << 200 << OptionalBody(""_ba);
    QTest::newRow("no content") << "GET"_ba << response(204, {}, true) << 204 << OptionalBody();
    QTest::newRow("head") << "HEAD"_ba << response(200, "abc") << 200 << OptionalBody();
    QTest::newRow("dropped connection") << "GET"_ba << dropped << 0 << OptionalBody();
    QTest::newRow("delayed answer") << "GET"_ba << delayed << 200 << OptionalBody("late"_ba);
}

void TestHttpRequest::replyOutcome() {
    QFETCH(QByteArray, method);
    QFETCH(LocalHttpResponse, answer);
    QFETCH(int, status);
    QFETCH(OptionalBody, body);
    m_server->setHandler([answer](const LocalHttpRequest&) { return answer; });

    HttpRequest request;
    QSignalSpy completed(&request, &HttpRequest::completed);
    request.open(method, m_server->url().toString());
    request.setRequestHeader("content-type", "text/plain");
    request.send();
    waitComplete(request);

    QCOMPARE(completed.size(), 1);
    QCOMPARE(request.status(), status);
    QCOMPARE(request.responseBody(), body);
    QCOMPARE(request.networkError() == QNetworkReply::NoError, status >= 200 && status < 400);
    QCOMPARE(request.errorString().isEmpty(), request.networkError() == QNetworkReply::NoError);
    QCOMPARE(request.responseHeader("retry-after"), status ? "120"_ba : QByteArray());
    QCOMPARE(request.responseHeader("X-Many"), status ? "a, b"_ba : QByteArray());
}

void TestHttpRequest::requestOnTheWire_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("sentMethod");
    QTest::addColumn<QByteArray>("target");

    QTest::newRow("get with query")
        << "GET"_ba << u"domain/check.do?method=check"_s << QByteArray() << "GET"_ba
        << "/domain/check.do?method=check"_ba;
    QTest::newRow("post with body") << "POST"_ba << u"check"_s << "domainName=a.com"_ba
                                    << "POST"_ba
                                    << "/check?"_ba;
    QTest::newRow("method in lower case") << "post"_ba << u"x"_s << "k=v"_ba
                                          << "POST"_ba
                                          << "/x?"_ba;
    QTest::newRow("other method kept as given")
        << "Purge"_ba << u"x"_s << QByteArray() << "Purge"_ba
        << "/x?"_ba;
    QTest::newRow("blanks around the address")
        << "GET"_ba << u"a?b=1 \t"_s << QByteArray() << "GET"_ba
        << "/a?b=1"_ba;
    QTest::newRow("space inside the path") << "GET"_ba << u"a b"_s << QByteArray() << "GET"_ba
                                           << "/a%20b?"_ba;
}

void TestHttpRequest::requestOnTheWire() {
    QFETCH(QByteArray, method);
    QFETCH(QString, url);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, sentMethod);
    QFETCH(QByteArray, target);

    for (int round = 0; round < 2; ++round) {
        HttpRequest request;
        // Leading blanks go before the whole address, the service's part included.
        request.open(method, u"  "_s + m_server->url().toString() + url);
        request.setRequestHeader("content-type", "text/plain");
        request.setRequestHeader("X-Part", "one");
        request.setRequestHeader("x-part", "two");
        request.send(body);
        waitComplete(request);
    }
    const LocalHttpRequest seen = m_server->requests().constLast();
    QCOMPARE(seen.method, sentMethod);
    QCOMPARE(seen.path + '?' + seen.query, target);
    QCOMPARE(seen.body, body);
    QCOMPARE(seen.header("Content-Type"), "text/plain"_ba);
    QCOMPARE(seen.header("X-Part"), "one, two"_ba);
    // One request after the other travel over one kept-alive connection.
    QCOMPARE(m_server->requests().size(), 2);
    QCOMPARE(m_server->connectionsAccepted(), 1);
    QCOMPARE(m_server->maxConcurrent(), 1);
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

void TestHttpRequest::refused_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("headerName");
    QTest::addColumn<QByteArray>("headerValue");

    const QString fine = u"http://127.0.0.1/"_s;
    const QByteArray none;
    QTest::newRow("empty address") << "GET"_ba << QString() << none << none;
    QTest::newRow("blank address") << "GET"_ba << u" \t "_s << none << none;
    QTest::newRow("no scheme") << "GET"_ba << u"example.com/x"_s << none << none;
    QTest::newRow("http without host") << "GET"_ba << u"http://"_s << none << none;
    QTest::newRow("unclosed bracket") << "GET"_ba << u"http://[::1/"_s << none << none;
    QTest::newRow("space in host") << "GET"_ba << u"http://a b/"_s << none << none;
    QTest::newRow("empty method") << none << fine << none << none;
    QTest::newRow("method with a line break") << "GET\r\nX: y"_ba << fine << none << none;
    QTest::newRow("header value with a line break") << "GET"_ba << fine << "X-Value"_ba
                                                    << "1\r\nX-Evil: 1"_ba;
    QTest::newRow("header name with a space") << "GET"_ba << fine << "X A"_ba
                                              << "1"_ba;
}

void TestHttpRequest::refused() {
    QFETCH(QByteArray, method);
    QFETCH(QString, url);
    QFETCH(QByteArray, headerName);
    QFETCH(QByteArray, headerValue);

    HttpRequest request;
    try {
        request.open(method, url);
        request.setRequestHeader(headerName.isEmpty() ? "X-Fine"_ba : headerName, headerValue);
        QFAIL("the request was accepted");
    } catch (const ds::Error& error) {
        QCOMPARE(error.number(), ds::ErrorNumber::HttpFailure);
        QVERIFY(!error.text().isEmpty());
    }
    // Nothing was sent, and a request that was never opened cannot be sent.
    QVERIFY(request.readyState() != HttpRequest::Sent);
    if (request.readyState() == HttpRequest::Unsent)
        QVERIFY_THROWS_EXCEPTION(ds::Error, request.send());
}

void TestHttpRequest::destroyedWhileRunning() {
    m_server->setHandler([](const LocalHttpRequest&) {
        LocalHttpResponse answer;
        answer.action = LocalHttpResponse::Action::NeverAnswer;
        return answer;
    });
    bool completed = false;
    {
        HttpRequest request;
        connect(&request, &HttpRequest::completed, this, [&] { completed = true; });
        request.open("GET", m_server->url().toString());
        request.send();
        QTRY_COMPARE(m_server->outstanding(), 1);
        QVERIFY_THROWS_EXCEPTION(ds::Error, request.send());
    }
    // The abandoned transfer is aborted: the service sees its client go.
    QTRY_COMPARE(m_server->outstanding(), 0);
    QTest::qWait(50);
    QVERIFY(!completed);
}

QTEST_GUILESS_MAIN(TestHttpRequest)
#include "tst_httprequest.moc"
