#include "config/AppConfig.h"

#include "config/LookupOptions.h"
#include "config/SettingsTable.h"
#include "lookup/RdapBootstrapStore.h"
#include "lookup/ServerPace.h"
#include "lookup/WhoisServers.h"

#include <QCommandLineParser>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace ds {

using Key = Settings::Key;

CommandLineOutcome parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Checks in bulk whether domain names are free to register."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions(windowOptions());
    parser.addOptions(lookupOptions());

    if (auto settled = settleCommonOptions<CommandLineOptions>(
            parser, arguments, help, version,
            u"\nBatch mode, without a window: domainsieve check --help\n"
            u"Making lists from a pattern: domainsieve gen --help\n"_s))
        return *settled;
    CommandLineOutcome outcome;
    const auto fail = &CommandLineOutcome::failure;
    if (!parser.positionalArguments().isEmpty())
        return fail(u"unexpected argument \"%1\""_s.arg(parser.positionalArguments().constFirst()));
    if (const QString trouble = readSettingOptions(parser, outcome.options, true);
        !trouble.isEmpty())
        return fail(trouble);
    return outcome;
}

AppConfig resolveConfig(const Settings& settings, const CommandLineOptions& options) {
    AppConfig config;
    for (const SettingRow& row : settingRows()) {
        if (row.numberConfig)
            config.*row.numberConfig = row.numberOption && options.*row.numberOption
                                           ? *(options.*row.numberOption)
                                           : settings.integer(row.key);
        if (row.textConfig)
            config.*row.textConfig = row.textOption && options.*row.textOption
                                         ? *(options.*row.textOption)
                                         : settings.text(row.key);
    }
    const bool registrarChosen =
        !options.registries && settings.lookupMethod() == LookupMethod::Registrar;
    config.registrarAddress = options.registrarAddress.value_or(
        registrarChosen ? settings.registrarAddress() : QString());
    // One option for two settings: the registrar's workers and the
    // registries' requests in flight.
    config.workers = options.workers.value_or(settings.integer(
        config.registrarAddress.isEmpty() ? Key::RegistryRequestsInFlight : Key::Workers));
    config.proxy = options.proxy.value_or(settings.proxy());
    config.toolsUrl = options.toolsUrl.value_or(settings.url(Key::ToolsUrl));
    config.supportUrl = options.supportUrl.value_or(settings.url(Key::SupportUrl));
    config.language = options.language.value_or(settings.language());
    config.whoisServers = settings.list(Key::WhoisServers) + options.whoisServers;
    config.serverPaces = settings.list(Key::ServerPaces) + options.serverPaces;
    config.dnsEnabled = settings.flag(Key::DnsEnabled) && !options.noDns;
    config.details = settings.flag(Key::Details) || options.details;
    return config;
}

EngineConfig engineConfig(const AppConfig& config) {
    EngineConfig engine;
    engine.registrar = QUrl(config.registrarAddress);
    engine.requestTimeLimitMs = config.requestTimeLimitSeconds * 1000;
    engine.restartIntervalMs = config.restartIntervalMs;
    engine.workers = config.workers;
    engine.longestWaitMinutes = config.longestWaitMinutes;
    engine.serverIntervalMs = config.serverIntervalMs;
    for (const QString& pace : config.serverPaces) {
        if (const auto server = parseServerPaceOverride(pace).value)
            engine.serverPaces.insert(server->service, server->pace);
    }
    engine.proxy = config.proxy;
    if (engine.registrar.isEmpty()) {
        RdapBootstrapStore::Options bootstrap;
        bootstrap.source = config.rdapBootstrap;
        bootstrap.cacheDir = config.cacheFolder.isEmpty()
                                 ? QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
                                 : config.cacheFolder;
        bootstrap.timeLimitMs = engine.requestTimeLimitMs;
        bootstrap.proxy = config.proxy;
        engine.bootstrap = std::make_shared<RdapBootstrapStore>(bootstrap);
        engine.whois.cacheDir = bootstrap.cacheDir % u"/whois-servers"_s;
        // Straight to the resolver, never through the proxy: c-ares opens its
        // own UDP sockets, which an HTTP proxy cannot carry and which c-ares
        // has no way to hand to a SOCKS5 one.
        // The DNS step's verdict has no details: who wants them asks the registry.
        if (config.dnsEnabled && !config.details)
            engine.dns =
                DnsCheckOptions{.server = config.dnsServer, .parallel = config.dnsParallel};
    }
    engine.whois.timeLimitMs = engine.requestTimeLimitMs;
    engine.whois.referral = parseWhoisAddress(config.whoisReferral).value_or(engine.whois.referral);
    for (const QString& server : config.whoisServers) {
        if (const auto zoneServer = parseWhoisServerOverride(server))
            engine.whois.overrides.insert(zoneServer->first, zoneServer->second);
    }
    engine.whoisServerIntervalMs = config.whoisServerIntervalMs;
    return engine;
}

QString versionText() {
    return u"domainsieve " DOMAINSIEVE_VERSION ""_s;
}

} // namespace ds
