#pragma once

#include "config/AppConfig.h"
#include "lookup/Answer.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ds {

// How each record of a batch run is written: the window's own line, tab- or
// comma-separated values, or one JSON object per line.
enum class RecordFormat { Text, Tsv, Csv, Jsonl };

// Which records --only lets through: the free names, the taken ones (those
// in redemption or pending delete among them), the failed ones, or only the
// names in redemption or pending delete.
enum class RecordSelection { Free, Taken, Failed, Dropping };
bool selects(RecordSelection selection, Verdict verdict);

// What `domainsieve check` was asked to do.
struct BatchOptions {
    // Files read in order; "-" (or no file at all) is standard input.
    QStringList inputs;
    RecordFormat format = RecordFormat::Text;
    // Empty: standard output.
    QString outputFile;
    bool resume = false;
    // Ask again the names outputFile holds as failed and rewrite it.
    bool retryFailed = false;
    // Write only these records.
    std::optional<RecordSelection> only;
    bool quiet = false;
    CommandLineOptions common;
};

using BatchCommandLine = ParsedCommandLine<BatchOptions>;

// Reads `domainsieve check [options] [FILE...]`; arguments[1] is "check".
BatchCommandLine parseBatchCommandLine(const QStringList& arguments);

} // namespace ds
