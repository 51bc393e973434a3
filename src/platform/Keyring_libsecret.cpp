#include "platform/Keyring.h"

#include <QCoreApplication>

#include <libsecret/secret.h>

namespace ds {

namespace {

// One attribute, "key", tells the program's secrets apart; the schema's name
// keeps them apart from every other program's.
const SecretSchema* schema() {
    static const SecretSchema schema = {
        "io.github.domainsieve.Secret",
        SECRET_SCHEMA_NONE,
        {{"key", SECRET_SCHEMA_ATTRIBUTE_STRING}},
        0,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    };
    return &schema;
}

// Takes the error's message and frees it.
QString problemOf(GError* error) {
    const QString text = QCoreApplication::translate("Keyring", "系统密钥环没有应答（%1）")
                             .arg(QString::fromUtf8(error->message));
    g_error_free(error);
    return text;
}

class SecretServiceKeyring final : public Keyring {
public:
    Reading read(const QString& key) override {
        GError* error = nullptr;
        const QByteArray name = key.toUtf8();
        gchar* secret = secret_password_lookup_sync(schema(), nullptr, &error, "key",
                                                    name.constData(), static_cast<char*>(nullptr));
        if (error)
            return {false, {}, problemOf(error)};
        Reading reading{true, QString::fromUtf8(secret), {}};
        secret_password_free(secret);
        return reading;
    }

    bool store(const QString& key, const QString& secret, QString& problem) override {
        GError* error = nullptr;
        const QByteArray name = key.toUtf8();
        const QByteArray label = "DomainSieve: " + name;
        const QByteArray bytes = secret.toUtf8();
        secret_password_store_sync(schema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                   bytes.constData(), nullptr, &error, "key", name.constData(),
                                   static_cast<char*>(nullptr));
        if (!error)
            return true;
        problem = problemOf(error);
        return false;
    }

    bool remove(const QString& key, QString& problem) override {
        GError* error = nullptr;
        const QByteArray name = key.toUtf8();
        secret_password_clear_sync(schema(), nullptr, &error, "key", name.constData(),
                                   static_cast<char*>(nullptr));
        if (!error)
            return true;
        problem = problemOf(error);
        return false;
    }
};

} // namespace

std::unique_ptr<Keyring> systemKeyring() {
    return std::make_unique<SecretServiceKeyring>();
}

} // namespace ds
