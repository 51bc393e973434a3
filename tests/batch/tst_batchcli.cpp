#include "BatchProgram.h"
#include "FakeRegistrar.h"
#include "LocalDnsServer.h"
#include "LocalRdapServer.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace ds::test;

namespace {

using Outcome = BatchOutcome;

QStringList sortedLines(const QByteArray& bytes) {
    QStringList lines =
        QString::fromUtf8(bytes).split(QRegularExpression(u"\r?\n"_s), Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

} // namespace

// `domainsieve check` through the real executable against a local registrar.
class TestBatchCli final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    FakeRegistrar m_registrar;

    void startBatch(QProcess& process, const QStringList& arguments) {
        startProgram(process, QStringList{u"check"_s, u"--registrar"_s,
                                          m_registrar.url().toString(), u"--interval"_s, u"0"_s} +
                                  arguments);
    }

    void startProgram(QProcess& process, const QStringList& arguments) {
        ds::test::startProgram(process, m_home.path(), arguments);
    }

    Outcome run(const QStringList& arguments, const QByteArray& input = {}) {
        QProcess process;
        startBatch(process, arguments);
        return finish(process, input);
    }

    Outcome finish(QProcess& process, const QByteArray& input) {
        return finishProgram(process, input);
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(m_home.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return file.fileName();
    }

private Q_SLOTS:
    void init() {
        m_registrar.setBehaviour([](const QString& entry, int) {
            if (entry.contains(u"fail"_s)) {
                LocalHttpResponse broken;
                broken.status = 500;
                return broken;
            }
            return FakeRegistrar::answer(entry.contains(u"free"_s));
        });
    }

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

    // The registries with the DNS first, as a shell would ask: the names the
    // DNS shows delegated never reach the registry, and the summary counts them.
    void dnsBeforeRegistries() {
        LocalRdapServer rdap;
        QVERIFY(rdap.listen());
        LocalDnsServer dns;
        QVERIFY(dns.listen());
        dns.setHandler([](const QString& name) {
            return LocalDnsReply{name.startsWith(u"ns"_s) ? LocalDnsReply::Kind::Delegation
                                                          : LocalDnsReply::Kind::NoSuchName};
        });
        const QString bootstrap = writeFile(
            u"bootstrap.json"_s, LocalRdapServer::bootstrap({{{u"pw"_s}, rdap.baseUrl()}}));
        QProcess process;
        startProgram(process, {u"check"_s, u"--registries"_s, u"--rdap-bootstrap"_s, bootstrap,
                               u"--dns-server"_s, dns.address(), u"--format"_s, u"tsv"_s,
                               u"--interval"_s, u"0"_s, u"--registry-interval"_s, u"0"_s});
        const Outcome outcome = finish(process, "ns1.pw\nx1.pw\nns2.pw\nx2.pw\n");
        QVERIFY2(outcome.code == 0, outcome.err.constData());
        QStringList methods;
        for (const QString& line : sortedLines(outcome.out).mid(1))
            methods << line.section(u'\t', 0, 0) + u' ' + line.section(u'\t', 2, 3);
        QCOMPARE(methods, QStringList({u"ns1.pw taken\tdns"_s, u"ns2.pw taken\tdns"_s,
                                       u"x1.pw free\trdap"_s, u"x2.pw free\trdap"_s}));
        QStringList asked = rdap.asked();
        asked.sort();
        QCOMPARE(asked, QStringList({u"x1.pw"_s, u"x2.pw"_s}));
        QVERIFY2(outcome.err.contains("2 of the taken answered by the DNS"),
                 outcome.err.constData());
    }

    void droppingNames_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("only those dropping")
            << QStringList{u"--only"_s, u"dropping"_s} << QByteArray()
            << QStringList{u"p.pw|待删除"_s, u"r.pw|赎回期"_s} << QStringList{u"p.pw"_s, u"r.pw"_s};
        QTest::newRow("--details: the registry's details for what the DNS shows taken")
            << QStringList{u"--details"_s, u"--only"_s, u"taken"_s, u"--format"_s, u"tsv"_s}
            << QByteArray()
            << QStringList{u"name|verdict|registrar|created|expires|status|releases"_s,
                           u"p.pw|pending_delete||||pendingDelete|2026-12-06"_s,
                           u"r.pw|redemption||||redemptionPeriod pendingDelete|2027-01-05"_s,
                           u"t.pw|taken|Reg|||clientHold|"_s}
            << QStringList{u"p.pw"_s, u"r.pw"_s, u"t.pw"_s};
        QTest::newRow("resumed: their lines count as answers")
            << QStringList{u"--resume"_s} << QByteArray("r.pw|赎回期\np.pw|待删除\n")
            << QStringList{u"p.pw|待删除"_s, u"r.pw|赎回期"_s, u"t.pw|已被注册"_s} << QStringList{};
    }
    // Names in redemption or pending delete, from the registry's status.
    void droppingNames() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, before);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, asked);
        LocalRdapServer rdap;
        QVERIFY(rdap.listen());
        const auto reply = [&rdap](const QString& name, const QByteArray& parts) {
            LocalHttpResponse response;
            response.body = R"({"objectClassName":"domain","events":[{"eventAction":)"
                            R"("last changed","eventDate":"2026-12-01T08:00:00Z"}],)" +
                            parts + "}";
            rdap.queueReplies(name, {response});
        };
        reply(u"r.pw"_s, R"("status":["redemption period","pending delete"])");
        reply(u"p.pw"_s, R"("status":["pending delete"])");
        reply(u"t.pw"_s, R"("status":["client hold"],"entities":[{"roles":["registrar"],)"
                         R"("vcardArray":["vcard",[["fn",{},"text","Reg"]]]}])");
        // The DNS shows t.pw taken, without details.
        LocalDnsServer dns;
        QVERIFY(dns.listen());
        dns.setHandler([](const QString& name) {
            return LocalDnsReply{name == u"t.pw"_s ? LocalDnsReply::Kind::Delegation
                                                   : LocalDnsReply::Kind::NoSuchName};
        });
        const QString bootstrap = writeFile(
            u"bootstrap.json"_s, LocalRdapServer::bootstrap({{{u"pw"_s}, rdap.baseUrl()}}));
        const QString output = writeFile(u"dropping.out"_s, before);
        QProcess process;
        startProgram(process, QStringList{u"check"_s, u"--registries"_s, u"--rdap-bootstrap"_s,
                                          bootstrap, u"--dns-server"_s, dns.address(),
                                          u"--output"_s, output, u"--registry-interval"_s, u"0"_s} +
                                  arguments);
        const Outcome outcome = finish(process, "r.pw\np.pw\nt.pw\n");
        QVERIFY2(outcome.code == 0, outcome.err.constData());
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList lines;
        for (const QString& line : sortedLines(file.readAll())) {
            const QStringList fields = line.split(u'\t');
            lines << (fields.size() < 13 ? line
                                         : QStringList{fields[0], fields[2], fields[8], fields[9],
                                                       fields[10], fields[11], fields[12]}
                                               .join(u'|'));
        }
        QCOMPARE(lines, expected);
        QStringList askedNow = rdap.asked();
        askedNow.sort();
        QCOMPARE(askedNow, asked);
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
