// The part of the settings that lives in the system's keyring: the proxy
// password, which a settings file would hold as plain text.
#include "config/Settings.h"
#include "platform/Keyring.h"

#include <QCoreApplication>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

const QString kPasswordKey = u"proxy/password"_s;

QString noKeyring() {
    return QCoreApplication::translate("Settings", "没有可用的系统密钥环");
}

} // namespace

QString Settings::rememberedPassword() const {
    // One an older version wrote, not yet moved, still counts.
    const QString inFile = stored(Key::ProxyPassword).toString();
    if (!inFile.isEmpty() || !flag(Key::ProxyRememberPassword) || !m_keyring)
        return inFile;
    return m_keyring->read(kPasswordKey).secret;
}

void Settings::movePasswordToKeyring() {
    const QString inFile = stored(Key::ProxyPassword).toString();
    QString problem;
    if (inFile.isEmpty() || !storePassword(inFile, problem))
        return;
    remove(Key::ProxyPassword);
    sync();
}

bool Settings::storePassword(const QString& password, QString& problem) {
    if (!m_keyring) {
        problem = noKeyring();
        return false;
    }
    if (!m_keyring->store(kPasswordKey, password, problem))
        return false;
    remove(Key::ProxyPassword);
    return true;
}

void Settings::forgetPassword() {
    remove(Key::ProxyPassword);
    QString problem;
    if (m_keyring)
        m_keyring->remove(kPasswordKey, problem);
}

QString Settings::keyringProblem() const {
    if (!m_keyring)
        return noKeyring();
    return m_keyring->read(kPasswordKey).problem;
}

} // namespace ds
