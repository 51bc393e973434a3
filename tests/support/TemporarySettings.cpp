#include "TemporarySettings.h"

using namespace Qt::StringLiterals;

namespace ds::test {

TemporarySettings::TemporarySettings()
    : m_settings(std::make_unique<Settings>(fileName())) {
    m_settings->useKeyring(&m_keyring);
}

QString TemporarySettings::fileName() const {
    return m_dir.filePath(u"domainsieve.ini"_s);
}

std::unique_ptr<Settings> TemporarySettings::reopen() {
    m_settings->sync();
    auto settings = std::make_unique<Settings>(fileName());
    settings->useKeyring(&m_keyring);
    return settings;
}

} // namespace ds::test
