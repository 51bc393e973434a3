#include "BatchBench.h"

#include "ThreadedRegistrar.h"
#include "app/Form1.h"
#include "app/LineBox.h"
#include "batch/EntryReader.h"
#include "batch/RecordWriter.h"
#include "batch/StreamRunBoard.h"
#include "query/QueryEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace ds::bench {

namespace {

constexpr int BatchNames = 1'000'000;
constexpr int BatchSeconds = 30;
constexpr int EngineNames = 6'000;
constexpr int JournalLines = 100'000;

QString writeNames(const QTemporaryDir& folder, int count) {
    QFile file(folder.filePath(u"names-%1.txt"_s.arg(count)));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray text;
    for (int n = 0; n < count; ++n)
        text += (n % 10 == 0 ? "free" : "n") + QByteArray::number(n) + ".pw\n";
    file.write(text);
    return file.fileName();
}

// A million names take the program's pacing (each worker's page polls every
// 10 ms, so at most 300 names a second) most of an hour; the run is stopped
// after a while instead. Memory peaks early: the first pass over the file
// keeps every name's hash to count the names, as the run itself does by its end.
void measureExecutable(const QTemporaryDir& folder, const ThreadedRegistrar& registrar) {
    const QString names = writeNames(folder, BatchNames);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, folder.path());
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(
        QStringLiteral(DOMAINSIEVE_EXECUTABLE),
        {u"check"_s, names, u"--registrar"_s, registrar.url().toString(), u"--interval"_s, u"0"_s});
    process.waitForFinished(BatchSeconds * 1000);
    ::kill(pid_t(process.processId()), SIGINT);
    process.waitForFinished(-1);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    rusage usage = {};
    getrusage(RUSAGE_CHILDREN, &usage);
    const QString summary = QString::fromUtf8(process.readAllStandardError()).trimmed();
    const qsizetype done = registrar.requestCount();
    std::printf("Batch mode: domainsieve check over %d names, restart interval 0, instant "
                "replies, stopped by SIGINT after %d s\n",
                BatchNames, BatchSeconds);
    std::printf("  exit code %d; %s\n", process.exitCode(), qPrintable(summary));
    std::printf("  %.0f names/s end to end, counting pass included   bound by pacing: 300/s\n",
                double(done) / seconds);
    std::printf("  peak RSS of the batch process %6.0f MiB   target < 200 MiB\n",
                double(usage.ru_maxrss) / 1024);
}

void measureEngine(const QTemporaryDir& folder, const ThreadedRegistrar& registrar) {
    EntryReader reader({writeNames(folder, EngineNames)});
    QString error;
    RecordWriter writer(RecordFormat::Jsonl, std::nullopt);
    if (!reader.open(error) || !writer.open(QProcess::nullDevice(), false, error)) {
        std::printf("  %s\n", qPrintable(error));
        return;
    }
    EngineConfig config;
    config.registrar = registrar.url();
    config.restartIntervalMs = 0;
    StreamRunBoard board(reader, writer, config.workers);
    QueryEngine engine(board, config);
    QEventLoop loop;
    QObject::connect(&engine, &QueryEngine::runEnded, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    engine.start();
    loop.exec();
    const double perName = double(engine.busyNanoseconds()) / EngineNames / 1000;
    std::printf("  engine and stream board alone: %.1f us per name, %.0f names/s of overhead "
                "(%d names in process)\n\n",
                perName, 1e6 / perName, EngineNames);
}

// Nanoseconds per record appended to a window board.
double appendCost(Form1& form, const QString& journalFolder) {
    FormRunBoard board(form, journalFolder);
    board.beginRun();
    LookupRecord record;
    record.answer.server = u"127.0.0.1:8080"_s;
    record.answer.detail = u"HTTP 200"_s;
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < JournalLines; ++n) {
        record.entry = u"n%1.pw"_s.arg(n);
        record.answer.verdict = n % 10 == 0 ? Verdict::Free : Verdict::Taken;
        board.appendRecord(n % 7, record);
    }
    const double cost = double(clock.nsecsElapsed()) / JournalLines;
    board.endRun();
    form.Text1()->clear();
    form.Text2()->clear();
    return cost;
}

} // namespace

void measureBatch() {
    QTemporaryDir folder;
    ThreadedRegistrar registrar(0);
    measureExecutable(folder, registrar);
    measureEngine(folder, registrar);
}

void measureJournal() {
    QTemporaryDir folder;
    AppConfig config;
    Form1 form(config);
    const double without = appendCost(form, QString());
    const double with = appendCost(form, folder.path());
    std::printf("Journal: %d result lines appended in the window\n", JournalLines);
    std::printf("  without a journal %8.1f us per line\n", without / 1000);
    std::printf("  with the journal  %8.1f us per line (%.1f us for the journal)\n\n", with / 1000,
                (with - without) / 1000);
}

} // namespace ds::bench
