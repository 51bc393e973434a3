#include "BatchCheckTest.h"
#include "LocalRdapServer.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace ds::test;

// An output file a batch run goes on with: resumed after a cut-off record, or
// its failures asked again in place.
class TestBatchOutput final : public BatchCheckTest {
    Q_OBJECT

private Q_SLOTS:
    void init() { answerByName(); }

    void resumeAfterACutOffRecord_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("withFailure");
        QTest::newRow("text") << u"text"_s << false;
        QTest::newRow("tsv") << u"tsv"_s << false;
        QTest::newRow("csv, a failure asked again") << u"csv"_s << true;
        QTest::newRow("jsonl") << u"jsonl"_s << false;
    }
    // A crash mid-write leaves half a record: it is dropped and asked again;
    // what was answered is not asked twice, a failure is.
    void resumeAfterACutOffRecord() {
        QFETCH(QString, format);
        QFETCH(bool, withFailure);
        const QString output = m_home.filePath(u"resumed."_s + format);
        QFile::remove(output);
        const QStringList first = {u"--format"_s, format, u"--output"_s, output};
        // One request at a time, a failure's retries included: b.pw is written last.
        const QByteArray names = withFailure ? "a.pw\nfail.pw\nb.pw\n" : "a.pw\nb.pw\n";
        QCOMPARE(run(first, names).code, withFailure ? 1 : 0);
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() - 4));
        file.close();

        const qsizetype before = m_registrar.server().requests().size();
        const Outcome outcome = run(first + QStringList{u"--resume"_s}, names + "c.pw\n");
        QCOMPARE(outcome.code, withFailure ? 1 : 0);
        QStringList asked = m_registrar.requestedEntries().mid(before);
        asked.removeDuplicates();
        asked.sort();
        QStringList expected = {u"b.pw"_s, u"c.pw"_s};
        if (withFailure)
            expected.append(u"fail.pw"_s);
        QCOMPARE(asked, expected);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(text.count(u"b.pw"_s), format == "text"_L1 ? 1 : 2); // name and ascii columns
        QCOMPARE(text.count(u"a.pw"_s), format == "text"_L1 ? 1 : 2);
        QVERIFY(!text.contains(u"\n\n"_s));
        QVERIFY(text.endsWith(u'\n'));
    }

    void retryFailedKeepsTheRest_data() {
        QTest::addColumn<QString>("format");
        for (const char* format : {"text", "tsv", "csv", "jsonl"})
            QTest::newRow(format) << QString::fromLatin1(format);
    }
    // Only the names a first run got no answer for are asked again, each new
    // record in its old one's place; every other line stays byte for byte.
    void retryFailedKeepsTheRest() {
        QFETCH(QString, format);
        LocalRdapServer rdap;
        QVERIFY(rdap.listen());
        rdap.setTaken({u"a.pw"_s, u"f2.pw"_s});
        LocalHttpResponse refused;
        refused.status = 403;
        for (const QString& name : {u"f1.pw"_s, u"f2.pw"_s})
            rdap.queueReplies(name, {refused});
        const QString output = m_home.filePath(u"retried."_s + format);
        QFile::remove(output);
        const QStringList common = {
            u"check"_s,
            u"--registries"_s,
            u"--rdap-bootstrap"_s,
            writeFile(u"bootstrap.json"_s,
                      LocalRdapServer::bootstrap({{{u"pw"_s}, rdap.baseUrl()}})),
            u"--no-dns"_s,
            u"--interval"_s,
            u"0"_s,
            u"--registry-interval"_s,
            u"0"_s,
            u"--format"_s,
            format,
            u"--output"_s,
            output};
        QProcess first;
        startProgram(first, common + QStringList{writeFile(u"retry-names.txt"_s,
                                                           "a.pw\nf1.pw\nb.pw\nf2.pw\nnodot\n")});
        QCOMPARE(finish(first, {}).code, 1);
        QFile file(output);
        QVERIFY(file.open(QIODevice::Append));
        file.write("  # a note, kept as written \r\n");
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> before = file.readAll().split('\n');
        file.close();
        const qsizetype asked = rdap.asked().size();

        QProcess second;
        startProgram(second, common + QStringList{u"--retry-failed"_s});
        const Outcome outcome = finish(second, {});
        QVERIFY2(outcome.code == 0, outcome.err.constData());
        QCOMPARE(outcome.out, QByteArray());
        QVERIFY2(outcome.err.contains("2 failed record(s) replaced"), outcome.err.constData());
        QStringList again = rdap.asked().mid(asked);
        again.sort();
        QCOMPARE(again, (QStringList{u"f1.pw"_s, u"f2.pw"_s}));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> after = file.readAll().split('\n');
        QCOMPARE(after.size(), before.size());
        const bool text = format == "text"_L1;
        for (qsizetype n = 0; n < after.size(); ++n) {
            if (before.at(n).startsWith("f1.pw") || before.at(n).startsWith("{\"ascii\":\"f1.pw"))
                QVERIFY2(after.at(n).contains(text ? "|可注册" : "free"), after.at(n).constData());
            else if (before.at(n).startsWith("f2.pw") ||
                     before.at(n).startsWith("{\"ascii\":\"f2.pw"))
                QVERIFY2(after.at(n).contains(text ? "|已被注册" : "taken"),
                         after.at(n).constData());
            else
                QCOMPARE(after.at(n), before.at(n));
        }
    }

    // Ctrl+C in the middle of a retry leaves a whole file: each failure either
    // as it was or replaced, nothing half written beside it.
    void interruptedRetryLeavesAWholeFile() {
        LocalRdapServer rdap;
        QVERIFY(rdap.listen());
        rdap.setDelayMs(200);
        QTemporaryDir folder;
        const QString output = folder.filePath(u"out.txt"_s);
        const QByteArray old = "a.pw|已被注册\nf1.pw|查询失败\nf2.pw|查询失败\nf3.pw|查询失败\n";
        QFile file(output);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        file.close();
        QProcess process;
        startProgram(process, {u"check"_s, u"--registries"_s, u"--rdap-bootstrap"_s,
                               writeFile(u"bootstrap.json"_s,
                                         LocalRdapServer::bootstrap({{{u"pw"_s}, rdap.baseUrl()}})),
                               u"--no-dns"_s, u"--retry-failed"_s, u"--output"_s, output});
        QVERIFY(QTest::qWaitFor([&] { return rdap.asked().size() >= 2; }, 30000));
        ::kill(pid_t(process.processId()), SIGINT);
        const Outcome outcome = finish(process, {});
        QVERIFY2(outcome.code == 130, outcome.err.constData());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(0), QByteArray("a.pw|已被注册"));
        for (qsizetype n = 1; n < 4; ++n) {
            const QByteArray name = "f" + QByteArray::number(n) + ".pw|";
            QVERIFY2(lines.at(n) == name + "查询失败" || lines.at(n) == name + "可注册",
                     lines.at(n).constData());
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"out.txt"_s});
    }
};

QTEST_GUILESS_MAIN(TestBatchOutput)
#include "tst_batchoutput.moc"
