// The WHOIS side of the program in figures: which replies the pattern table
// recognises, TLD by TLD, and how many names three workers get through one
// local WHOIS server with no rest and with the default rest of a second.
// Prints tables; asserts nothing.

#include "LocalWhoisServer.h"
#include "WhoisCoverage.h"
#include "lookup/WhoisLookup.h"
#include "lookup/WhoisPatterns.h"
#include "lookup/WhoisServers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace ds;

namespace {

constexpr int Workers = 3;

// Names per second through one server, each worker asking its next name as
// soon as the last is answered.
void measureThroughput(int intervalMs, int names) {
    test::LocalWhoisServer server;
    server.listen();
    server.setHandler(
        [](const QByteArray&) { return test::LocalWhoisAnswer{"No matching record."}; });
    QTemporaryDir cache;
    WhoisServersOptions options;
    options.cacheDir = cache.path();
    options.overrides.insert(u"cn"_s, {u"127.0.0.1"_s, server.port()});
    WhoisServers servers(WhoisPatterns::builtIn(), options);
    ServiceQueue queue(intervalMs);

    QEventLoop loop;
    int asked = 0;
    int answered = 0;
    int free = 0;
    std::vector<std::unique_ptr<WhoisLookup>> workers;
    std::function<void(WhoisLookup&)> askNext = [&](WhoisLookup& worker) {
        if (asked == names)
            return;
        worker.ask(u"name-%1.cn"_s.arg(asked++), [&](const Answer& answer, int) {
            free += answer.verdict == Verdict::Free ? 1 : 0;
            if (++answered == names)
                loop.quit();
            askNext(worker);
        });
    };
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < Workers; ++n) {
        workers.push_back(std::make_unique<WhoisLookup>(queue, servers, WhoisPatterns::builtIn(),
                                                        WhoisLookup::Options{}));
        askNext(*workers.back());
    }
    loop.exec();
    const double seconds = double(clock.elapsed()) / 1000;
    std::printf("%-12d %-7d %-9.2f %-10.1f %-11d %d\n", intervalMs, names, seconds, names / seconds,
                server.mostInFlight(), free);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::printWhoisCoverage();
    std::printf("\nThroughput against one local WHOIS server, %d workers:\n", Workers);
    std::printf("%-12s %-7s %-9s %-10s %-11s %s\n", "interval ms", "names", "seconds", "names/s",
                "in flight", "free");
    measureThroughput(0, 600);
    measureThroughput(1000, 6);
    return 0;
}
