#pragma once

#include "lookup/Answer.h"

#include <QObject>

#include <functional>
#include <optional>

namespace ds {

// How one entry is asked about, whatever the method: one ask at a time, one
// record for it. Each worker of a run holds its own.
class Lookup : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const LookupRecord&)>;
    // Gives the entry once the lookup is ready to ask about it, or nullopt
    // when there is nothing to ask any more; then `done` never runs.
    using Entry = std::function<std::optional<QString>()>;

    using QObject::QObject;

    // `done` runs once, always on a later turn of the event loop, unless the
    // ask is abandoned first. A new ask abandons a running one.
    virtual void ask(Entry entry, Done done) = 0;
    virtual void abandon() = 0;
};

} // namespace ds
