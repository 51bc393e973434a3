#include "TemporarySettings.h"

using namespace Qt::StringLiterals;

namespace ds::test {

TemporarySettings::TemporarySettings()
    : m_settings(std::make_unique<Settings>(fileName())) {}

QString TemporarySettings::fileName() const {
    return m_dir.filePath(u"domainsieve.ini"_s);
}

std::unique_ptr<Settings> TemporarySettings::reopen() {
    m_settings->sync();
    return std::make_unique<Settings>(fileName());
}

} // namespace ds::test
