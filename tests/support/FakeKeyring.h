#pragma once

#include "platform/Keyring.h"

#include <QHash>

namespace ds::test {

// A keyring in memory; with `answers` off it plays a system where no keyring
// answers, so that no test needs a Secret Service or a session bus.
class FakeKeyring final : public Keyring {
public:
    bool answers = true;
    QHash<QString, QString> secrets;

    Reading read(const QString& key) override {
        if (!answers)
            return {false, {}, silence()};
        return {true, secrets.value(key), {}};
    }
    bool store(const QString& key, const QString& secret, QString& problem) override {
        if (!answers)
            problem = silence();
        else
            secrets.insert(key, secret);
        return answers;
    }
    bool remove(const QString& key, QString& problem) override {
        if (!answers)
            problem = silence();
        else
            secrets.remove(key);
        return answers;
    }

private:
    static QString silence() { return QStringLiteral("没有可用的系统密钥环"); }
};

} // namespace ds::test
