#pragma once

#include "lookup/ServiceQueue.h"

#include <QList>
#include <QObject>

#include <functional>

namespace ds {

// A server a run is asking: its names waiting or asked now, and how fast it
// is asked at the moment (0 when its pace does not adapt).
struct ServerLoad {
    QString server;
    qsizetype names = 0;
    double requestsPerSecond = 0;
};

// Decides which line of a run is asked when. The run's engine owns one and
// keeps the run's state; the scheduler ends every line through the run's
// ledger and says when none is left.
class RunScheduler : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Asks the lines from `firstEntry` on; `finished` runs once every line has
    // ended, possibly inside begin() when there is none.
    virtual void begin(qsizetype firstEntry, std::function<void()> finished) = 0;
    // While paused, no new request goes out; those on their way still end.
    virtual void setPaused(bool paused) = 0;
    // Drops everything on its way; nothing more ends.
    virtual void abandon() = 0;
    // Servers holding the run's names back right now.
    virtual QList<ServiceQueue::Hold> holds() const { return {}; }
    // The `count` servers with the most names waiting or asked, most first.
    virtual QList<ServerLoad> busiestServers(int /*count*/) const { return {}; }

Q_SIGNALS:
    // Something the user should hear about, e.g. a worker that could not start.
    void problem(const QString& message);
};

} // namespace ds
