#pragma once

#include <QObject>

#include <memory>

namespace ds {

// A person's request to stop the run (Ctrl+C, or SIGTERM where there is one)
// turned into a signal on the event loop, so that stopping runs as ordinary
// code rather than inside a signal handler.
class StopSignals final : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

Q_SIGNALS:
    void stopRequested();

private:
    std::unique_ptr<QObject> m_watch;
};

} // namespace ds
