#pragma once

#include "config/Settings.h"

#include <QTemporaryDir>

#include <memory>

namespace ds::test {

// A settings store in a fresh temporary folder, so that no test reads or
// writes the user's own settings. The folder goes when this object goes.
class TemporarySettings final {
public:
    TemporarySettings();

    Settings& settings() { return *m_settings; }
    QString fileName() const;
    // A second store over the same file, as the next start would read it.
    std::unique_ptr<Settings> reopen();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
};

} // namespace ds::test
