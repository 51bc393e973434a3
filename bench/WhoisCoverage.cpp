#include "WhoisCoverage.h"

#include "WhoisSamples.h"
#include "lookup/WhoisPatterns.h"

#include <QMap>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ds::bench {

namespace {

const QStringList kKinds = {u"free"_s, u"taken"_s, u"reserved"_s, u"throttled"_s};

struct Tally {
    int right = 0;
    int wrong = 0;
};

bool readRight(const test::WhoisSample& sample) {
    const WhoisPatterns& table = WhoisPatterns::builtIn();
    const WhoisReading reading = table.read(table.entryFor(sample.name), sample.name, sample.reply);
    return reading.verdict == sample.verdict && reading.backoffSeconds == sample.backoffSeconds &&
           reading.blocked == sample.blocked;
}

QString mark(const Tally& tally) {
    if (tally.right + tally.wrong == 0)
        return u"-"_s;
    return tally.wrong == 0 ? u"yes"_s
                            : u"NO (%1 of %2)"_s.arg(tally.wrong).arg(tally.right + tally.wrong);
}

} // namespace

void printWhoisCoverage() {
    // TLD -> kind -> tally; "trap" gathers every other kind.
    QMap<QString, QMap<QString, Tally>> tallies;
    QMap<QString, QString> example;
    for (const test::WhoisSample& sample : test::loadWhoisSamples()) {
        const QString kind = kKinds.contains(sample.kind) ? sample.kind : u"trap"_s;
        Tally& tally = tallies[sample.tld][kind];
        (readRight(sample) ? tally.right : tally.wrong) += 1;
        if (!example.contains(sample.tld))
            example.insert(sample.tld, sample.name);
    }

    std::printf("%-5s %-46s %-9s %-9s %-9s %-16s %s\n", "TLD", "registry", "free", "taken",
                "reserved", "throttled", "traps");
    Tally all;
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it) {
        const WhoisEntry& entry = WhoisPatterns::builtIn().entryFor(example.value(it.key()));
        QStringList cells;
        for (const QString& kind : kKinds)
            cells.append(mark(it->value(kind)));
        if (it->contains(u"throttled"_s) && entry.throttled.isEmpty())
            cells.last() += u" (common)"_s;
        for (const Tally& tally : *it)
            all.right += tally.right, all.wrong += tally.wrong;
        const QString registry =
            entry.unsupported.isEmpty() ? entry.registry : u"no port 43: "_s % entry.registry;
        std::printf("%-5s %-46s %-9s %-9s %-9s %-16s %s\n", qPrintable(it.key()),
                    qPrintable(registry.left(46)), qPrintable(cells.at(0)), qPrintable(cells.at(1)),
                    qPrintable(cells.at(2)), qPrintable(cells.at(3)),
                    qPrintable(mark(it->value(u"trap"_s))));
    }
    std::printf("\n%d TLDs, %d replies: %d read right, %d read wrong\n", int(tallies.size()),
                all.right + all.wrong, all.right, all.wrong);
    std::printf("\"-\": no reply of that kind is known for the registry, so none was written;\n"
                "\"(common)\": recognised by the throttle patterns every registry shares.\n");
}

} // namespace ds::bench
