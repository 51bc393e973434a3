#include "PaceBench.h"

#include "MemoryRunBoard.h"
#include "RdapBench.h"
#include "ThreadedRegistrar.h"
#include "ThrottledRdapService.h"
#include "query/QueryEngine.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace ds::bench {

namespace {

constexpr int Names = 600;
constexpr int ServerRate = 10;
constexpr int ServerInFlight = 4;
constexpr int ReplyMs = 20;
// The pace counts as reached once the names of the last few seconds came at
// this share of the server's rate.
constexpr double ReachedShare = 0.85;
constexpr qint64 WindowMs = 5000;
constexpr qint64 SampleMs = 100;

struct Outcome {
    double namesPerSecond = 0;
    std::optional<double> reachedSeconds;
    int requests = 0;
    int refused = 0;
    int mostInFlight = 0;
    qsizetype failed = 0;
};

// The first time the names answered over the last WindowMs came at the
// reached share of the server's rate; samples are (ms, names done).
std::optional<double> reachedAt(const QList<std::pair<qint64, qsizetype>>& samples) {
    for (qsizetype end = 0, start = 0; end < samples.size(); ++end) {
        while (samples[end].first - samples[start].first > WindowMs)
            ++start;
        const qint64 spanMs = samples[end].first - samples[start].first;
        const double rate =
            spanMs < WindowMs - SampleMs
                ? 0
                : double(samples[end].second - samples[start].second) * 1000 / double(spanMs);
        if (rate >= ReachedShare * ServerRate)
            return double(samples[end].first) / 1000;
    }
    return std::nullopt;
}

Outcome run(std::optional<ServerPace> ceiling) {
    test::ThrottledRdapService service(ServerRate, ServerInFlight, ReplyMs);
    ThreadedHttpServer server(service.handler());
    QTemporaryDir folder;
    EngineConfig config;
    // Workers enough that the server, not the engine, sets the pace.
    config.workers = 16;
    config.restartIntervalMs = 0;
    config.bootstrap = bootstrapFor(folder, {server.url()});
    if (ceiling)
        config.serverPaces.insert(u"127.0.0.1:%1"_s.arg(server.url().port()), *ceiling);

    test::MemoryRunBoard board;
    QString list;
    for (int n = 0; n < Names; ++n)
        list += u"pace%1.tld0\n"_s.arg(n);
    board.setList(list);
    QueryEngine engine(board, config);
    QList<std::pair<qint64, qsizetype>> samples;
    QElapsedTimer clock;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        samples.append({clock.elapsed(), board.records.size()});
    });
    clock.start();
    sampler.start(SampleMs);
    engine.start();
    if (!QTest::qWaitFor([&] { return engine.state() == QueryEngine::State::Ready; }, 900'000))
        std::fprintf(stderr, "the run did not end within fifteen minutes\n");
    const double seconds = double(clock.elapsed()) / 1000;

    Outcome outcome;
    outcome.namesPerSecond = double(board.records.size()) / seconds;
    outcome.reachedSeconds = reachedAt(samples);
    outcome.requests = service.requests();
    outcome.refused = service.refused();
    outcome.mostInFlight = service.mostInFlight();
    for (const auto& [number, record] : std::as_const(board.records))
        outcome.failed += record.answer.verdict == Verdict::Failed;
    return outcome;
}

void print(const char* label, const Outcome& outcome) {
    const QByteArray reached = outcome.reachedSeconds
                                   ? QByteArray::number(*outcome.reachedSeconds, 'f', 1) + " s"
                                   : QByteArray("never");
    std::printf("  %-22s %9.2f %11s %9d %7.1f%% %10d %7lld\n", label, outcome.namesPerSecond,
                reached.constData(), outcome.requests,
                outcome.requests ? 100.0 * outcome.refused / outcome.requests : 0.0,
                outcome.mostInFlight, static_cast<long long>(outcome.failed));
}

} // namespace

void measureServerPaces() {
    std::printf("Server paces: %d names, one server admitting %d requests/s and %d in flight "
                "(429, Retry-After: 1 beyond), replies after %d ms\n",
                Names, ServerRate, ServerInFlight, ReplyMs);
    std::printf("  %-22s %9s %11s %9s %8s %10s %7s\n", "ceiling", "names/s", "85% reached",
                "requests", "429s", "in flight", "failed");
    print("20/s, 8 in flight", run(ServerPace{20, 8}));
    print("none (default pace)", run(std::nullopt));
    std::printf("  targets: with the ceiling at least %.1f names/s, reached within 20 s, under "
                "5 %% 429s; without one the default pace and no 429\n\n",
                ReachedShare * ServerRate);
}

} // namespace ds::bench
