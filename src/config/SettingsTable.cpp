#include "config/SettingsTable.h"

#include "lookup/DnsServerAddress.h"
#include "lookup/ServerPace.h"
#include "lookup/WhoisAddress.h"

#include <QCoreApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

using Key = Settings::Key;
using Place = SettingPlace;
using Options = CommandLineOptions;

QVariant noText() {
    return QVariant(QString());
}

QVariant noList() {
    return QVariant(QStringList());
}

bool anyText(const QString&) {
    return true;
}

bool someText(const QString& text) {
    return !text.isEmpty();
}

bool usableUrl(const QString& text) {
    return urlFromUserInput(text).isValid();
}

const SettingRow kRows[] = {
    // No default: an older file without the key still means what it meant.
    {.key = Key::LookupMethod,
     .name = "lookup/method"_L1,
     .fallback = noText,
     .usable =
         [](const QString& text) { return text == "registries"_L1 || text == "registrar"_L1; },
     .option = "registries"_L1,
     .optionText = "Ask the public registries, even when a registrar is stored."_L1,
     .place = Place::Lookup},
    {.key = Key::RegistrarAddress,
     .name = "registrar/address"_L1,
     .fallback = noText,
     .usable = [](const QString& text) { return !normaliseRegistrarAddress(text).isEmpty(); },
     .option = "registrar"_L1,
     .valueName = "URL"_L1,
     .optionText = "Ask the registrar availability service at http://host[:port]."_L1,
     .refusal = "a usable address"_L1,
     .place = Place::Lookup,
     .fieldName = "registrarAddress"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "服务地址"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "http://主机[:端口]")},
    {.key = Key::DnsEnabled,
     .name = "dns/enabled"_L1,
     .fallback = [] { return QVariant(true); },
     .option = "no-dns"_L1,
     .optionText = "Ask the registries about every name, without asking the DNS first."_L1,
     .place = Place::Lookup,
     .fieldName = "dnsEnabled"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "先查 DNS：有域名服务器记录的直接判为已注册")},
    {.key = Key::DnsServer,
     .name = "dns/server"_L1,
     .fallback = noText,
     .usable = isUsableDnsServer,
     .option = "dns-server"_L1,
     .valueName = "HOST[:PORT]"_L1,
     .optionText = "The resolver the DNS step asks, directly and never through --proxy: an IP "
                   "address with an optional port, in place of the system's."_L1,
     .refusal = "an IP address with an optional port"_L1,
     .textOption = &Options::dnsServer,
     .textConfig = &AppConfig::dnsServer,
     .place = Place::Lookup,
     .fieldName = "dnsServer"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "DNS 服务器"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "IP 地址[:端口]")},
    {.key = Key::Details,
     .name = "lookup/details"_L1,
     .fallback = [] { return QVariant(false); },
     .option = "details"_L1,
     .optionText = "Ask the registry about every name for its registrar, dates and status, also "
                   "about the names the DNS shows taken (which skips the DNS step)."_L1,
     .place = Place::Lookup,
     .fieldName = "details"_L1,
     .label =
         QT_TRANSLATE_NOOP("SettingsForm", "查注册详情：每个域名都问注册局（注册商、日期、状态）")},

    // The registrar's workers; the registries' requests in flight have a key
    // of their own, so that a dialog saved once with 3 here never holds them to 3.
    {.key = Key::Workers,
     .name = "run/workers"_L1,
     .fallback = [] { return QVariant(3); },
     .minimum = 1,
     .maximum = 64,
     .option = "workers"_L1,
     .valueName = "N"_L1,
     .optionText =
         "Registries: requests in flight at once (default 16); registrar: workers (default 3)"_L1,
     .numberOption = &Options::workers,
     .place = Place::Pacing,
     .fieldName = "workers"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "同时查询"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "个")},
    {.key = Key::RegistryRequestsInFlight,
     .name = "registry/requestsInFlight"_L1,
     .fallback = [] { return QVariant(16); },
     .minimum = 1,
     .maximum = 64,
     .place = Place::Pacing,
     .fieldName = "registryRequestsInFlight"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "同时请求"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "个")},
    {.key = Key::LongestWaitMinutes,
     .name = "registry/longestWaitMinutes"_L1,
     .fallback = [] { return QVariant(10); },
     .minimum = 1,
     .maximum = 1440,
     .option = "longest-wait"_L1,
     .valueName = "MINUTES"_L1,
     .optionText = "Minutes a rate-limited server is waited for; past that its names fail"_L1,
     .numberOption = &Options::longestWaitMinutes,
     .numberConfig = &AppConfig::longestWaitMinutes,
     .place = Place::Pacing,
     .fieldName = "longestWaitMinutes"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "限流最长等待"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "分钟")},
    {.key = Key::DnsParallel,
     .name = "dns/parallel"_L1,
     .fallback = [] { return QVariant(DnsCheckOptions{}.parallel); },
     .minimum = 1,
     .maximum = 1024,
     .numberConfig = &AppConfig::dnsParallel,
     .place = Place::Pacing,
     .fieldName = "dnsParallel"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "DNS 同时查询"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "个")},
    // 0 takes away the pause between a worker's steps; the benchmark measures that way.
    {.key = Key::RestartIntervalMs,
     .name = "run/restartIntervalMs"_L1,
     .fallback = [] { return QVariant(100); },
     .minimum = 0,
     .maximum = 60000,
     .option = "interval"_L1,
     .valueName = "MS"_L1,
     .optionText = "Milliseconds each worker rests between names"_L1,
     .numberOption = &Options::restartIntervalMs,
     .numberConfig = &AppConfig::restartIntervalMs,
     .place = Place::Pacing,
     .fieldName = "restartIntervalMs"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "每步间隔"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "毫秒")},
    {.key = Key::RegistryServerIntervalMs,
     .name = "registry/serverIntervalMs"_L1,
     .fallback = [] { return QVariant(500); },
     .minimum = 0,
     .maximum = 60000,
     .option = "registry-interval"_L1,
     .valueName = "MS"_L1,
     .optionText = "Milliseconds each RDAP server rests between two requests"_L1,
     .numberOption = &Options::serverIntervalMs,
     .numberConfig = &AppConfig::serverIntervalMs,
     .place = Place::Pacing,
     .fieldName = "registryServerIntervalMs"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "RDAP 同一服务器间隔"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "毫秒")},
    {.key = Key::WhoisServerIntervalMs,
     .name = "whois/serverIntervalMs"_L1,
     .fallback = [] { return QVariant(1000); },
     .minimum = 0,
     .maximum = 60000,
     .option = "whois-interval"_L1,
     .valueName = "MS"_L1,
     .optionText = "Milliseconds each WHOIS server rests between two requests"_L1,
     .numberOption = &Options::whoisServerIntervalMs,
     .numberConfig = &AppConfig::whoisServerIntervalMs,
     .place = Place::Pacing,
     .fieldName = "whoisServerIntervalMs"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "WHOIS 同一服务器间隔"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "毫秒")},
    // Every request's: the registrar's, RDAP's, WHOIS's and the bootstrap's.
    {.key = Key::RequestTimeLimitSeconds,
     .name = "lookup/requestTimeLimitSeconds"_L1,
     .formerName = "registrar/requestTimeLimitSeconds"_L1,
     .fallback = [] { return QVariant(30); },
     .minimum = 1,
     .maximum = 3600,
     .option = "time-limit"_L1,
     .valueName = "SECONDS"_L1,
     .optionText = "Seconds a request may take"_L1,
     .numberOption = &Options::requestTimeLimitSeconds,
     .numberConfig = &AppConfig::requestTimeLimitSeconds,
     .place = Place::Pacing,
     .fieldName = "requestTimeLimitSeconds"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "请求时限"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "秒")},
    // "HOST[:PORT]=RATE[/INFLIGHT]" ceilings for particular servers.
    {.key = Key::ServerPaces,
     .name = "registry/serverPaces"_L1,
     .fallback = noList,
     .usable = [](const QString& text) { return parseServerPaceOverride(text).value.has_value(); },
     .option = "server-pace"_L1,
     .valueName = "HOST[:PORT]=RATE[/INFLIGHT]"_L1,
     .optionText = "The most requests per second and in flight (1 when left out) for one RDAP "
                   "or WHOIS server, in place of the known or default pace; it still slows down "
                   "when the server refuses. Repeatable."_L1,
     .place = Place::Pacing,
     .fieldName = "serverPaces"_L1},

    {.key = Key::ProxyType,
     .name = "proxy/type"_L1,
     .fallback = [] { return QVariant(QString(proxyTypeKey(ProxyConfig::Type::None))); },
     .usable = [](const QString& text) { return proxyTypeFromKey(text).has_value(); },
     .option = "proxy"_L1,
     .valueName = "URL"_L1,
     .optionText = "Proxy for every lookup: http://[user[:password]@]host[:port], socks5://..., "
                   "system or none."_L1,
     .refusal = "any of http://host[:port], socks5://host[:port], system, none"_L1,
     .place = Place::Proxy},
    {.key = Key::ProxyHost,
     .name = "proxy/host"_L1,
     .fallback = noText,
     .usable = anyText,
     .place = Place::Proxy,
     .fieldName = "proxyHost"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "服务器")},
    // 0 stands for the type's usual port.
    {.key = Key::ProxyPort,
     .name = "proxy/port"_L1,
     .fallback = [] { return QVariant(0); },
     .minimum = 0,
     .maximum = 65535,
     .place = Place::Proxy,
     .fieldName = "proxyPort"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "端口"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "1–65535")},
    {.key = Key::ProxyUser,
     .name = "proxy/user"_L1,
     .fallback = noText,
     .usable = anyText,
     .place = Place::Proxy,
     .fieldName = "proxyUser"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "用户名"),
     .unit = QT_TRANSLATE_NOOP("SettingsForm", "可不填")},
    // Only as an older version left it: the keyring holds a remembered one.
    {.key = Key::ProxyPassword, .name = "proxy/password"_L1, .fallback = noText, .usable = anyText},
    {.key = Key::ProxyRememberPassword,
     .name = "proxy/rememberPassword"_L1,
     .fallback = [] { return QVariant(false); },
     .place = Place::Proxy,
     .fieldName = "rememberPassword"_L1,
     .label = QT_TRANSLATE_NOOP("SettingsForm", "记住密码")},

    {.key = Key::RdapBootstrap,
     .name = "rdap/bootstrap"_L1,
     .fallback = noText,
     .usable = someText,
     .option = "rdap-bootstrap"_L1,
     .valueName = "FILE_OR_URL"_L1,
     .optionText =
         "A file or http(s) address with the list of RDAP servers, in place of IANA's."_L1,
     .refusal = "a file or address"_L1,
     .textOption = &Options::rdapBootstrap,
     .textConfig = &AppConfig::rdapBootstrap},
    {.key = Key::WhoisReferral,
     .name = "whois/referral"_L1,
     .fallback = [] { return QVariant(u"whois.iana.org:43"_s); },
     .usable = [](const QString& text) { return parseWhoisAddress(text).has_value(); },
     .option = "whois-referral"_L1,
     .valueName = "HOST[:PORT]"_L1,
     .optionText =
         "The server asked which WHOIS server serves a TLD (default whois.iana.org:43)."_L1,
     .textOption = &Options::whoisReferral,
     .textConfig = &AppConfig::whoisReferral},
    {.key = Key::WhoisServers,
     .name = "whois/servers"_L1,
     .fallback = noList,
     .usable = [](const QString& text) { return parseWhoisServerOverride(text).has_value(); },
     .option = "whois-server"_L1,
     .valueName = "TLD=HOST[:PORT]"_L1,
     .optionText = "The WHOIS server of a TLD, in ACE or Unicode form; repeatable."_L1},
    {.key = Key::ToolsUrl,
     .name = "links/toolsUrl"_L1,
     .fallback = [] { return QVariant(helpPageUrl()); },
     .usable = usableUrl,
     .option = "tools-url"_L1,
     .valueName = "URL"_L1,
     .optionText = "Address opened by the companion-tools button."_L1,
     .refusal = "a usable address"_L1,
     .windowOnly = true},
    {.key = Key::SupportUrl,
     .name = "links/supportUrl"_L1,
     .fallback = [] { return QVariant(helpSupportUrl()); },
     .usable = usableUrl,
     .option = "support-url"_L1,
     .valueName = "URL"_L1,
     .optionText = "Address opened by the support link."_L1,
     .refusal = "a usable address"_L1,
     .windowOnly = true},
    // Chinese whatever the locale: English only when a person asks for it.
    {.key = Key::Language,
     .name = "ui/language"_L1,
     .fallback = [] { return QVariant(u"zh"_s); },
     .usable = [](const QString& text) { return interfaceLanguages().contains(text.toLower()); },
     .option = "lang"_L1,
     .valueName = "LANGUAGE"_L1,
     .optionText = "Language of the window: en for English; zh, the default, for Chinese."_L1,
     .refusal = "a language of the window (zh, en)"_L1,
     .windowOnly = true},
};

} // namespace

std::span<const SettingRow> settingRows() {
    return kRows;
}

const SettingRow& settingRow(Settings::Key key) {
    const auto found = std::find_if(std::begin(kRows), std::end(kRows),
                                    [key](const SettingRow& row) { return row.key == key; });
    Q_ASSERT(found != std::end(kRows));
    return *found;
}

} // namespace ds
