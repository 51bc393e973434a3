#include "timer/QtTimerSource.h"

#include <QObject>
#include <QSet>
#include <QThread>
#include <QTimerEvent>

#include <limits>

namespace ds {

// The hidden object whose own timers stand behind the source's ids.
class QtTimerSource::Receiver final : public QObject {
public:
    explicit Receiver(QtTimerSource& source)
        : m_source(source) {}

    QSet<int> running;

protected:
    void timerEvent(QTimerEvent* event) override {
        if (running.contains(event->timerId())) {
            m_source.expired(static_cast<quint32>(event->timerId()));
        }
    }

private:
    QtTimerSource& m_source;
};

QtTimerSource::QtTimerSource()
    : m_receiver(std::make_unique<Receiver>(*this)) {}

QtTimerSource::~QtTimerSource() = default;

quint32 QtTimerSource::SetTimer(qint32 elapseMs) {
    // Qt would warn and refuse on its own; refusing here keeps the log quiet and
    // gives the caller the same answer, 0.
    if (elapseMs <= 0 || m_receiver->thread() != QThread::currentThread()) {
        return 0;
    }
    const int id = m_receiver->startTimer(elapseMs);
    if (id <= 0) {
        return 0;
    }
    m_receiver->running.insert(id);
    return static_cast<quint32>(id);
}

void QtTimerSource::KillTimer(quint32 id) {
    // Qt reuses ids after a kill and warns about unknown ones, so only ids this
    // source still runs are passed on.
    if (id == 0 || id > static_cast<quint32>(std::numeric_limits<int>::max()) ||
        m_receiver->thread() != QThread::currentThread()) {
        return;
    }
    const int qtId = static_cast<int>(id);
    if (m_receiver->running.remove(qtId)) {
        m_receiver->killTimer(qtId);
    }
}

} // namespace ds
