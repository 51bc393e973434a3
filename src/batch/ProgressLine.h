#pragma once

#include "batch/StreamRunBoard.h"
#include "lookup/ServiceQueue.h"
#include "query/RunScheduler.h"

#include <QString>

#include <optional>

namespace ds {

// The progress of a batch run in words, for standard error.
namespace ProgressLine {

// "1200/5000  24.0%  free 12  taken 1170  failed 18  9.8/s  left 6m28s";
// without a total (standard input) only what is done and the rate.
QString text(const BatchTally& tally, std::optional<qsizetype> total, qint64 elapsedMs);

// "  2 servers rate-limited, first free at 12:40"; empty when none holds.
QString holds(const QList<ServiceQueue::Hold>& holds);

// "  rdap.example:443 8.5/s, whois.example:43 0.50/s": how fast the busiest
// servers are asked now; empty when none adapts its pace.
QString busiest(const QList<ServerLoad>& loads);

// The closing line, written whether or not standard error is a terminal.
QString summary(const BatchTally& tally, qint64 elapsedMs, bool interrupted);

// "1h02m", "6m28s", "12s".
QString duration(qint64 seconds);

} // namespace ProgressLine
} // namespace ds
