#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <memory>

class QSettings;

namespace ds {

// The program's few stored settings, over QSettings. Every key has its
// default in one table; a stored value that cannot be used reads as that
// default, so a hand-edited file never breaks the start.
class Settings final {
public:
    enum class Key {
        RegistrarAddress,
        RequestTimeLimitSeconds,
        RestartIntervalMs,
        ToolsUrl,
        SupportUrl,
        Language,
        Workers,
        ServerIntervalMs,
        RdapBootstrap,
        WhoisReferral,
        WhoisServers,
        WhoisServerIntervalMs,
    };

    // The user's own settings store.
    Settings();
    // An INI file of the caller's choosing; tests use a temporary one.
    explicit Settings(const QString& iniFile);
    ~Settings();

    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // "http://host[:port]", or empty when none (or no usable one) is stored.
    QString registrarAddress() const;
    int requestTimeLimitSeconds() const;
    int restartIntervalMs() const;
    QUrl toolsUrl() const;
    QUrl supportUrl() const;
    // One of interfaceLanguages(); "zh" unless English was chosen.
    QString language() const;
    int workers() const;
    int serverIntervalMs() const;
    // A file or address replacing IANA's list of RDAP servers; empty for none.
    QString rdapBootstrap() const;
    // "HOST[:PORT]" of the server asked which WHOIS server serves a TLD.
    QString whoisReferral() const;
    // "TLD=HOST[:PORT]" entries fixing a TLD's WHOIS server; unusable ones are left out.
    QStringList whoisServers() const;
    int whoisServerIntervalMs() const;

    void setValue(Key key, const QVariant& value);
    void sync();

    static QVariant defaultValue(Key key);

private:
    QVariant stored(Key key) const;
    int boundedInt(Key key) const;
    QUrl url(Key key) const;

    std::unique_ptr<QSettings> m_store;
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
