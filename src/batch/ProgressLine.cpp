#include "batch/ProgressLine.h"

#include "lookup/AdaptivePace.h"

using namespace Qt::StringLiterals;

namespace ds::ProgressLine {

namespace {

double perSecond(qsizetype count, qint64 elapsedMs) {
    return elapsedMs > 0 ? double(count) * 1000.0 / double(elapsedMs) : 0.0;
}

} // namespace

QString duration(qint64 seconds) {
    if (seconds >= 3600)
        return u"%1h%2m"_s.arg(seconds / 3600).arg(seconds % 3600 / 60, 2, 10, QChar(u'0'));
    if (seconds >= 60)
        return u"%1m%2s"_s.arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
    return u"%1s"_s.arg(seconds);
}

QString text(const BatchTally& tally, std::optional<qsizetype> total, qint64 elapsedMs) {
    const double rate = perSecond(tally.done, elapsedMs);
    QString line =
        total
            ? u"%1/%2  %3%"_s.arg(tally.done)
                  .arg(*total)
                  .arg(*total > 0 ? 100.0 * double(tally.done) / double(*total) : 100.0, 5, 'f', 1)
            : u"%1 done"_s.arg(tally.done);
    line += u"  free %1  taken %2  failed %3"_s.arg(tally.free).arg(tally.taken).arg(tally.failed);
    if (tally.invalid > 0)
        line += u"  invalid %1"_s.arg(tally.invalid);
    line += u"  %1/s"_s.arg(rate, 0, 'f', 1);
    if (total && rate > 0)
        line += u"  left "_s + duration(qint64(double(*total - tally.done) / rate + 0.5));
    return line;
}

QString holds(const QList<ServiceQueue::Hold>& holds) {
    if (holds.isEmpty())
        return {};
    QDateTime first = holds.first().until;
    for (const ServiceQueue::Hold& hold : holds)
        first = std::min(first, hold.until);
    return u"  %1 server%2 rate-limited, first free at %3"_s.arg(holds.size())
        .arg(holds.size() == 1 ? u""_s : u"s"_s)
        .arg(first.toString(u"HH:mm"));
}

QString busiest(const QList<ServerLoad>& loads) {
    QStringList servers;
    for (const ServerLoad& load : loads) {
        if (load.requestsPerSecond > 0)
            servers.append(load.server + u' ' + requestsPerSecondText(load.requestsPerSecond) +
                           u"/s"_s);
    }
    return servers.isEmpty() ? QString() : u"  "_s + servers.join(u", "_s);
}

QString summary(const BatchTally& tally, qint64 elapsedMs, bool interrupted) {
    QString line = u"%1 %2 names in %3: %4 free, %5 taken, %6 failed, %7 invalid"_s
                       .arg(interrupted ? u"interrupted after"_s : u"checked"_s)
                       .arg(tally.done)
                       .arg(duration(elapsedMs / 1000))
                       .arg(tally.free)
                       .arg(tally.taken)
                       .arg(tally.failed)
                       .arg(tally.invalid);
    if (tally.dropping > 0)
        line += u"; %1 of the taken in redemption or pending delete"_s.arg(tally.dropping);
    if (tally.byDns > 0)
        line += u"; %1 of the taken answered by the DNS, no registry asked"_s.arg(tally.byDns);
    if (tally.repeats > 0)
        line += u"; %1 repeated names skipped"_s.arg(tally.repeats);
    if (tally.answeredBefore > 0)
        line += u"; %1 names already answered in the output"_s.arg(tally.answeredBefore);
    return line;
}

} // namespace ds::ProgressLine
