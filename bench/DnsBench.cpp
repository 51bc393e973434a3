#include "DnsBench.h"

#include "LocalDnsServer.h"
#include "LocalRdapServer.h"
#include "MemoryRunBoard.h"
#include "ThreadedRegistrar.h"
#include "lookup/RdapBootstrapStore.h"
#include "query/QueryEngine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ds::bench {

namespace {

constexpr int Names = 10'000;
// Without the DNS step every name waits its turn at the one server, so the
// time grows strictly with the names: a tenth of the list is measured, which
// alone takes some 200 s.
constexpr int NamesWithoutDns = 1'000;
constexpr int DnsReplyMs = 5;
constexpr int ServerIntervalMs = 200;

// Every tenth name undelegated, the others with name servers of their own.
QString mixedList(int names) {
    QString text;
    for (int n = 0; n < names; ++n)
        text += (n % 10 == 0 ? u"free%1.tld0\n"_s : u"taken%1.tld0\n"_s).arg(n);
    return text;
}

struct Figures {
    double seconds = 0;
    qsizetype registryRequests = 0;
};

Figures run(EngineConfig config, int names, const ThreadedRdapServer& rdap) {
    test::MemoryRunBoard board;
    board.setList(mixedList(names));
    const qsizetype before = rdap.requestCount();
    QueryEngine engine(board, std::move(config));
    QElapsedTimer clock;
    clock.start();
    engine.start();
    if (!QTest::qWaitFor([&] { return engine.state() == QueryEngine::State::Ready; }, 3'600'000))
        std::fprintf(stderr, "the run did not end within an hour\n");
    return {double(clock.nsecsElapsed()) / 1e9, rdap.requestCount() - before};
}

} // namespace

void measureDnsStep() {
    std::printf("DNS step: %d names, 90 %% delegated (DNS answers after %d ms), one RDAP server "
                "with %d ms between requests\n",
                Names, DnsReplyMs, ServerIntervalMs);
    ThreadedRdapServer rdap(0);
    test::LocalDnsServer dns;
    if (!dns.listen())
        std::fprintf(stderr, "cannot start the DNS service\n");
    dns.setHandler([](const QString& name) {
        return test::LocalDnsReply{name.startsWith(u"taken"_s)
                                       ? test::LocalDnsReply::Kind::Delegation
                                       : test::LocalDnsReply::Kind::NoSuchName,
                                   DnsReplyMs};
    });
    QTemporaryDir folder;
    const QByteArray list = test::LocalRdapServer::bootstrap({{{u"tld0"_s}, rdap.url()}});
    QFile file(folder.filePath(u"bootstrap.json"_s));
    if (!file.open(QIODevice::WriteOnly) || file.write(list) != list.size())
        std::fprintf(stderr, "cannot write the bootstrap\n");
    file.close();
    // The program's own defaults otherwise: three workers, 100 ms between steps.
    const auto configWith = [&](bool withDns) {
        RdapBootstrapStore::Options source;
        source.source = file.fileName();
        source.cacheDir = folder.path();
        EngineConfig config;
        config.serverIntervalMs = ServerIntervalMs;
        config.bootstrap = std::make_shared<RdapBootstrapStore>(source);
        if (withDns)
            config.dns = DnsCheckOptions{dns.address()};
        return config;
    };

    const Figures with = run(configWith(true), Names, rdap);
    const Figures without = run(configWith(false), NamesWithoutDns, rdap);
    const double scale = double(Names) / NamesWithoutDns;
    const double withoutSeconds = without.seconds * scale;
    std::printf("  %-44s %10s %14s %9s\n", "run", "seconds", "RDAP requests", "speed-up");
    std::printf("  %-44s %10.1f %14lld %8.1fx\n", "with DNS", with.seconds,
                static_cast<long long>(with.registryRequests), withoutSeconds / with.seconds);
    std::printf("  %-44s %10.1f %14lld %9s\n", "without DNS (first 1,000 names, times 10)",
                withoutSeconds, static_cast<long long>(double(without.registryRequests) * scale),
                "1.0x");
    std::printf("  targets: at least 5x faster; with DNS only the %d undelegated names reach "
                "RDAP\n\n",
                Names / 10);
}

} // namespace ds::bench
