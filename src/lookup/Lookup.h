#pragma once

#include "lookup/Answer.h"

#include <QObject>

#include <functional>

namespace ds {

// How one entry is asked about, whatever the method: one ask at a time, one
// record for it. Each worker of a run holds its own.
class Lookup : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const LookupRecord&)>;

    using QObject::QObject;

    // `done` runs once, always on a later turn of the event loop, unless the
    // ask is abandoned first. A new ask abandons a running one.
    virtual void ask(const QString& entry, Done done) = 0;
    virtual void abandon() = 0;
};

} // namespace ds
