#include "config/LookupOptions.h"

#include "config/AppConfig.h"
#include "config/SettingsTable.h"
#include "lookup/ServerPace.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

using Key = Settings::Key;

QList<QCommandLineOption> optionsOf(bool window) {
    QList<QCommandLineOption> options;
    for (const SettingRow& row : settingRows()) {
        if (row.option.isEmpty() || row.windowOnly != window)
            continue;
        QString text = row.optionText;
        if (row.isNumber())
            text = u"%1 (%2-%3, default %4)."_s.arg(text)
                       .arg(row.minimum)
                       .arg(row.maximum)
                       .arg(row.fallback().toInt());
        options.append({QString(row.option), text, QString(row.valueName)});
    }
    return options;
}

QString refused(const SettingRow& row, const QString& value) {
    return u"--%1: \"%2\" is not %3"_s.arg(row.option, value,
                                           row.refusal.isEmpty() ? row.valueName : row.refusal);
}

// A whole number or a text taken as it is typed, once checked.
QString readPlainOption(const QCommandLineParser& parser, const SettingRow& row,
                        CommandLineOptions& options) {
    const QString value = parser.value(row.option);
    if (row.numberOption) {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || number < row.minimum || number > row.maximum)
            return u"--%1: \"%2\" is not %3-%4"_s.arg(row.option, value)
                .arg(row.minimum)
                .arg(row.maximum);
        options.*row.numberOption = number;
    } else if (row.textOption) {
        if (!row.usable(value.trimmed()))
            return refused(row, value);
        options.*row.textOption = value.trimmed();
    }
    return {};
}

// The options whose value is more than a number or a text.
QString readOption(const QCommandLineParser& parser, const SettingRow& row,
                   CommandLineOptions& options) {
    // A flag has no value to ask for: Qt would warn on standard error.
    const QString value = row.valueName.isEmpty() ? QString() : parser.value(row.option);
    switch (row.key) {
    case Key::LookupMethod:
        options.registries = true;
        break;
    case Key::RegistrarAddress:
        options.registrarAddress = normaliseRegistrarAddress(value);
        if (options.registrarAddress->isEmpty())
            return refused(row, value);
        break;
    case Key::ProxyType:
        options.proxy = parseProxyUrl(value);
        if (!options.proxy)
            return refused(row, value);
        break;
    case Key::WhoisServers:
    case Key::ServerPaces:
        for (const QString& entry : parser.values(row.option)) {
            if (row.key == Key::ServerPaces && !row.usable(entry.trimmed()))
                return u"--%1: \"%2\" %3"_s.arg(row.option, entry,
                                                parseServerPaceOverride(entry).reason());
            if (!row.usable(entry.trimmed()))
                return refused(row, entry);
            (row.key == Key::ServerPaces ? options.serverPaces : options.whoisServers)
                .append(entry.trimmed());
        }
        break;
    case Key::DnsEnabled:
        options.noDns = true;
        break;
    case Key::Details:
        options.details = true;
        break;
    case Key::ToolsUrl:
    case Key::SupportUrl:
        if (!row.usable(value))
            return refused(row, value);
        (row.key == Key::ToolsUrl ? options.toolsUrl : options.supportUrl) =
            urlFromUserInput(value);
        break;
    case Key::Language:
        if (!row.usable(value.trimmed()))
            return refused(row, value);
        options.language = value.trimmed().toLower();
        break;
    default:
        return readPlainOption(parser, row, options);
    }
    return {};
}

} // namespace

QList<QCommandLineOption> lookupOptions() {
    return optionsOf(false);
}

QList<QCommandLineOption> windowOptions() {
    return optionsOf(true);
}

QString readSettingOptions(const QCommandLineParser& parser, CommandLineOptions& options,
                           bool window) {
    for (const SettingRow& row : settingRows()) {
        if (row.option.isEmpty() || (row.windowOnly && !window) || !parser.isSet(row.option))
            continue;
        if (const QString trouble = readOption(parser, row, options); !trouble.isEmpty())
            return trouble;
        options.given.append(row.key);
    }
    if (options.registries && options.registrarAddress)
        return u"--registrar and --registries cannot both be given"_s;
    return {};
}

QStringList dialogOptionsGiven(const CommandLineOptions& options) {
    QStringList given;
    for (const Key key : options.given) {
        if (const SettingRow& row = settingRow(key); row.place != SettingPlace::Nowhere)
            given << u"--"_s + row.option;
    }
    return given;
}

} // namespace ds
