#pragma once

#include "platform/ConsoleText.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace ds {

// "domainsieve 0.1.0", from the build's project version.
QString versionText();

// What reading a command line came to: run with the options, print a help or
// version text and stop, or stop with the reason.
template <typename Options>
struct ParsedCommandLine {
    enum class Status { Run, ShowHelp, ShowVersion, Fail };
    Status status = Status::Run;
    Options options;
    // The text for ShowHelp and ShowVersion, the reason for Fail.
    QString message;

    // Prints what there is to print, help and version on standard output, the
    // reason on standard error, and gives the exit code; nullopt for a run.
    std::optional<int> printUnlessRun() const {
        switch (status) {
        case Status::ShowHelp:
        case Status::ShowVersion:
            platform::writeText(stdout, message);
            return 0;
        case Status::Fail:
            platform::writeText(stderr, message + QChar(u'\n'));
            return 2;
        case Status::Run:
            break;
        }
        return std::nullopt;
    }

    static ParsedCommandLine failure(const QString& reason) {
        ParsedCommandLine outcome;
        outcome.status = Status::Fail;
        outcome.message = reason;
        return outcome;
    }
};

// Parses the arguments and settles what every mode treats alike: a parse
// error, --help and --version. Gives the outcome when nothing is left to read,
// nullopt when the caller goes on to read its own options.
template <typename Options>
std::optional<ParsedCommandLine<Options>>
settleCommonOptions(QCommandLineParser& parser, const QStringList& arguments,
                    const QCommandLineOption& help, const QCommandLineOption& version,
                    const QString& helpFooter = {}) {
    using Outcome = ParsedCommandLine<Options>;
    if (!parser.parse(arguments))
        return Outcome::failure(parser.errorText());
    Outcome outcome;
    if (parser.isSet(help)) {
        outcome.status = Outcome::Status::ShowHelp;
        outcome.message = parser.helpText() + helpFooter;
        return outcome;
    }
    if (parser.isSet(version)) {
        outcome.status = Outcome::Status::ShowVersion;
        outcome.message = versionText() + u'\n';
        return outcome;
    }
    return std::nullopt;
}

} // namespace ds
