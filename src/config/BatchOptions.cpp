#include "config/BatchOptions.h"

#include "config/LookupOptions.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

std::optional<RecordFormat> formatFromName(const QString& name) {
    if (name == "text"_L1)
        return RecordFormat::Text;
    if (name == "tsv"_L1)
        return RecordFormat::Tsv;
    if (name == "csv"_L1)
        return RecordFormat::Csv;
    if (name == "jsonl"_L1)
        return RecordFormat::Jsonl;
    return std::nullopt;
}

std::optional<RecordSelection> selectionFromName(const QString& name) {
    if (name == "free"_L1)
        return RecordSelection::Free;
    if (name == "taken"_L1)
        return RecordSelection::Taken;
    if (name == "failed"_L1)
        return RecordSelection::Failed;
    if (name == "dropping"_L1)
        return RecordSelection::Dropping;
    return std::nullopt;
}

} // namespace

BatchCommandLine parseBatchCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Checks every name of the files (or of standard input) and writes one record per "
        u"name to standard output or --output. Exit code 0: every name got a verdict; "
        u"1: some failed; 2: usage or input error; 130: interrupted."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption format(u"format"_s, u"text (default), tsv, csv or jsonl."_s,
                                    u"FORMAT"_s, u"text"_s);
    const QCommandLineOption output(u"output"_s, u"Write records to FILE."_s, u"FILE"_s);
    const QCommandLineOption resume(u"resume"_s,
                                    u"Skip names --output already answers, and append to it."_s);
    const QCommandLineOption retryFailed(
        u"retry-failed"_s,
        u"Ask again the names --output FILE records as failed, and rewrite FILE with their new "
        u"records; its other lines stay as they are."_s);
    const QCommandLineOption only(
        u"only"_s,
        u"Write only free, taken or failed names, or those dropping (in redemption or pending "
        u"delete)."_s,
        u"VERDICT"_s);
    const QCommandLineOption quiet(u"quiet"_s, u"Print nothing but errors."_s);
    parser.addOptions({format, output, resume, retryFailed, only, quiet});
    parser.addOptions(lookupOptions());
    parser.addPositionalArgument(u"check"_s, u"Batch mode."_s, u"check"_s);
    parser.addPositionalArgument(u"FILE"_s, u"Names, one per line; - is standard input."_s,
                                 u"[FILE...]"_s);

    if (auto settled = settleCommonOptions<BatchOptions>(parser, arguments, help, version))
        return *settled;
    BatchCommandLine outcome;
    const auto fail = &BatchCommandLine::failure;
    BatchOptions& options = outcome.options;
    options.inputs = parser.positionalArguments().mid(1);
    const auto chosen = formatFromName(parser.value(format));
    if (!chosen)
        return fail(
            u"--format: \"%1\" is none of text, tsv, csv, jsonl"_s.arg(parser.value(format)));
    options.format = *chosen;
    options.outputFile = parser.value(output);
    options.resume = parser.isSet(resume);
    if (options.resume && options.outputFile.isEmpty())
        return fail(u"--resume needs --output FILE"_s);
    options.retryFailed = parser.isSet(retryFailed);
    if (options.retryFailed) {
        if (options.outputFile.isEmpty())
            return fail(
                u"--retry-failed needs --output FILE, the file whose failures to ask again"_s);
        if (options.resume)
            return fail(u"--retry-failed and --resume do not go together: --resume asks the names "
                        u"FILE lacks, --retry-failed those it holds as failed"_s);
        if (!options.inputs.isEmpty())
            return fail(u"--retry-failed asks again the names --output FILE holds as failed; "
                        u"give no input files"_s);
        if (parser.isSet(only))
            return fail(u"--retry-failed keeps every record of FILE; --only does not apply"_s);
    }
    if (parser.isSet(only)) {
        options.only = selectionFromName(parser.value(only));
        if (!options.only)
            return fail(u"--only: \"%1\" is none of free, taken, failed, dropping"_s.arg(
                parser.value(only)));
    }
    options.quiet = parser.isSet(quiet);
    if (const QString trouble = readSettingOptions(parser, options.common, false);
        !trouble.isEmpty())
        return fail(trouble);
    return outcome;
}

} // namespace ds
