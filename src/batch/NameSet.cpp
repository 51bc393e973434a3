#include "batch/NameSet.h"

#include <QHashFunctions>

namespace ds {

bool NameSet::insert(QStringView name) {
    return m_keys.insert(keyOf(name)).second;
}

bool NameSet::contains(QStringView name) const {
    return m_keys.contains(keyOf(name));
}

NameSet::Key NameSet::keyOf(QStringView name) {
    return {qHash(name, std::size_t(0x9e3779b97f4a7c15ULL)),
            qHash(name, std::size_t(0xc2b2ae3d27d4eb4fULL))};
}

} // namespace ds
