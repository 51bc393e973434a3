#include "GenerateBench.h"

#include "BusyWatch.h"
#include "app/ListFiller.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace ds::bench {

namespace {

constexpr int GeneratedNames = 10'000'000;
constexpr int FilledNames = 1'000'000;

double peakChildMiB() {
    rusage usage = {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_maxrss) / 1024;
}

} // namespace

// Run before any other child process: the peak of the children is the
// largest any of them reached.
void measureGenerate() {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(DOMAINSIEVE_EXECUTABLE),
                  {u"gen"_s, u"NNNNNNN"_s, u"--tld"_s, u"com"_s});
    process.waitForFinished(-1);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("Generator: domainsieve gen NNNNNNN --tld com (%d names) to /dev/null\n",
                GeneratedNames);
    std::printf("  exit code %d; %.2f s, %.1f million names/s   target < 10 s\n",
                process.exitCode(), seconds, GeneratedNames / seconds / 1e6);
    std::printf("  peak RSS of the process %6.1f MiB   target < 50 MiB\n\n", peakChildMiB());
}

void measureWindowFill() {
    QPlainTextEdit box;
    box.resize(220, 220);
    box.show();
    auto generator = NameGenerator::create({u"NNNNNN"_s, u"com"_s, {}, {}, {}}, nullptr);
    ListFiller filler(&box, *generator, false, nullptr);
    QEventLoop loop;
    QObject::connect(&filler, &ListFiller::finished, &loop, &QEventLoop::quit);
    const BusyWatch watch;
    filler.start();
    loop.exec();
    std::printf("Window: the list filled with %d generated names (NNNNNN.com)\n", FilledNames);
    std::printf("  %.2f s; longest busy stretch of the UI thread %.1f ms   target < 100 ms\n\n",
                watch.seconds(), watch.longestBusyMs());
}

} // namespace ds::bench
