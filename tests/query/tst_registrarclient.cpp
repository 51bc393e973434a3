#include "FakeRegistrar.h"
#include "lookup/RegistrarClient.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace ds;
using namespace ds::test;

namespace {

// One check against the service, waited for.
std::optional<RegistrarClient::Reply> checkOnce(FakeRegistrar& registrar) {
    RegistrarClient client(registrar.url(), 5000);
    std::optional<RegistrarClient::Reply> result;
    client.check(u"a.pw"_s, [&](const RegistrarClient::Reply& reply) { result = reply; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }))
        return std::nullopt;
    return result;
}

} // namespace

// What one availability check makes of replies that must not pass for an
// answer, and of the pause a failed one asks for.
class TestRegistrarClient final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void repliesThatLieAreFailures_data() {
        QTest::addColumn<bool>("redirect");
        QTest::addColumn<QString>("detail");
        QTest::newRow("302 to a page on another host") << true << u"HTTP 302, redirected to"_s;
        QTest::newRow("2 MiB body") << false << u"over 1048576 bytes"_s;
    }
    void repliesThatLieAreFailures() {
        QFETCH(bool, redirect);
        QFETCH(QString, detail);
        // The page elsewhere would say "true" to anything that reached it.
        LocalHttpServer elsewhere;
        QVERIFY(elsewhere.listen());
        elsewhere.setHandler([](const LocalHttpRequest&) { return FakeRegistrar::answer(true); });
        const QByteArray location = elsewhere.url().toEncoded() + "login";
        FakeRegistrar registrar;
        registrar.setBehaviour([&](const QString&, int) {
            LocalHttpResponse response = FakeRegistrar::answer(true);
            if (redirect) {
                response.status = 302;
                response.headers.append({"Location", location});
            } else {
                response.body = QByteArray(2 * 1024 * 1024, 'x') + "true";
            }
            return response;
        });

        const auto reply = checkOnce(registrar);
        QVERIFY(reply);
        QCOMPARE(reply->answer.verdict, Verdict::Failed);
        QVERIFY2(reply->answer.detail.contains(detail), qPrintable(reply->answer.detail));
        if (redirect)
            QVERIFY2(reply->answer.detail.contains(QString::fromLatin1(location)),
                     qPrintable(reply->answer.detail));
        QCOMPARE(elsewhere.requests().size(), 0);
    }

    // The pause before the first retry, whatever the service puts in Retry-After.
    void retryAfterGivesASanePause_data() {
        QTest::addColumn<QByteArray>("retryAfter");
        QTest::addColumn<int>("pauseMs");
        QTest::newRow("none") << QByteArray() << 1000;
        QTest::newRow("seconds") << QByteArray("5") << 5000;
        QTest::newRow("blanks around") << QByteArray(" 7 ") << 7000;
        QTest::newRow("zero") << QByteArray("0") << 1000;
        QTest::newRow("above the cap") << QByteArray("3600") << 60000;
        QTest::newRow("largest 64-bit") << QByteArray("9223372036854775807") << 60000;
        QTest::newRow("beyond 64 bits") << QByteArray("99999999999999999999") << 60000;
        QTest::newRow("negative") << QByteArray("-5") << 1000;
        QTest::newRow("hugely negative") << QByteArray("-99999999999999999999") << 1000;
        QTest::newRow("fraction") << QByteArray("1.5") << 1000;
        QTest::newRow("garbage") << QByteArray("soon") << 1000;
        QTest::newRow("date ahead") << QByteArray("Mon, 07 Dec 2026 10:00:30 GMT") << 30000;
        QTest::newRow("date far past") << QByteArray("Thu, 01 Jan 1970 00:00:00 GMT") << 1000;
        QTest::newRow("date far future") << QByteArray("Fri, 31 Dec 9999 23:59:59 GMT") << 60000;
    }
    void retryAfterGivesASanePause() {
        QFETCH(QByteArray, retryAfter);
        QFETCH(int, pauseMs);
        FakeRegistrar registrar;
        registrar.setBehaviour([&](const QString&, int) {
            LocalHttpResponse response = FakeRegistrar::answer(true);
            response.status = 429;
            if (!retryAfter.isNull())
                response.headers.append({"Retry-After", retryAfter});
            return response;
        });
        const auto reply = checkOnce(registrar);
        QVERIFY(reply);
        QCOMPARE(reply->answer.verdict, Verdict::Failed);
        const QDateTime now(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);
        QCOMPARE(RetryPolicy{}.delayMs(1, reply->retryAfter, now), pauseMs);
    }
};

QTEST_GUILESS_MAIN(TestRegistrarClient)
#include "tst_registrarclient.moc"
