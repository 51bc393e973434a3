#include "WhoisSamples.h"
#include "lookup/WhoisPatterns.h"

#include <QTest>

using namespace Qt::StringLiterals;
using ds::WhoisPatterns;

// The shipped WHOIS pattern table against the replies we wrote for each
// registry, the traps among them included: a throttle notice that also says
// "not found", a reserved name, an empty or cut-off reply, a reply about
// another name. Anything the table cannot place must end as a failure.
class TestWhoisPatterns final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void replies_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<int>("backoff"); // -1: no back-off
        QTest::addColumn<bool>("blocked");

        int number = 0;
        for (const ds::test::WhoisSample& sample : ds::test::loadWhoisSamples()) {
            const QString row =
                u"%1: %2 (%3) #%4"_s.arg(sample.tld, sample.kind, sample.name).arg(++number);
            QTest::newRow(qPrintable(row))
                << sample.name << sample.reply << QString(ds::verdictKey(sample.verdict))
                << sample.backoffSeconds.value_or(-1) << sample.blocked;
        }
    }

    void replies() {
        QFETCH(QString, name);
        QFETCH(QString, reply);
        QFETCH(QString, verdict);
        QFETCH(int, backoff);
        QFETCH(bool, blocked);
        const WhoisPatterns& table = WhoisPatterns::builtIn();
        const ds::WhoisReading reading = table.read(table.entryFor(name), name, reply);
        QCOMPARE(QString(ds::verdictKey(reading.verdict)), verdict);
        QCOMPARE(reading.backoffSeconds.value_or(-1), backoff);
        QCOMPARE(reading.blocked, blocked);
        if (reading.verdict == ds::Verdict::Failed && !reading.backoffSeconds)
            QVERIFY2(reading.detail.contains(u"无法判断"_s), qPrintable(reading.detail));
        QVERIFY(!reading.detail.isEmpty());
    }

    void queryForm_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("query");

        QTest::newRow("DENIC's own form")
            << u"xn--mnchen-3ya.de"_s << "-T dn,ace xn--mnchen-3ya.de"_ba;
        QTest::newRow("JPRS in English") << u"example.co.jp"_s << "example.co.jp/e"_ba;
        QTest::newRow("plain name") << u"example.cn"_s << "example.cn"_ba;
        QTest::newRow("unknown TLD") << u"example.xyz"_s << "example.xyz"_ba;
    }

    void queryForm() {
        QFETCH(QString, name);
        QFETCH(QByteArray, query);
        QCOMPARE(WhoisPatterns::builtIn().entryFor(name).queryFor(name), query);
    }

    void brokenTables_data() {
        QTest::addColumn<QByteArray>("json");

        const QByteArray fallback = "{\"zones\": [\"*\"], \"free\": [\"^No match$\"]}";
        const QByteArray cn = "{\"zones\": [\"cn\"]}";
        QTest::newRow("not JSON") << "{ entries: "_ba;
        QTest::newRow("no fallback entry") << "{\"entries\": [" + cn + "]}";
        QTest::newRow("pattern that does not compile")
            << "{\"entries\": [" + fallback + ", {\"zones\": [\"de\"], \"free\": [\"(\"]}]}";
        QTest::newRow("zone listed twice")
            << "{\"entries\": [" + fallback + ", " + cn + ", " + cn + "]}";
        QTest::newRow("row of a shape the table lacks")
            << "{\"entries\": [" + fallback + ", {\"zones\": [\"mn\"], \"shape\": \"Nobody\"}]}";
    }

    void brokenTables() {
        QFETCH(QByteArray, json);
        QString error;
        QVERIFY(!WhoisPatterns::fromJson(json, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWhoisPatterns)
#include "tst_whoispatterns.moc"
