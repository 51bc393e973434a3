#pragma once

#include <QStringView>

#include <cstddef>
#include <unordered_set>

namespace ds {

// The names a batch run has seen, kept as two independent 64-bit hashes each
// rather than as text: a million names take tens of MiB instead of hundreds,
// and two different names share both hashes with odds far below one in 10^20.
class NameSet final {
public:
    // True when the name was not in the set yet.
    bool insert(QStringView name);
    bool contains(QStringView name) const;

private:
    struct Key {
        std::size_t first = 0;
        std::size_t second = 0;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const { return key.first; }
    };
    static Key keyOf(QStringView name);

    std::unordered_set<Key, KeyHash> m_keys;
};

} // namespace ds
