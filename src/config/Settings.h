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

// The program's stored settings, over QSettings. Every key has its default
// and its measure in one table; a stored value that cannot be used reads as
// that default, so a hand-edited file never breaks the start.
class Settings final {
public:
    // One per row of the settings table (config/SettingsTable.cpp), which
    // says what each is, where it is stored and where else it shows.
    enum class Key {
        LookupMethod,
        RegistrarAddress,
        RequestTimeLimitSeconds,
        Workers,
        RestartIntervalMs,
        RegistryServerIntervalMs,
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
        ServerPaces,
        DnsEnabled,
        DnsServer,
        DnsParallel,
        RegistryRequestsInFlight,
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
    // As stored, the password included when it was remembered. A proxy with
    // no host reads as none; a missing port as the type's usual one.
    ProxyConfig proxy() const;

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
    // A whole number within its range, or else its default.
    int integer(Key key) const;
    bool flag(Key key) const;
    // Trimmed, and usable by the table's measure, or else the default.
    QString text(Key key) const;
    // The usable entries, trimmed; the others are left out.
    QStringList list(Key key) const;
    // An address or a local file, or else the default.
    QUrl url(Key key) const;
    // One of interfaceLanguages(); "zh" unless English was chosen.
    QString language() const;

    void setValue(Key key, const QVariant& value);
    void remove(Key key);
    void sync();

    static QVariant defaultValue(Key key);
    // The accepted range of an integer key, ends included.
    static std::pair<int, int> range(Key key);

private:
    QVariant stored(Key key) const;
    void adoptFormerNames();
    QString rememberedPassword() const;

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
