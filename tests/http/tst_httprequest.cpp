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

using OptionalBody = std::optional<QByteArray>;
Q_DECLARE_METATYPE(OptionalBody)
Q_DECLARE_METATYPE(LocalHttpResponse)

// The HTTP facility against a local service: what goes out on the wire, what
// the reply leaves behind, which requests are refused, and that an abandoned
// transfer is aborted without a word.
class TestHttpRequest final : public QObject {
    Q_OBJECT

    std::unique_ptr<ds::test::LocalHttpServer> m_server;

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<ds::test::LocalHttpServer>();
        QVERIFY(m_server->listen());
    }

    void exchange_data() {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("url"); // %1 stands for the local service
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<LocalHttpResponse>("answer");
        QTest::addColumn<QByteArray>("wire"); // empty when the service sees nothing
        QTest::addColumn<OptionalBody>("body");

        const LocalHttpResponse page{404, {{"Retry-After", "1"}, {"retry-after", "2"}}, "gone"};
        const LocalHttpResponse noContent{204, page.headers, {}, true};
        LocalHttpResponse dropped;
        dropped.action = LocalHttpResponse::Action::DropConnection;
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const QString closedPort = u"http://127.0.0.1:%1/"_s.arg(probe.serverPort());

        const auto row = [](const char* name, const QByteArray& method, const QString& url,
                            const QByteArray& sent, const LocalHttpResponse& answer,
                            const QByteArray& wire, const OptionalBody& body = {}) {
            QTest::newRow(name) << method << url << sent << answer << wire << body;
        };
        row("post, error page", "POST", u"%1check?a=1"_s, "k=v", page, "POST /check?a=1", "gone");
        row("lower-case post, no content", "post", u"%1x"_s, "k=v", noContent, "POST /x?");
        row("other method kept as given, dropped", "Purge", u"%1x"_s, "", dropped, "Purge /x?");
        row("blanks around the address", "GET", u" \t%1a b?c=1 \t"_s, "", page, "GET /a%20b?c=1",
            "gone");
        row("about:blank", "GET", u"about:blank"_s, "", page, "");
        row("nobody listening", "GET", closedPort, "", page, "");
    }

    void exchange() {
        QFETCH(QByteArray, method);
        QFETCH(QString, url);
        QFETCH(QByteArray, sent);
        QFETCH(LocalHttpResponse, answer);
        QFETCH(QByteArray, wire);
        QFETCH(OptionalBody, body);
        m_server->setHandler([answer](const LocalHttpRequest&) { return answer; });

        HttpRequest request;
        QSignalSpy completed(&request, &HttpRequest::completed);
        request.open(method, url.replace(u"%1"_s, m_server->url().toString()));
        request.setRequestHeader("Content-Type", "text/plain");
        request.setRequestHeader("X-Part", "one");
        request.setRequestHeader("x-part", "two");
        request.send(sent);
        // Completion waits for the event loop, even for an address that cannot be fetched.
        QCOMPARE(request.readyState(), int{HttpRequest::Sent});
        QVERIFY(completed.wait(10000));
        QCOMPARE(completed.size(), 1);
        QCOMPARE(request.responseBody(), body);
        const bool replied = !wire.isEmpty() && answer.action == LocalHttpResponse::Action::Reply;
        QCOMPARE(request.status(), replied ? answer.status : 0);
        QCOMPARE(request.responseHeader("RETRY-AFTER"), replied ? "1, 2"_ba : QByteArray());

        QCOMPARE(m_server->requests().isEmpty(), wire.isEmpty());
        if (wire.isEmpty())
            return;
        const LocalHttpRequest seen = m_server->requests().constLast();
        QCOMPARE(seen.method + ' ' + seen.path + '?' + seen.query, wire);
        QCOMPARE(seen.body, sent);
        QCOMPARE(seen.header("content-type"), "text/plain"_ba);
        QCOMPARE(seen.header("X-Part"), "one, two"_ba);
    }

    void refused_data() {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("headerName");
        QTest::addColumn<QByteArray>("headerValue");

        const auto row = [](const char* name, const QByteArray& method, const QString& url,
                            const QByteArray& header = "X", const QByteArray& value = {}) {
            QTest::newRow(name) << method << url << header << value;
        };
        const QString fine = u"http://127.0.0.1/"_s;
        row("no scheme", "GET", u"example.com/x"_s);
        row("http without host", "GET", u"http://"_s);
        row("space in host", "GET", u"http://a b/"_s);
        row("method with a line break", "GET\r\nX: y", fine);
        row("header value with a line break", "GET", fine, "X", "1\r\nY: 1");
        row("header name with a space", "GET", fine, "X A", "1");
    }

    void refused() {
        QFETCH(QByteArray, method);
        QFETCH(QString, url);
        QFETCH(QByteArray, headerName);
        QFETCH(QByteArray, headerValue);

        HttpRequest request;
        QVERIFY_THROWS_EXCEPTION(ds::Error, {
            request.open(method, url);
            request.setRequestHeader(headerName, headerValue);
        });
    }

    void destroyedWhileRunning() {
        LocalHttpResponse silence;
        silence.action = LocalHttpResponse::Action::NeverAnswer;
        m_server->setHandler([silence](const LocalHttpRequest&) { return silence; });
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
};

QTEST_GUILESS_MAIN(TestHttpRequest)
#include "tst_httprequest.moc"
