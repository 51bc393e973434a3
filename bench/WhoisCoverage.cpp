#include "WhoisCoverage.h"

#include "WhoisSamples.h"
#include "lookup/RdapBootstrap.h"
#include "lookup/WhoisPatterns.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QSet>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ds::bench {

namespace {

const QStringList kKinds = {u"free"_s, u"taken"_s, u"reserved"_s, u"throttled"_s};

struct Tally {
    int right = 0;
    int wrong = 0;
};

WhoisReading readingOf(const test::WhoisSample& sample) {
    const WhoisPatterns& table = WhoisPatterns::builtIn();
    return table.read(table.entryFor(sample.name), sample.name, sample.reply);
}

QString mark(const Tally& tally) {
    if (tally.right + tally.wrong == 0)
        return u"-"_s;
    return tally.wrong == 0 ? u"yes"_s
                            : u"NO (%1 of %2)"_s.arg(tally.wrong).arg(tally.right + tally.wrong);
}

// Every reply of the file read again and again, for the cost of one reading.
double microsecondsPerReading() {
    const QList<test::WhoisSample> samples = test::loadWhoisSamples();
    constexpr int Rounds = 20;
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < Rounds; ++round) {
        for (const test::WhoisSample& sample : samples)
            readingOf(sample);
    }
    return double(clock.nsecsElapsed()) / 1000 / double(Rounds * samples.size());
}

// The table's rows, and how many of the TLDs that IANA's RDAP list leaves out
// (so that only WHOIS can answer for them) have one.
void printTableCoverage() {
    QSet<QString> rdapZones;
    QFile file(u":/domainsieve/rdap/dns.json"_s);
    if (file.open(QIODevice::ReadOnly)) {
        if (const auto bootstrap = RdapBootstrap::parse(file.readAll())) {
            const QStringList zones = bootstrap->zones();
            rdapZones = QSet<QString>(zones.cbegin(), zones.cend());
        }
    }
    int rows = 0;
    int zones = 0;
    int countryCodes = 0;
    int internationalised = 0;
    int sharing = 0;
    QSet<QString> shapes;
    for (const WhoisEntry& entry : WhoisPatterns::builtIn().entries()) {
        if (!entry.unsupported.isEmpty() || entry.zones.contains(u"*"_s))
            continue;
        rows += 1;
        zones += int(entry.zones.size());
        if (!entry.shape.isEmpty()) {
            shapes.insert(entry.shape);
            sharing += 1;
        }
        for (const QString& zone : entry.zones) {
            if (zone.contains(u'.') || rdapZones.contains(zone))
                continue;
            (zone.startsWith(u"xn--"_s) ? internationalised : countryCodes) += 1;
        }
    }
    std::printf("\nThe table: %d rows with port-43 WHOIS (%d sharing one of %d back-end shapes), "
                "%d zones; any other server is read with the common lines alone.\n",
                rows, sharing, int(shapes.size()), zones);
    std::printf("TLDs without RDAP that the table covers: %d two-letter, %d internationalised.\n",
                countryCodes, internationalised);
}

} // namespace

void printWhoisCoverage() {
    // TLD -> kind -> tally; "trap" gathers every other kind.
    QMap<QString, QMap<QString, Tally>> tallies;
    QMap<QString, Tally> byKind;
    QMap<QString, QString> example;
    int falseFree = 0;
    for (const test::WhoisSample& sample : test::loadWhoisSamples()) {
        const QString kind = kKinds.contains(sample.kind) ? sample.kind : u"trap"_s;
        const WhoisReading reading = readingOf(sample);
        const bool right = reading.verdict == sample.verdict &&
                           reading.backoffSeconds == sample.backoffSeconds &&
                           reading.blocked == sample.blocked;
        (right ? tallies[sample.tld][kind].right : tallies[sample.tld][kind].wrong) += 1;
        (right ? byKind[kind].right : byKind[kind].wrong) += 1;
        falseFree += reading.verdict == Verdict::Free && sample.verdict != Verdict::Free;
        if (!example.contains(sample.tld))
            example.insert(sample.tld, sample.name);
    }

    std::printf("%-13s %-46s %-9s %-9s %-9s %-16s %s\n", "TLD", "registry", "free", "taken",
                "reserved", "throttled", "traps");
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it) {
        const WhoisEntry& entry = WhoisPatterns::builtIn().entryFor(example.value(it.key()));
        QStringList cells;
        for (const QString& kind : kKinds)
            cells.append(mark(it->value(kind)));
        if (it->contains(u"throttled"_s) && entry.throttled.isEmpty() && entry.blocked.isEmpty())
            cells.last() += u" (common)"_s;
        const QString registry =
            entry.unsupported.isEmpty() ? entry.registry : u"no port 43: "_s % entry.registry;
        std::printf("%-13s %-46s %-9s %-9s %-9s %-16s %s\n", qPrintable(it.key()),
                    qPrintable(registry.left(46)), qPrintable(cells.at(0)), qPrintable(cells.at(1)),
                    qPrintable(cells.at(2)), qPrintable(cells.at(3)),
                    qPrintable(mark(it->value(u"trap"_s))));
    }

    printTableCoverage();
    std::printf("Our replies for %d TLDs (and the common lines), read right (recall):\n",
                int(tallies.size()));
    for (const QString& kind : kKinds + QStringList{u"trap"_s}) {
        const Tally& tally = byKind.value(kind);
        const int total = tally.right + tally.wrong;
        std::printf("  %-10s %4d of %4d  %5.1f %%\n", qPrintable(kind), tally.right, total,
                    total == 0 ? 0.0 : 100.0 * tally.right / total);
    }
    std::printf("  free where the reply is not free: %d\n", falseFree);
    std::printf("Reading one reply takes %.0f microseconds on average.\n",
                microsecondsPerReading());
    std::printf("\"-\": no reply of that kind is known for the registry, so none was written;\n"
                "\"(common)\": recognised by the throttle patterns every registry shares.\n");
}

} // namespace ds::bench
