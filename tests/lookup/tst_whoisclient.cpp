#include "LocalWhoisServer.h"
#include "lookup/WhoisClient.h"

#include <QTcpServer>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using ds::WhoisClient;
using ds::test::LocalWhoisAnswer;

Q_DECLARE_METATYPE(LocalWhoisAnswer)

// One WHOIS query against a local service: what goes on the wire, and that
// every way a server can misbehave ends as a failure with its reason rather
// than as a reply to be read.
class TestWhoisClient final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");

        QTest::newRow("ASCII") << "No match\r\n"_ba << u"No match\r\n"_s;
        QTest::newRow("UTF-8") << "状态: ok"_ba << u"状态: ok"_s;
        QTest::newRow("Latin-1 byte") << "Z\xfcrich"_ba << u"Zürich"_s;
        QTest::newRow("UTF-8 and Latin-1 mixed") << "\xe4 \xc3\xa4"_ba << u"ä ä"_s;
        QTest::newRow("sequence cut short") << "a\xe4\xb8"_ba << u"a\u00e4\u00b8"_s;
        QTest::newRow("overlong slash") << "\xc0\xaf"_ba << u"\u00c0\u00af"_s;
    }

    void decoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(ds::decodeWhoisText(bytes), text);
    }

    void exchange_data() {
        QTest::addColumn<LocalWhoisAnswer>("answer");
        QTest::addColumn<int>("timeLimitMs");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("text"); // the reply, or a word of the error

        using Action = LocalWhoisAnswer::Action;
        const QByteArray overCap(WhoisClient::kReplyCapBytes + 1, 'x');
        QTest::newRow("reply, then close")
            << LocalWhoisAnswer{"No match\r\n"} << 2000 << true << u"No match\r\n"_s;
        QTest::newRow("slow but in time")
            << LocalWhoisAnswer{"ok", Action::Reply, 200} << 2000 << true << u"ok"_s;
        QTest::newRow("close at once")
            << LocalWhoisAnswer{{}, Action::CloseAtOnce} << 2000 << true << QString();
        QTest::newRow("silent") << LocalWhoisAnswer{{}, Action::Silent} << 300 << false
                                << u"时限"_s;
        QTest::newRow("cut off by the time limit")
            << LocalWhoisAnswer{"Domain Name: exa", Action::CutOff} << 300 << false << u"时限"_s;
        QTest::newRow("over the cap") << LocalWhoisAnswer{overCap} << 5000 << false << u"KiB"_s;
    }

    void exchange() {
        QFETCH(LocalWhoisAnswer, answer);
        QFETCH(int, timeLimitMs);
        QFETCH(bool, complete);
        QFETCH(QString, text);
        ds::test::LocalWhoisServer server;
        QVERIFY(server.listen());
        server.setHandler([answer](const QByteArray&) { return answer; });

        WhoisClient client;
        std::optional<ds::WhoisReply> reply;
        connect(&client, &WhoisClient::finished, this,
                [&reply](const ds::WhoisReply& r) { reply = r; });
        client.setTimeLimitMs(timeLimitMs);
        client.ask({u"127.0.0.1"_s, server.port()}, "-T dn,ace example.de");
        QTRY_VERIFY_WITH_TIMEOUT(reply.has_value(), 10000);

        QCOMPARE(server.queries(), QList<QByteArray>{"-T dn,ace example.de"});
        QCOMPARE(reply->complete, complete);
        QCOMPARE(complete ? reply->text : QString(), complete ? text : QString());
        if (!complete)
            QVERIFY2(reply->error.contains(text), qPrintable(reply->error));
        QTRY_COMPARE(server.connectionsInFlight(), 0);
    }

    void refused() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 closedPort = probe.serverPort();
        probe.close();

        WhoisClient client;
        std::optional<ds::WhoisReply> reply;
        connect(&client, &WhoisClient::finished, this,
                [&reply](const ds::WhoisReply& r) { reply = r; });
        client.ask({u"127.0.0.1"_s, closedPort}, "example.cn");
        QTRY_VERIFY(reply.has_value());
        QVERIFY(!reply->complete);
        QVERIFY(reply->error.contains(u"连接失败"_s));
    }

    void addresses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address"); // empty: refused

        QTest::newRow("host alone") << u" whois.cnnic.cn "_s << u"whois.cnnic.cn:43"_s;
        QTest::newRow("host and port") << u"127.0.0.1:4343"_s << u"127.0.0.1:4343"_s;
        QTest::newRow("IPv6 with port") << u"[::1]:4343"_s << u"[::1]:4343"_s;
        QTest::newRow("port zero") << u"host:0"_s << QString();
        QTest::newRow("port too large") << u"host:65536"_s << QString();
        QTest::newRow("port not a number") << u"host:whois"_s << QString();
        QTest::newRow("colon, no port") << u"host:"_s << QString();
        QTest::newRow("no host") << u":43"_s << QString();
    }

    void addresses() {
        QFETCH(QString, text);
        QFETCH(QString, address);
        const std::optional<ds::WhoisAddress> parsed = ds::parseWhoisAddress(text);
        QCOMPARE(parsed ? parsed->toString() : QString(), address);
    }
};

QTEST_GUILESS_MAIN(TestWhoisClient)
#include "tst_whoisclient.moc"
