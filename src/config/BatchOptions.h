#pragma once

#include "config/AppConfig.h"
#include "format/RecordFormat.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ds {

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
