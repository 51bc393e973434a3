#pragma once

#include "generate/NameCount.h"
#include "generate/Pattern.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ds {

// Everything a list is made from, as the window's dialog and `domainsieve
// gen` take it.
struct GeneratorRequest {
    QString pattern;
    // ".com,.net" or a named set; empty when the pattern ends in its own TLD.
    QString tlds;
    QString exclusions;
    // Words put before and after what the pattern makes; empty lists for none.
    QStringList prefixes;
    QStringList suffixes;
};

// Makes the names of a request one at a time, in a fixed order (prefix,
// then the pattern's parts left to right, then suffix, the TLD changing
// fastest), holding only its position: a list of any length costs the same
// memory. Equal requests give equal names in equal order.
class NameGenerator final {
public:
    // Nullopt with a reason a person can act on: a fault in the pattern (with
    // its position), a TLD, an exclusion, a word, or more names than the limit.
    static std::optional<NameGenerator> create(const GeneratorRequest& request, QString* error);

    // Counted before any name is made; not exact when shapes are excluded.
    const NameCount& count() const { return m_count; }
    // The next name; false when all are made.
    bool next(QString& name);
    // Counts by making every name, for a count that is not exact.
    quint64 countByMaking() const;

private:
    struct Slot {
        PatternPart part;
        int firstDigit = 0;
        bool isTld = false;
    };

    NameGenerator() = default;
    void addSlot(PatternPart part, bool isTld = false);
    bool advance();
    void render(QString& name) const;

    QList<Slot> m_slots;
    Exclusions m_exclusions;
    std::vector<int> m_digits;
    std::vector<int> m_radices;
    // A product over the slots, so it starts at one.
    NameCount m_count{.value = 1};
    bool m_started = false;
    bool m_done = false;
};

} // namespace ds
