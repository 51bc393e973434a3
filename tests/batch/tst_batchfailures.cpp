#include "BatchProgram.h"
#include "FakeRegistrar.h"
#include "LocalProxies.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace ds::test;

namespace {

QByteArray names(int count) {
    QByteArray text;
    for (int n = 0; n < count; ++n)
        text += "n" + QByteArray::number(n) + ".pw\n";
    return text;
}

} // namespace

// A batch run whose output breaks stops at once and says why; one whose
// proxy is down says so, naming the proxy.
class TestBatchFailures final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    FakeRegistrar m_registrar;

    void start(QProcess& process, const QStringList& arguments, QUrl registrar = {}) {
        registrar = registrar.isEmpty() ? m_registrar.url() : registrar;
        startProgram(process, m_home.path(),
                     QStringList{u"check"_s, u"--registrar"_s, registrar.toString(),
                                 u"--interval"_s, u"0"_s} +
                         arguments);
    }

private Q_SLOTS:
    void init() {
        m_registrar.setBehaviour([](const QString&, int) { return FakeRegistrar::answer(false); });
    }

    // The file size limit stands for a full disk: the write that crosses it
    // fails part-way, and the file keeps only the whole lines before it.
    void outputThatCannotGrow_data() {
        QTest::addColumn<bool>("namedFile"); // --output, or standard output sent to a file
        QTest::newRow("--output") << true;
        QTest::newRow("standard output") << false;
    }
    void outputThatCannotGrow() {
        QFETCH(bool, namedFile);
        const QString output = m_home.filePath(u"out-%1.txt"_s.arg(namedFile));
        QProcess process;
        process.setChildProcessModifier([] {
            const rlimit limit{200, 200};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        if (!namedFile)
            process.setStandardOutputFile(output);
        const QStringList outputOption =
            namedFile ? QStringList{u"--output"_s, output} : QStringList{};
        const qsizetype askedBefore = m_registrar.requestedEntries().size();
        start(process, QStringList{u"--workers"_s, u"1"_s} + outputOption);
        const BatchOutcome outcome = finishProgram(process, names(100));

        QCOMPARE(outcome.code, 2);
        const QString shown = namedFile ? output : u"standard output"_s;
        const QByteArray told = "cannot write " + shown.toUtf8() + ": File too large";
        QVERIFY2(outcome.err.contains(told), outcome.err.constData());
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QVERIFY(written.endsWith('\n'));
        const QList<QByteArray> lines = written.split('\n').mid(0, written.count('\n'));
        for (const QByteArray& line : lines)
            QVERIFY2(QRegularExpression(u"^n\\d+\\.pw\\|已被注册$"_s)
                         .match(QString::fromUtf8(line))
                         .hasMatch(),
                     line.constData());
        // The failed record was asked; nothing after it.
        QCOMPARE(m_registrar.requestedEntries().size() - askedBefore, lines.size() + 1);
    }

    // `| head -n 2`: the reader goes after two lines, and so does the run.
    void closedPipe() {
        m_registrar.setBehaviour(
            [](const QString&, int) { return FakeRegistrar::answer(false, 20); });
        QFile list(m_home.filePath(u"many.txt"_s));
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write(names(300)) > 0);
        list.close();
        QProcess shell;
        startProgram(shell, m_home.path(),
                     {u"-c"_s,
                      u"\"$0\" check --registrar \"$1\" --interval 0 \"$2\" | head -n 2 "
                      u">/dev/null; exit ${PIPESTATUS[0]}"_s,
                      QStringLiteral(DOMAINSIEVE_EXECUTABLE), m_registrar.url().toString(),
                      list.fileName()},
                     u"bash"_s);
        const BatchOutcome outcome = finishProgram(shell, {}, 10000);
        QVERIFY2(outcome.code == 2, outcome.err.constData());
        QVERIFY2(outcome.err.contains("cannot write standard output: Broken pipe"),
                 outcome.err.constData());
        QVERIFY(m_registrar.requestedEntries().size() < 100);
    }

    void deadProxyIsNamed_data() {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("reason");
        QTest::newRow("SOCKS5") << u"socks5"_s << u"Connection to proxy refused"_s;
        QTest::newRow("HTTP") << u"http"_s << u"连接被拒绝，代理可能没有运行"_s;
    }
    void deadProxyIsNamed() {
        QFETCH(QString, scheme);
        QFETCH(QString, reason);
        const quint16 port = LocalProxy::deadPort();
        QProcess process;
        // Not a loopback address of 127.0.0.1: some of Qt's paths pass the proxy by for it.
        start(process,
              {u"--format"_s, u"tsv"_s, u"--proxy"_s, u"%1://127.0.0.1:%2"_s.arg(scheme).arg(port)},
              QUrl(u"http://127.0.0.2:%1"_s.arg(LocalProxy::deadPort())));
        const BatchOutcome outcome = finishProgram(process, "a.pw\nb.pw\n");

        QCOMPARE(outcome.code, 1);
        const QString detail = u"代理 127.0.0.1:%1 无法连接：%2"_s.arg(port).arg(reason);
        const QStringList records =
            QString::fromUtf8(outcome.out).split(u'\n', Qt::SkipEmptyParts).mid(1);
        QCOMPARE(records.size(), 2);
        for (const QString& record : records) {
            QCOMPARE(record.section(u'\t', 2, 2), u"failed"_s);
            QCOMPARE(record.section(u'\t', 5, 5), detail);
        }
        QCOMPARE(QString::fromUtf8(outcome.err).count(detail), 1);
    }
};

QTEST_GUILESS_MAIN(TestBatchFailures)
#include "tst_batchfailures.moc"
