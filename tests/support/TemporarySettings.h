#pragma once

#include "FakeKeyring.h"
#include "config/Settings.h"

#include <QTemporaryDir>

#include <memory>

namespace ds::test {

// A settings store in a fresh temporary folder with a keyring in memory, so
// that no test reads or writes the user's own settings or secrets. The folder
// goes when this object goes.
class TemporarySettings final {
public:
    TemporarySettings();

    Settings& settings() { return *m_settings; }
    FakeKeyring& keyring() { return m_keyring; }
    QString fileName() const;
    // A second store over the same file, as the next start would read it.
    std::unique_ptr<Settings> reopen();

private:
    QTemporaryDir m_dir;
    FakeKeyring m_keyring;
    std::unique_ptr<Settings> m_settings;
};

} // namespace ds::test
