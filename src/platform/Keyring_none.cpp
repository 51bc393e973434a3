#include "platform/Keyring.h"

#include <QCoreApplication>

namespace ds {

namespace {

class NoKeyring final : public Keyring {
public:
    Reading read(const QString&) override { return {false, {}, unavailable()}; }
    bool store(const QString&, const QString&, QString& problem) override {
        problem = unavailable();
        return false;
    }
    bool remove(const QString&, QString&) override { return true; }

private:
    static QString unavailable() {
        return QCoreApplication::translate("Keyring", "这个系统上没有可用的密钥环");
    }
};

} // namespace

std::unique_ptr<Keyring> systemKeyring() {
    return std::make_unique<NoKeyring>();
}

} // namespace ds
