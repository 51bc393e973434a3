#include "config/LookupOptions.h"

#include "config/AppConfig.h"
#include "config/Settings.h"
#include "lookup/DnsCheck.h"
#include "lookup/ServerPace.h"
#include "lookup/WhoisServers.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// A whole-number option over a stored setting, whose range it shares.
struct NumberOption {
    QLatin1StringView name;
    Settings::Key key;
    QLatin1StringView valueName;
    QLatin1StringView description;
    std::optional<int> CommandLineOptions::*target;
};

const NumberOption kNumberOptions[] = {
    {"workers"_L1, Settings::Key::Workers, "N"_L1,
     "Registries: requests in flight at once (default 16); registrar: workers (default 3)"_L1,
     &CommandLineOptions::workers},
    {"interval"_L1, Settings::Key::RestartIntervalMs, "MS"_L1,
     "Milliseconds each worker rests between names"_L1, &CommandLineOptions::restartIntervalMs},
    {"registry-interval"_L1, Settings::Key::ServerIntervalMs, "MS"_L1,
     "Milliseconds each RDAP server rests between two requests"_L1,
     &CommandLineOptions::serverIntervalMs},
    {"whois-interval"_L1, Settings::Key::WhoisServerIntervalMs, "MS"_L1,
     "Milliseconds each WHOIS server rests between two requests"_L1,
     &CommandLineOptions::whoisServerIntervalMs},
    {"longest-wait"_L1, Settings::Key::LongestWaitMinutes, "MINUTES"_L1,
     "Minutes a rate-limited server is waited for; past that its names fail"_L1,
     &CommandLineOptions::longestWaitMinutes},
    {"time-limit"_L1, Settings::Key::RequestTimeLimitSeconds, "SECONDS"_L1,
     "Seconds a request may take"_L1, &CommandLineOptions::requestTimeLimitSeconds},
};

} // namespace

QList<QCommandLineOption> lookupOptions() {
    QList<QCommandLineOption> options{
        {u"registrar"_s, u"Ask the registrar availability service at http://host[:port]."_s,
         u"URL"_s},
        {u"registries"_s, u"Ask the public registries, even when a registrar is stored."_s},
        {u"proxy"_s,
         u"Proxy for every lookup: http://[user[:password]@]host[:port], socks5://..., "
         u"system or none."_s,
         u"URL"_s},
        {u"rdap-bootstrap"_s,
         u"A file or http(s) address with the list of RDAP servers, in place of IANA's."_s,
         u"FILE_OR_URL"_s},
        {u"whois-referral"_s,
         u"The server asked which WHOIS server serves a TLD (default whois.iana.org:43)."_s,
         u"HOST[:PORT]"_s},
        {u"whois-server"_s, u"The WHOIS server of a TLD, in ACE or Unicode form; repeatable."_s,
         u"TLD=HOST[:PORT]"_s},
        {u"server-pace"_s,
         u"The most requests per second and in flight (1 when left out) for one RDAP or WHOIS "
         u"server, in place of the known or default pace; it still slows down when the server "
         u"refuses. Repeatable."_s,
         u"HOST[:PORT]=RATE[/INFLIGHT]"_s},
        {u"no-dns"_s, u"Ask the registries about every name, without asking the DNS first."_s},
        {u"dns-server"_s,
         u"The resolver the DNS step asks, directly and never through --proxy: an IP address "
         u"with an optional port, in place of the system's."_s,
         u"HOST[:PORT]"_s},
        {u"details"_s,
         u"Ask the registry about every name for its registrar, dates and status, also about "
         u"the names the DNS shows taken (which skips the DNS step)."_s},
    };
    for (const NumberOption& number : kNumberOptions) {
        const auto [low, high] = Settings::range(number.key);
        options.append({number.name,
                        u"%1 (%2-%3, default %4)."_s.arg(number.description)
                            .arg(low)
                            .arg(high)
                            .arg(Settings::defaultValue(number.key).toInt()),
                        number.valueName});
    }
    return options;
}

QString readLookupOptions(const QCommandLineParser& parser, CommandLineOptions& options) {
    if (parser.isSet(u"registrar"_s)) {
        const QString address = normaliseRegistrarAddress(parser.value(u"registrar"_s));
        if (address.isEmpty())
            return u"--registrar: \"%1\" is not a usable address"_s.arg(
                parser.value(u"registrar"_s));
        options.registrarAddress = address;
    }
    options.registries = parser.isSet(u"registries"_s);
    if (options.registries && options.registrarAddress)
        return u"--registrar and --registries cannot both be given"_s;
    for (const NumberOption& number : kNumberOptions) {
        if (!parser.isSet(number.name))
            continue;
        bool ok = false;
        const int value = parser.value(number.name).toInt(&ok);
        const auto [low, high] = Settings::range(number.key);
        if (!ok || value < low || value > high)
            return u"--%1: \"%2\" is not %3-%4"_s.arg(number.name, parser.value(number.name))
                .arg(low)
                .arg(high);
        options.*number.target = value;
    }
    if (parser.isSet(u"proxy"_s)) {
        options.proxy = parseProxyUrl(parser.value(u"proxy"_s));
        if (!options.proxy)
            return u"--proxy: \"%1\" is none of http://host[:port], socks5://host[:port], "
                   u"system, none"_s.arg(parser.value(u"proxy"_s));
    }
    if (parser.isSet(u"rdap-bootstrap"_s)) {
        const QString source = parser.value(u"rdap-bootstrap"_s).trimmed();
        if (source.isEmpty())
            return u"--rdap-bootstrap: no file or address given"_s;
        options.rdapBootstrap = source;
    }
    if (parser.isSet(u"whois-referral"_s)) {
        const QString referral = parser.value(u"whois-referral"_s).trimmed();
        if (!parseWhoisAddress(referral))
            return u"--whois-referral: \"%1\" is not HOST[:PORT]"_s.arg(referral);
        options.whoisReferral = referral;
    }
    for (const QString& server : parser.values(u"whois-server"_s)) {
        if (!parseWhoisServerOverride(server))
            return u"--whois-server: \"%1\" is not TLD=HOST[:PORT]"_s.arg(server);
        options.whoisServers.append(server.trimmed());
    }
    for (const QString& pace : parser.values(u"server-pace"_s)) {
        if (const ParsedServerPace parsed = parseServerPaceOverride(pace); !parsed.value)
            return u"--server-pace: \"%1\" %2"_s.arg(pace, parsed.reason());
        options.serverPaces.append(pace.trimmed());
    }
    options.noDns = parser.isSet(u"no-dns"_s);
    options.details = parser.isSet(u"details"_s);
    if (parser.isSet(u"dns-server"_s)) {
        const QString server = parser.value(u"dns-server"_s).trimmed();
        if (!isUsableDnsServer(server))
            return u"--dns-server: \"%1\" is not an IP address with an optional port"_s.arg(server);
        options.dnsServer = server;
    }
    return {};
}

QStringList dialogOptionsGiven(const CommandLineOptions& options) {
    QStringList given;
    if (options.registrarAddress)
        given << u"--registrar"_s;
    if (options.registries)
        given << u"--registries"_s;
    if (options.proxy)
        given << u"--proxy"_s;
    if (options.noDns)
        given << u"--no-dns"_s;
    if (!options.serverPaces.isEmpty())
        given << u"--server-pace"_s;
    if (options.dnsServer)
        given << u"--dns-server"_s;
    if (options.details)
        given << u"--details"_s;
    for (const NumberOption& number : kNumberOptions) {
        if (options.*number.target)
            given << u"--"_s + number.name;
    }
    return given;
}

} // namespace ds
