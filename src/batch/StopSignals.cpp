#include "batch/StopSignals.h"

#include "platform/StopRequests.h"

namespace ds {

StopSignals::StopSignals(QObject* parent)
    : QObject(parent)
    , m_watch(platform::watchStopRequests([this] { Q_EMIT stopRequested(); })) {}

StopSignals::~StopSignals() = default;

} // namespace ds
