// Measures the query engine inside the real (offscreen) window: a step's own
// cost against the size of the list, the memory a million-line list and a
// million result lines take, the start press on such a list, throughput at
// the default pacing, and the longest time the UI thread stays busy during a
// run; then the registries' pacing, the journal's cost per result line, the
// batch mode over a million names and the DNS step's gain and a throttling
// server's pace; first of all the generator. Prints a table; asserts
// nothing. "gen", "memory", "registrar", "batch", "rdap", "dns" or "paces"
// runs only that part.

#include "BatchBench.h"
#include "BusyWatch.h"
#include "DnsBench.h"
#include "GenerateBench.h"
#include "PaceBench.h"
#include "RdapBench.h"
#include "ThreadedRegistrar.h"
#include "app/Form1.h"
#include "app/FormRunBoard.h"
#include "config/AppConfig.h"
#include "query/QueryEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace ds;
using ds::bench::ThreadedRegistrar;

namespace {

constexpr int StepsMeasured = 300;

// Turns the event loop until `done` holds or the time is up.
bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done()) {
        loop.exec();
    }
    return done();
}

// "VmHWM" (peak) or "VmRSS" (now) of this process, in MiB.
double memoryMiB(const char* field) {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(int(qstrlen(field)) + 1).trimmed().split(' ').first().toDouble() / 1024;
        }
    }
    return -1;
}

QString numberedList(qsizetype lines) {
    QString text;
    text.reserve(lines * 12);
    for (qsizetype n = 0; n < lines; ++n) {
        text += (n % 10 == 0 ? u"free%1.pw\n"_s : u"n%1.pw\n"_s).arg(n);
    }
    return text;
}

std::unique_ptr<Form1> makeWindow(const QUrl& registrar, int restartIntervalMs) {
    AppConfig config;
    config.registrarAddress = registrar.toString(QUrl::RemovePath);
    config.restartIntervalMs = restartIntervalMs;
    auto form = std::make_unique<Form1>(config, [](const QUrl&) { return true; });
    form->show();
    return form;
}

bool runEnded(Form1& form) {
    return form.engine().state() == QueryEngine::State::Ready;
}

void measureMemory() {
    const double before = memoryMiB("VmRSS:");
    ThreadedRegistrar registrar(0);
    auto form = makeWindow(registrar.url(), 0);
    form->Text4()->setPlainText(numberedList(1'000'000));
    QCoreApplication::processEvents();
    const double withList = memoryMiB("VmRSS:");
    FormRunBoard board(*form, QString());
    LookupRecord record;
    for (int n = 0; n < 1'000'000; ++n) {
        record.entry = u"n%1.pw"_s.arg(n);
        record.answer.verdict = n % 2 == 0 ? Verdict::Free : Verdict::Taken;
        board.appendRecord(n, record);
    }
    QCoreApplication::processEvents();
    std::printf("Memory: window with 1,000,000 list lines and 1,000,000 result lines\n");
    std::printf("  RSS before the window %8.0f MiB\n", before);
    std::printf("  RSS with the list     %8.0f MiB\n", withList);
    std::printf("  RSS now               %8.0f MiB\n", memoryMiB("VmRSS:"));
    std::printf("  peak RSS (VmHWM)      %8.0f MiB   target < 256 MiB\n\n", memoryMiB("VmHWM:"));
}

// The press that starts a run over a million names, with a journal as the
// program keeps by default: the list is tidied and written to the journal
// before the first name is asked.
void measureStartPress() {
    ThreadedRegistrar registrar(0);
    QTemporaryDir journal;
    AppConfig config;
    config.registrarAddress = registrar.url().toString(QUrl::RemovePath);
    config.journalFolder = journal.path();
    Form1 form(config, [](const QUrl&) { return true; });
    form.show();
    form.Text4()->setPlainText(numberedList(1'000'000));
    QCoreApplication::processEvents();
    QElapsedTimer press;
    press.start();
    form.Command1()->click();
    const double pressMs = double(press.nsecsElapsed()) / 1e6;
    form.Command3()->click();
    std::printf("The start press on a 1,000,000-line list (journal kept)\n");
    std::printf("  the press itself         %8.1f ms   target < 100 ms\n\n", pressMs);
}

void measureStepCost() {
    std::printf("Engine time per step, waits excluded (%d steps at the end of the list)\n",
                StepsMeasured);
    std::printf("  %10s %14s %14s\n", "lines", "us per step", "vs 1,000");
    ThreadedRegistrar registrar(0);
    double first = 0;
    for (const qsizetype lines : {qsizetype(1'000), qsizetype(100'000), qsizetype(1'000'000)}) {
        auto form = makeWindow(registrar.url(), 0);
        form->Text4()->setPlainText(numberedList(lines));
        QueryEngine& engine = form->engine();
        engine.start(lines - StepsMeasured);
        runUntil([&] { return runEnded(*form); }, 120'000);
        const double perStep = double(engine.busyNanoseconds()) / StepsMeasured / 1000;
        if (first == 0) {
            first = perStep;
        }
        std::printf("  %10lld %14.1f %13.2fx\n", static_cast<long long>(lines), perStep,
                    perStep / first);
    }
    std::printf("  target: the 1,000,000 figure within 2x of the 1,000 figure\n\n");
}

void measureThroughput() {
    constexpr int Lines = 150;
    constexpr int RestartMs = 100;
    constexpr int ReplyMs = 50;
    ThreadedRegistrar registrar(ReplyMs);
    auto form = makeWindow(registrar.url(), RestartMs);
    form->Text4()->setPlainText(numberedList(Lines));
    QElapsedTimer clock;
    clock.start();
    form->Command1()->click();
    runUntil([&] { return runEnded(*form); }, 120'000);
    const double rate = Lines / (double(clock.nsecsElapsed()) / 1e9);
    // Each worker needs a reply plus the restart interval per step, and the
    // three share one request at a time.
    const double limit = std::min(3.0 / ((RestartMs + ReplyMs) / 1000.0), 1000.0 / ReplyMs);
    std::printf("Throughput at the default pacing (restart %d ms, registrar answers after %d ms)\n",
                RestartMs, ReplyMs);
    std::printf("  %.2f domains/s of a %.2f domains/s limit: %.1f %%   target >= 95 %%\n\n", rate,
                limit, 100 * rate / limit);
}

void measureUiBusy(int seconds) {
    ThreadedRegistrar registrar(0);
    auto form = makeWindow(registrar.url(), 0);
    form->Text4()->setPlainText(numberedList(100'000));
    QCoreApplication::processEvents();

    QElapsedTimer press;
    press.start();
    form->Command1()->click();
    const double pressMs = double(press.nsecsElapsed()) / 1e6;

    const ds::bench::BusyWatch watch;
    runUntil([&] { return runEnded(*form) || watch.elapsedMs() > seconds * 1000; },
             seconds * 1000 + 1000);
    std::printf("UI thread during a run over 100,000 lines (%d s, restart 0 ms, instant replies)\n",
                seconds);
    std::printf("  steps done               %s\n", qPrintable(form->Label3(1)->text()));
    std::printf("  the start press itself   %8.1f ms\n", pressMs);
    std::printf("  longest busy stretch     %8.1f ms   target < 50 ms\n\n", watch.longestBusyMs());
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // figures show as they come, into a pipe too
    const QByteArray argument = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    std::printf("DomainSieve benchmark\n\n");
    const int busySeconds = argument.toInt();
    const bool all = argument.isEmpty() || busySeconds > 0;
    // First: the generator's peak is read from all child processes so far.
    if (all || argument == "gen") {
        ds::bench::measureGenerate();
        ds::bench::measureWindowFill();
    }
    if (all || argument == "memory") {
        measureMemory();
        measureStartPress();
    }
    if (all || argument == "registrar") {
        measureStepCost();
        measureThroughput();
    }
    if (all)
        measureUiBusy(busySeconds > 0 ? busySeconds : 60);
    if (all || argument == "rdap") {
        ds::bench::measureRdapPacing();
        ds::bench::measureDispatch();
        ds::bench::measureRdapStepCost();
        ds::bench::measureRdapReplyReading();
    }
    if (all || argument == "batch") {
        ds::bench::measureJournal();
        ds::bench::measureBatch();
    }
    if (all || argument == "dns")
        ds::bench::measureDnsStep();
    if (all || argument == "paces")
        ds::bench::measureServerPaces();
    return 0;
}
