#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace ds {

// SIGINT and SIGTERM turned into a signal on the event loop: the handler only
// writes a byte to a pipe, and the loop reads it, so that stopping runs as
// ordinary code rather than inside a signal handler.
class StopSignals final : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

Q_SIGNALS:
    void stopRequested();

private:
    void onReadable();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace ds
