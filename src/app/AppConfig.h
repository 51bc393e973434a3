#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace ds {

class Settings;

// The values the window runs with, settled once at start-up from the stored
// settings and the command line.
struct AppConfig {
    // "http://host[:port]"; empty when no registrar has been set.
    QString registrarAddress;
    int requestTimeLimitSeconds = 30;
    int restartIntervalMs = 100;
    QUrl toolsUrl;
    QUrl supportUrl;
};

// What the command line asked for; an absent option leaves the stored
// setting in force.
struct CommandLineOptions {
    std::optional<QString> registrarAddress;
    std::optional<QUrl> toolsUrl;
    std::optional<QUrl> supportUrl;
};

struct CommandLineOutcome {
    enum class Status { Run, ShowHelp, Fail };
    Status status = Status::Run;
    CommandLineOptions options;
    // The help text for ShowHelp, the reason for Fail.
    QString message;
};

// Reads --registrar, --tools-url and --support-url (and --help). A value that
// cannot be used is a failure rather than a silent fallback: the person who
// typed it wants to know.
CommandLineOutcome parseCommandLine(const QStringList& arguments);

// Options win over stored settings; nothing is written back to the store.
AppConfig resolveConfig(const Settings& settings, const CommandLineOptions& options);

} // namespace ds
