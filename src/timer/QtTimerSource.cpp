#include "timer/QtTimerSource.h"

#include <QObject>
#include <QSet>
#include <QThread>
#include <QTimerEvent>

#include <limits>

namespace ds {

// The hidden object whose own timers stand behind the source's ids. It
// remembers which ids it runs because Qt warns about killing any other.
class QtTimerSource::Receiver final : public QObject {
public:
    explicit Receiver(QtTimerSource& source)
        : m_source(source) {}

    bool onOwnThread() const { return thread() == QThread::currentThread(); }

    int start(int elapseMs) {
        const int id = startTimer(elapseMs);
        if (id > 0) {
            m_running.insert(id);
        }
        return id;
    }

    void kill(int id) {
        if (m_running.remove(id)) {
            killTimer(id);
        }
    }

protected:
    void timerEvent(QTimerEvent* event) override {
        if (m_running.contains(event->timerId())) {
            m_source.expired(static_cast<quint32>(event->timerId()));
        }
    }

private:
    QtTimerSource& m_source;
    QSet<int> m_running;
};

QtTimerSource::QtTimerSource()
    : m_receiver(std::make_unique<Receiver>(*this)) {}

QtTimerSource::~QtTimerSource() = default;

quint32 QtTimerSource::SetTimer(qint32 elapseMs) {
    // Qt would warn and refuse on its own; refusing here keeps the log quiet and
    // gives the caller the same answer, 0.
    if (elapseMs <= 0 || !m_receiver->onOwnThread()) {
        return 0;
    }
    const int id = m_receiver->start(elapseMs);
    return id > 0 ? static_cast<quint32>(id) : 0;
}

void QtTimerSource::KillTimer(quint32 id) {
    if (id > 0 && id <= static_cast<quint32>(std::numeric_limits<int>::max()) &&
        m_receiver->onOwnThread()) {
        m_receiver->kill(static_cast<int>(id));
    }
}

} // namespace ds
