#pragma once

#include "config/AppConfig.h"
#include "config/Settings.h"

#include <QLatin1StringView>
#include <QString>
#include <QVariant>

#include <optional>
#include <span>

namespace ds {

// Where a setting shows in the settings dialog.
enum class SettingPlace { Nowhere, Lookup, Pacing, Proxy };

// One setting, declared once: the store, the command line, the resolved
// configuration and the settings dialog all read it from here, so a new
// setting is a new row (and the field of AppConfig it ends in).
struct SettingRow {
    Settings::Key key;
    // The key in the store.
    QLatin1StringView name;
    // The key an earlier version stored it under: read once, then moved to
    // `name`. Empty for a key never renamed.
    QLatin1StringView formerName = {};
    // What the setting is while nothing usable is stored.
    QVariant (*fallback)() = nullptr;
    // Whole numbers: the accepted range, ends included (minimum < maximum).
    int minimum = 0;
    int maximum = 0;
    // Texts and lists: whether a trimmed text (a list's entry) can be used.
    // Null for whole numbers and flags.
    bool (*usable)(const QString& text) = nullptr;

    // The command-line option, without "--"; empty for none.
    QLatin1StringView option = {};
    // Its value, as the help shows it ("MS", "HOST[:PORT]"); empty for a flag.
    QLatin1StringView valueName = {};
    // The help text; a whole number's gets its range and default added.
    QLatin1StringView optionText = {};
    // Why a refused value cannot be used, after "is not"; valueName when empty.
    QLatin1StringView refusal = {};
    // Only the window reads it (batch mode has no use for it).
    bool windowOnly = false;
    // Where the option's value goes when it is read here rather than by hand.
    std::optional<int> CommandLineOptions::*numberOption = nullptr;
    std::optional<QString> CommandLineOptions::*textOption = nullptr;
    // Where the option (or else the stored value) ends up, when it is taken as is.
    int AppConfig::*numberConfig = nullptr;
    QString AppConfig::*textConfig = nullptr;

    // In the dialog: the widget's object name, its caption and the unit or
    // hint beside it (untranslated, in the context "SettingsForm").
    SettingPlace place = SettingPlace::Nowhere;
    QLatin1StringView fieldName = {};
    const char* label = nullptr;
    const char* unit = nullptr;

    bool isNumber() const { return minimum < maximum; }
};

// Every setting, in the order the dialog and the help list them.
std::span<const SettingRow> settingRows();
const SettingRow& settingRow(Settings::Key key);

} // namespace ds
