#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;

namespace ds {

struct CommandLineOptions;

// The options of the settings table (config/SettingsTable.cpp): each sets
// for one start what the store (and mostly the settings dialog) sets for
// good. The lookup options are shared by the window and batch mode; the
// window adds its own (the two addresses and the language).
QList<QCommandLineOption> lookupOptions();
QList<QCommandLineOption> windowOptions();
// Reads the lookup options, and the window's too when `window`, into
// `options`; the reason when a value cannot be used.
QString readSettingOptions(const QCommandLineParser& parser, CommandLineOptions& options,
                           bool window);
// The options given that win over a setting of the dialog, e.g. "--proxy".
QStringList dialogOptionsGiven(const CommandLineOptions& options);

} // namespace ds
