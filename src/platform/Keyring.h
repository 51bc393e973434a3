#pragma once

#include <QString>

#include <memory>

namespace ds {

// The system's store for secrets, unlocked with the person's login: the place
// for a password the program is asked to remember, instead of a settings file
// anyone who can read the home folder can read.
class Keyring {
public:
    struct Reading {
        // False when no keyring answered at all; problem says why.
        bool answered = false;
        // Empty when nothing is stored under the key.
        QString secret;
        QString problem;
    };

    virtual ~Keyring() = default;

    virtual Reading read(const QString& key) = 0;
    // False with the reason when the secret could not be stored.
    virtual bool store(const QString& key, const QString& secret, QString& problem) = 0;
    // True also when nothing was stored under the key.
    virtual bool remove(const QString& key, QString& problem) = 0;
};

// The keyring of this system (the Secret Service on Linux); one that never
// answers where the system has none the program can use.
std::unique_ptr<Keyring> systemKeyring();

} // namespace ds
