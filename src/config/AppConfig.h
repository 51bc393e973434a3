#pragma once

#include "config/ParsedCommandLine.h"
#include "config/Settings.h"
#include "http/ProxyConfig.h"
#include "query/EngineConfig.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace ds {

// The values the window runs with, settled once at start-up from the stored
// settings and the command line. What is left unset is the settings table's
// default.
struct AppConfig {
    using Key = Settings::Key;
    static int number(Key key) { return Settings::defaultValue(key).toInt(); }

    // "http://host[:port]"; empty when no registrar has been set or the
    // public registries are to be asked.
    QString registrarAddress;
    int requestTimeLimitSeconds = number(Key::RequestTimeLimitSeconds);
    int restartIntervalMs = number(Key::RestartIntervalMs);
    int whoisServerIntervalMs = number(Key::WhoisServerIntervalMs);
    ProxyConfig proxy{};
    QUrl toolsUrl;
    QUrl supportUrl;
    // "zh" or "en": the language of the window's texts.
    QString language = Settings::defaultValue(Key::Language).toString();
    // Where a run's journal is kept; empty keeps no journal (tests, mostly).
    QString journalFolder;
    // The registrar's workers, or the registries' requests in flight.
    int workers = number(Key::Workers);
    int longestWaitMinutes = number(Key::LongestWaitMinutes);
    int serverIntervalMs = number(Key::RegistryServerIntervalMs);
    // A file or address replacing IANA's list of RDAP servers; empty for none.
    QString rdapBootstrap;
    // Where IANA's list and the WHOIS servers found are kept; the program's
    // cache folder when empty.
    QString cacheFolder;
    // "HOST[:PORT]" asked which WHOIS server serves a TLD.
    QString whoisReferral = Settings::defaultValue(Key::WhoisReferral).toString();
    // "TLD=HOST[:PORT]"; a later entry for the same TLD wins.
    QStringList whoisServers = {};
    // "HOST[:PORT]=RATE[/INFLIGHT]"; a later entry for the same server wins.
    QStringList serverPaces = {};
    // The DNS step ahead of the registries: whether it runs, the resolver it
    // asks ("HOST[:PORT]", empty for the system's) and how many names at once.
    bool dnsEnabled = Settings::defaultValue(Key::DnsEnabled).toBool();
    QString dnsServer = {};
    int dnsParallel = number(Key::DnsParallel);
    // Every name to its registry, for its registrar, dates and status: the
    // DNS can only say "taken", so its step is left out.
    bool details = Settings::defaultValue(Key::Details).toBool();
};

// What the command line asked for; an absent option leaves the stored
// setting in force.
struct CommandLineOptions {
    std::optional<QString> registrarAddress;
    // The public registries for this start, whatever registrar is stored.
    bool registries = false;
    std::optional<int> workers;
    std::optional<int> longestWaitMinutes;
    std::optional<int> restartIntervalMs;
    std::optional<int> serverIntervalMs;
    std::optional<int> whoisServerIntervalMs;
    std::optional<int> requestTimeLimitSeconds;
    std::optional<ProxyConfig> proxy;
    std::optional<QString> rdapBootstrap;
    std::optional<QString> whoisReferral;
    // Added to the stored ones, and winning over them.
    QStringList whoisServers = {};
    // --server-pace, added to the stored ones and winning over them.
    QStringList serverPaces = {};
    // --no-dns: no DNS step for this start, whatever is stored.
    bool noDns = false;
    std::optional<QString> dnsServer;
    // --details: every name to its registry, whatever is stored.
    bool details = false;
    std::optional<QUrl> toolsUrl;
    std::optional<QUrl> supportUrl;
    std::optional<QString> language;
    // The settings whose option was given, in the table's order.
    QList<Settings::Key> given = {};
};

using CommandLineOutcome = ParsedCommandLine<CommandLineOptions>;

// Reads the options of the settings table, the window's own among them (and
// --help, --version). A value that cannot be used is a failure rather than a silent
// fallback: the person who typed it wants to know.
CommandLineOutcome parseCommandLine(const QStringList& arguments);

// Options win over stored settings; nothing is written back to the store.
AppConfig resolveConfig(const Settings& settings, const CommandLineOptions& options);

// What the engine runs with, the window and a batch run alike.
EngineConfig engineConfig(const AppConfig& config);

} // namespace ds
