#include "lookup/RdapReply.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// Replies to verdicts: free only on the registry's 404, everything unclear a
// failure.
class TestRdapReply final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void judge_data() {
        QTest::addColumn<bool>("arrived");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<bool>("askAgain");

        const int free = int(Verdict::Free);
        const int taken = int(Verdict::Taken);
        const int failed = int(Verdict::Failed);
        const QByteArray domain = R"({"objectClassName":"domain","ldhName":"a.com"})";
        QTest::newRow("404") << true << 404 << QByteArray("{}") << free << false;
        QTest::newRow("404, html") << true << 404 << QByteArray("<html>") << free << false;
        QTest::newRow("domain object") << true << 200 << domain << taken << false;
        QTest::newRow("other object")
            << true << 200 << QByteArray(R"({"objectClassName":"entity"})") << failed << false;
        QTest::newRow("html page")
            << true << 200 << QByteArray("<html>domain</html>") << failed << false;
        QTest::newRow("json array") << true << 200 << QByteArray("[]") << failed << false;
        QTest::newRow("empty") << true << 200 << QByteArray() << failed << false;
        QTest::newRow("429") << true << 429 << QByteArray() << failed << true;
        QTest::newRow("503") << true << 503 << QByteArray() << failed << true;
        QTest::newRow("500") << true << 500 << QByteArray() << failed << false;
        QTest::newRow("403") << true << 403 << domain << failed << false;
        QTest::newRow("redirect left over") << true << 302 << QByteArray() << failed << false;
        QTest::newRow("no reply") << false << 0 << QByteArray() << failed << false;
        QTest::newRow("cut off 404") << false << 404 << QByteArray() << failed << false;
    }
    void judge() {
        QFETCH(bool, arrived);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, verdict);
        QFETCH(bool, askAgain);
        const RdapJudgement judgement = judgeRdapReply({arrived, status, body, u"reset"_s});
        QCOMPARE(int(judgement.verdict), verdict);
        QCOMPARE(judgement.askAgainLater, askAgain);
        QVERIFY(!judgement.detail.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRdapReply)
#include "tst_rdapreply.moc"
