#pragma once

#include "http/ProxyConfig.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <memory>
#include <utility>

class QSettings;

namespace ds {
class Keyring;
}

namespace ds {

// Where names are looked up: the public registries (RDAP and WHOIS), or the
// registrar availability service at the stored address.
enum class LookupMethod { Registries, Registrar };

// The program's few stored settings, over QSettings. Every key has its
// default in one table; a stored value that cannot be used reads as that
// default, so a hand-edited file never breaks the start.
class Settings final {
public:
    enum class Key {
        LookupMethod,
        RegistrarAddress,
        RequestTimeLimitSeconds,
        Workers,
        RestartIntervalMs,
        // The rest each RDAP server gets between two requests.
        ServerIntervalMs,
        WhoisServerIntervalMs,
        ProxyType,
        ProxyHost,
        ProxyPort,
        ProxyUser,
        ProxyPassword,
        ProxyRememberPassword,
        ToolsUrl,
        SupportUrl,
        Language,
        RdapBootstrap,
        WhoisReferral,
        WhoisServers,
        // "HOST[:PORT]=RATE[/INFLIGHT]" ceilings for particular servers.
        ServerPaces,
        DnsEnabled,
        DnsServer,
        DnsParallel,
        // The registries' requests in flight at once, across all servers.
        RegistryRequestsInFlight,
        // Minutes a held server is waited for before its names end as failed.
        LongestWaitMinutes,
        Details,
    };

    // The user's own settings store.
    Settings();
    // An INI file of the caller's choosing; tests use a temporary one.
    explicit Settings(const QString& iniFile);
    ~Settings();

    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Files from before the choice existed hold only the registrar address:
    // with one stored the registrar is meant, without one the registries.
    LookupMethod lookupMethod() const;
    // "http://host[:port]", or empty when none (or no usable one) is stored.
    QString registrarAddress() const;
    int requestTimeLimitSeconds() const;
    int workers() const;
    int restartIntervalMs() const;
    int serverIntervalMs() const;
    int whoisServerIntervalMs() const;
    // As stored, the password included when it was remembered. A proxy with
    // no host reads as none; a missing port as the type's usual one.
    ProxyConfig proxy() const;
    bool rememberPassword() const;

    // The keyring a remembered proxy password lives in; the settings file
    // never holds one. Without a keyring none is remembered.
    void useKeyring(Keyring* keyring) { m_keyring = keyring; }
    // A password an older version wrote into the file goes into the keyring
    // and out of the file; it stays where it is while no keyring answers.
    void movePasswordToKeyring();
    // False, with the reason, when no keyring took the password.
    bool storePassword(const QString& password, QString& problem);
    void forgetPassword();
    // Why a password cannot be remembered; empty when the keyring answers.
    QString keyringProblem() const;
    // Any integer key, within its range or else its default.
    int integer(Key key) const;
    QUrl toolsUrl() const;
    QUrl supportUrl() const;
    // One of interfaceLanguages(); "zh" unless English was chosen.
    QString language() const;
    // A file or address replacing IANA's list of RDAP servers; empty for none.
    QString rdapBootstrap() const;
    // "HOST[:PORT]" of the server asked which WHOIS server serves a TLD.
    QString whoisReferral() const;
    // "TLD=HOST[:PORT]" entries fixing a TLD's WHOIS server; unusable ones are left out.
    QStringList whoisServers() const;
    // "HOST[:PORT]=RATE[/INFLIGHT]" entries setting a server's pace; unusable ones are left out.
    QStringList serverPaces() const;
    // Whether names go to the DNS before their registry.
    bool dnsEnabled() const;
    // The resolver the DNS step asks, "HOST[:PORT]" with HOST an IP address;
    // empty for the system's own, as is a stored value it could not use.
    QString dnsServer() const;
    // How many names the DNS step asks about at once.
    int dnsParallel() const;
    // Whether every name goes to its registry for its registrar, dates and
    // status, also when the DNS would show it taken.
    bool details() const;

    void setValue(Key key, const QVariant& value);
    void remove(Key key);
    void sync();

    static QVariant defaultValue(Key key);
    // The accepted range of an integer key, ends included.
    static std::pair<int, int> range(Key key);

private:
    QVariant stored(Key key) const;
    QString rememberedPassword() const;
    QUrl url(Key key) const;

    std::unique_ptr<QSettings> m_store;
    Keyring* m_keyring = nullptr;
};

// The registrar address in the one form the rest of the program uses,
// "http://host" or "http://host:port". A bare host or host:port means http;
// any other scheme, a path, user info, a query or a malformed address gives
// the empty string.
QString normaliseRegistrarAddress(const QString& address);

// A URL typed by a person: an address with a scheme, or a local file path.
// Invalid or empty input gives an invalid QUrl.
QUrl urlFromUserInput(const QString& text);

// The languages the window speaks: its own Chinese ("zh") and English ("en").
QStringList interfaceLanguages();

// The help page shipped with the program (beside it, or in the data folder of
// an installed copy) and its support section: the defaults of the two
// addresses, which work without a network.
QUrl helpPageUrl();
QUrl helpSupportUrl();

} // namespace ds
