#pragma once

#include "config/Settings.h"
#include "config/SettingsTable.h"
#include "http/ProxyConfig.h"

#include <QCoreApplication>
#include <QList>
#include <QMap>
#include <QString>

namespace ds {

// The settings dialog's fields as a person types them, and what becomes of
// them: loaded from the store, checked, written back. The dialog only wires
// widgets to this.
struct SettingsForm {
    Q_DECLARE_TR_FUNCTIONS(SettingsForm)

public:
    // A field is named by the setting it is stored as; the table of settings
    // gives its widget's name, caption and unit.
    using Field = Settings::Key;

    // The whole-number fields of the pacing group, in the dialog's order.
    static QList<const SettingRow*> numberFields();

    // One row of the server pace table, as typed: "rdap.example.test[:port]",
    // requests per second and requests in flight (blank for one).
    struct ServerPaceRow {
        QString server;
        QString rate;
        QString inFlight;

        bool isBlank() const;
        // "HOST[:PORT]=RATE[/INFLIGHT]", as stored.
        QString text() const;
        static ServerPaceRow fromText(const QString& text);
    };
    // What is wrong with a row, in words for the person; empty when it can be
    // saved or is blank.
    static QString serverPaceProblem(const ServerPaceRow& row);

    LookupMethod method = LookupMethod::Registries;
    QString registrarAddress;
    bool dnsEnabled = true;
    QString dnsServer;
    // Every name to its registry for its details, which leaves the DNS step out.
    bool details = false;
    // The text of each number field, keyed by its Field.
    QMap<Field, QString> numbers;
    ProxyConfig::Type proxyType = ProxyConfig::Type::None;
    QString proxyHost;
    QString proxyPort;
    QString proxyUser;
    QString proxyPassword;
    bool rememberPassword = false;
    QList<ServerPaceRow> serverPaces;

    static SettingsForm load(const Settings& settings);
    static SettingsForm defaults();

    // Whether the field counts as things stand: the other method's fields, a
    // switched-off DNS step's and those of a proxy that is not our own do not.
    bool inUse(Field field) const;
    // What is wrong with each field that cannot be saved, in words for the
    // person; empty when everything can be.
    QMap<Field, QString> problems() const;
    // Writes every field, and the password into the keyring when it is to be
    // remembered; writes nothing and returns false while there are problems.
    // keyringProblem tells why a password to remember could not be.
    bool save(Settings& settings, QString* keyringProblem = nullptr) const;
    // The proxy as the fields describe it, the password included.
    ProxyConfig proxy() const;
};

// "个（1–32）": the unit and range shown beside a number field, or the
// hint beside another.
QString fieldHint(const SettingRow& row);

} // namespace ds
