#include "BatchCheckTest.h"

#include <QProcess>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace ds::test;

// `domainsieve check` through the real executable against a local registrar:
// its formats, its input, its refusals and exit codes, Ctrl+C.
class TestBatchCli final : public BatchCheckTest {
    Q_OBJECT

private Q_SLOTS:
    void init() { answerByName(); }

    void eachFormat_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("text") << u"text"_s
                              << QStringList{u"a.pw|已被注册"_s, u"free.pw|可注册"_s,
                                             u"nodot|格式错误"_s};
        QTest::newRow("tsv")
            << u"tsv"_s
            << QStringList{u"a.pw\ta.pw\ttaken\tregistrar\t@\tHTTP 200\t1"_s,
                           u"free.pw\tfree.pw\tfree\tregistrar\t@\tHTTP 200\t1"_s,
                           u"name\tascii\tverdict\tmethod\tserver\tdetail\ttries\telapsed_ms\t"_s
                           u"registrar\tcreated\texpires\tstatus\treleases"_s,
                           u"nodot\t\tinvalid\tregistrar\t\tnot a domain name\t0\t0"_s};
        QTest::newRow("csv") << u"csv"_s
                             << QStringList{
                                    u"\"a,b.pw\",\"a,b.pw\",taken,registrar,@,HTTP 200,1"_s,
                                    u"free.pw,free.pw,free,registrar,@,HTTP 200,1"_s,
                                    u"name,ascii,verdict,method,server,detail,tries,elapsed_ms,"_s
                                    u"registrar,created,expires,status,releases"_s,
                                    u"nodot,,invalid,registrar,,not a domain name,0,0"_s};
        QTest::newRow("jsonl")
            << u"jsonl"_s
            << QStringList{
                   u"{\"ascii\":\"\",\"created\":\"\",\"detail\":\"not a domain name\","_s
                   u"\"elapsed_ms\":0,\"expires\":\"\",\"http_status\":0,"_s
                   u"\"last_changed\":\"\",\"method\":\"registrar\",\"name\":\"nodot\","_s
                   u"\"registrar\":\"\",\"registrar_iana_id\":\"\",\"releases\":\"\","_s
                   u"\"server\":\"\",\"status\":\"\",\"tries\":0,\"verdict\":\"invalid\"}"_s,
                   u"{\"ascii\":\"a.pw\",\"created\":\"\",\"detail\":\"HTTP 200\","_s,
                   u"{\"ascii\":\"free.pw\",\"created\":\"\",\"detail\":\"HTTP 200\","_s};
    }
    // Every name once, as the format writes it; the time a lookup took is the
    // one figure a test cannot know, so lines are compared up to it.
    void eachFormat() {
        QFETCH(QString, format);
        QFETCH(QStringList, expected);
        const QString server = m_registrar.url().authority();
        for (QString& line : expected)
            line.replace(u'@', server);
        const QByteArray names =
            format == "csv"_L1 ? "a,b.pw\nfree.pw\nnodot\n" : "a.pw\nfree.pw\nnodot\n";
        const Outcome outcome = run({u"--format"_s, format}, names);
        QCOMPARE(outcome.code, 0);
        const QStringList lines = sortedLines(outcome.out);
        QCOMPARE(lines.size(), expected.size());
        for (qsizetype n = 0; n < lines.size(); ++n)
            QVERIFY2(lines.at(n).startsWith(expected.at(n)), qPrintable(lines.at(n)));
        if (format == "csv"_L1)
            QVERIFY(outcome.out.startsWith("name,") && outcome.out.endsWith("\r\n"));
    }

    void inputsEndAsOneRecordEach_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("requests");
        QTest::newRow("every line ending, blanks, repeats")
            << QByteArray("a.pw\r\nfree.pw\rb.pw\n\n  c.pw  \nfree.pw\n") << QByteArray()
            << QStringList{}
            << QStringList{u"a.pw|已被注册"_s, u"b.pw|已被注册"_s, u"c.pw|已被注册"_s,
                           u"free.pw|可注册"_s}
            << 4;
        QTest::newRow("a byte-order mark before the first name")
            << QByteArray("\xEF\xBB\xBF"
                          "a.pw\n")
            << QByteArray() << QStringList{} << QStringList{u"a.pw|已被注册"_s} << 1;
        QTest::newRow("file, then standard input, repeats across them")
            << QByteArray("a.pw\n") << QByteArray("a.pw\nfree.pw") << QStringList{u"-"_s}
            << QStringList{u"a.pw|已被注册"_s, u"free.pw|可注册"_s} << 2;
        QTest::newRow("bad bytes never reach the wire")
            << QByteArray("x\0y.pw\n\xff\xfe.pw\n....\n", 18) + QByteArray(10 << 20, 'a') + ".pw\n"
            << QByteArray() << QStringList{}
            << QStringList{u"....|格式错误"_s, u"a"_s.repeated(10 << 20) + u".pw|格式错误"_s,
                           u"x\uFFFDy.pw|格式错误"_s, u"\uFFFD\uFFFD.pw|格式错误"_s}
            << 0;
        // Each worker's next name lies twenty on: the input is read that far.
        QByteArray many;
        QStringList manyTaken;
        for (int n = 0; n < 30; ++n) {
            many += "n" + QByteArray::number(n) + ".pw\n";
            manyTaken << u"n%1.pw|已被注册"_s.arg(n);
        }
        manyTaken.sort();
        QTest::newRow("twenty workers")
            << many << QByteArray() << QStringList{u"--workers"_s, u"20"_s} << manyTaken << 30;
    }
    void inputsEndAsOneRecordEach() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, input);
        QFETCH(QStringList, extra);
        QFETCH(QStringList, expected);
        QFETCH(int, requests);
        const qsizetype before = m_registrar.server().requests().size();
        const Outcome outcome = run(QStringList{writeFile(u"names.txt"_s, file)} + extra, input);
        QCOMPARE(outcome.code, 0);
        QCOMPARE(sortedLines(outcome.out), expected);
        QCOMPARE(m_registrar.server().requests().size() - before, requests);
    }

    void helpAndVersionNeedNoDisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("window help") << QStringList{u"--help"_s} << u"--registrar <URL>"_s;
        QTest::newRow("window version") << QStringList{u"--version"_s} << u"domainsieve 0."_s;
        QTest::newRow("batch help") << QStringList{u"check"_s, u"-h"_s} << u"--resume"_s;
        QTest::newRow("batch version") << QStringList{u"check"_s, u"-v"_s} << u"domainsieve 0."_s;
    }
    void helpAndVersionNeedNoDisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QProcess process;
        startProgram(process, arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(QString::fromUtf8(process.readAllStandardOutput()).contains(expected));
    }

    void exitCodes_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("error");
        QTest::newRow("a failure") << QStringList{u"--only"_s, u"failed"_s} << 1 << u"1 failed"_s;
        QTest::newRow("an unreadable file") << QStringList{u"/nonexistent/names.txt"_s} << 2
                                            << u"cannot read /nonexistent/names.txt"_s;
        QTest::newRow("a folder") << QStringList{u"/"_s} << 2 << u"cannot read /: it is a folder"_s;
        QTest::newRow("an unknown format")
            << QStringList{u"--format"_s, u"xml"_s} << 2 << u"--format: \"xml\""_s;
        QTest::newRow("resume without output") << QStringList{u"--resume"_s} << 2 << u"--resume"_s;
        const QString retried = writeFile(u"retried.txt"_s, "a.pw|查询失败\n");
        QTest::newRow("retry without output")
            << QStringList{u"--retry-failed"_s} << 2 << u"--retry-failed needs --output"_s;
        QTest::newRow("retry with resume")
            << QStringList{u"--retry-failed"_s, u"--resume"_s, u"--output"_s, retried} << 2
            << u"do not go together"_s;
        QTest::newRow("retry with an input")
            << QStringList{u"--retry-failed"_s, u"--output"_s, retried, u"-"_s} << 2
            << u"give no input files"_s;
        QTest::newRow("retry of a missing file")
            << QStringList{u"--retry-failed"_s, u"--output"_s, u"/nonexistent/out.txt"_s} << 2
            << u"there is no such file"_s;
        QTest::newRow("retry in another format")
            << QStringList{u"--retry-failed"_s, u"--output"_s, retried, u"--format"_s, u"jsonl"_s}
            << 2 << u"is --format right"_s;
    }
    void exitCodes() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, error);
        const Outcome outcome = run(arguments, "free.pw\nfail.pw\n");
        QCOMPARE(outcome.code, code);
        QVERIFY2(QString::fromUtf8(outcome.err).contains(error), outcome.err.constData());
        QCOMPARE(outcome.out, code == 1 ? QByteArray("fail.pw|查询失败\n") : QByteArray());
    }

    void interruptedRunStopsCleanly() {
        m_registrar.setBehaviour(
            [](const QString&, int) { return FakeRegistrar::answer(false, 100); });
        QByteArray names;
        for (int n = 0; n < 100; ++n)
            names += "n" + QByteArray::number(n) + ".pw\n";
        QProcess process;
        startBatch(process, {writeFile(u"many.txt"_s, names)});
        QVERIFY(QTest::qWaitFor([&] { return process.bytesAvailable() > 0; }, 30000));
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(process.exitCode() == 130, err.constData());
        const QByteArray out = process.readAllStandardOutput();
        QVERIFY(out.endsWith('\n'));
        const qsizetype written = out.count('\n');
        QVERIFY(written > 0 && written < 100);
        const QByteArray summary = "interrupted after " + QByteArray::number(written) + " names";
        QVERIFY(err.contains(summary));
    }
};

QTEST_GUILESS_MAIN(TestBatchCli)
#include "tst_batchcli.moc"
