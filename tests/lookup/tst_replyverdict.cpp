#include "lookup/ReplyVerdict.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// Judging replies and pacing retries: a failure is never a verdict.
class TestReplyVerdict : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void classify_data() {
        QTest::addColumn<bool>("arrived");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("verdict");
        const int free = int(Verdict::Free);
        const int taken = int(Verdict::Taken);
        const int failed = int(Verdict::Failed);
        QTest::newRow("true") << true << 200 << u"true"_s << free;
        QTest::newRow("True inside a document") << true << 200 << u"{\"avail\":True}"_s << free;
        QTest::newRow("rue inside a word") << true << 200 << u"construed"_s << free;
        QTest::newRow("TRUE only") << true << 200 << u"TRUE"_s << taken;
        QTest::newRow("false") << true << 200 << u"false"_s << taken;
        QTest::newRow("empty") << true << 204 << QString() << taken;
        QTest::newRow("other 2xx") << true << 299 << u"true"_s << free;
        QTest::newRow("error page with rue") << true << 404 << u"not true"_s << failed;
        QTest::newRow("server error") << true << 503 << QString() << failed;
        QTest::newRow("redirect left over") << true << 302 << QString() << failed;
        QTest::newRow("no reply") << false << 0 << QString() << failed;
        QTest::newRow("cut off after status") << false << 200 << u"tr"_s << failed;
    }
    void classify() {
        QFETCH(bool, arrived);
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(int, verdict);
        QCOMPARE(int(classifyReply(ReplyFacts{arrived, status, text})), verdict);
    }

    void replyText_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no charset: utf-8")
            << QByteArray("\xE7\xB1\xB3 true") << QByteArray() << u"米 true"_s;
        QTest::newRow("gbk named")
            << QByteArray("\xC3\xD7 true") << QByteArray("text/html; charset=GBK") << u"米 true"_s;
        QTest::newRow("quoted charset")
            << QByteArray("\xC3\xD7") << QByteArray("text/plain;charset=\"gb2312\"") << u"米"_s;
        QTest::newRow("unknown charset: utf-8")
            << QByteArray("true") << QByteArray("text/plain; charset=x-nonsense") << u"true"_s;
    }
    void replyText() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, expected);
        QCOMPARE(ds::replyText(body, contentType), expected);
    }

    // A GBK trail byte can be 'r', 'u' or 'e': read as bytes, two characters
    // could fake the word the verdict looks for.
    void doubleByteCharsetCannotFakeAVerdict() {
        const QByteArray body("\x81rue");
        QVERIFY(body.contains("rue"));
        const QString text = ds::replyText(body, QByteArray("text/plain; charset=gbk"));
        QCOMPARE(classifyReply(ReplyFacts{true, 200, text}), Verdict::Taken);
    }

    void retryDelay_data() {
        QTest::addColumn<int>("retryNumber");
        QTest::addColumn<QByteArray>("retryAfter");
        QTest::addColumn<int>("expectedMs");
        QTest::newRow("first retry") << 1 << QByteArray() << 1000;
        QTest::newRow("second retry grows") << 2 << QByteArray() << 2000;
        QTest::newRow("retry-after seconds") << 1 << QByteArray("5") << 5000;
        QTest::newRow("retry-after shorter than the pause") << 2 << QByteArray("1") << 2000;
        QTest::newRow("retry-after capped") << 1 << QByteArray("3600") << 60000;
        QTest::newRow("retry-after date")
            << 1 << QByteArray("Mon, 07 Dec 2026 10:00:30 GMT") << 30000;
        QTest::newRow("retry-after garbage") << 1 << QByteArray("soon") << 1000;
        QTest::newRow("retry-after negative") << 1 << QByteArray("-5") << 1000;
    }
    void retryDelay() {
        QFETCH(int, retryNumber);
        QFETCH(QByteArray, retryAfter);
        QFETCH(int, expectedMs);
        const QDateTime now(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);
        QCOMPARE(RetryPolicy{}.delayMs(retryNumber, retryAfter, now), expectedMs);
    }
};

QTEST_GUILESS_MAIN(TestReplyVerdict)
#include "tst_replyverdict.moc"
