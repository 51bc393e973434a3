#include "timer/XTimerSupport.h"

#include "common/Error.h"
#include "timer/QtTimerSource.h"
#include "timer/XTimer.h"

#include <QCoreApplication>

#include <utility>

namespace ds {

XTimerSupport::XTimerSupport(TimerSource& source, qint16 slotLimit)
    : m_source(source)
    , m_slotLimit(slotLimit) {
    m_source.setExpiryHandler([this](quint32 id) { SysTimerProc(id); });
}

XTimerSupport::~XTimerSupport() {
    m_source.setExpiryHandler({});
    // Releasing the references lets each timer that nobody else holds end its
    // own source timer as it is destroyed.
    for (TimerSlot& slot : m_slots) {
        slot.SysId = 0;
        const std::shared_ptr<XTimer> owner = std::move(slot.Owner);
    }
}

namespace {

// The program-wide table with the source it runs on. Its hidden timer object
// belongs to the application's event loop, so it goes while the application
// is being destroyed, not after it as a static would.
struct ProgramTimers {
    QtTimerSource source;
    XTimerSupport support{source};
};

ProgramTimers* programTimers = nullptr;

void dropProgramTimers() {
    delete std::exchange(programTimers, nullptr);
}

} // namespace

XTimerSupport& XTimerSupport::instance() {
    if (!programTimers) {
        programTimers = new ProgramTimers;
        qAddPostRoutine(dropProgramTimers);
    }
    return programTimers->support;
}

quint32 XTimerSupport::ArmTimer(const std::shared_ptr<XTimer>& timer, qint32 interval) {
    const quint32 id = m_source.SetTimer(interval);
    if (id == 0) {
        throw Error(ErrorNumber::NoTimerAvailable,
                    QCoreApplication::translate("XTimerSupport", "没有可用的计时器"));
    }
    std::size_t index = 0;
    try {
        index = takeFreeSlot();
    } catch (...) {
        // A timer that stands in no slot must not run at all.
        m_source.KillTimer(id);
        throw;
    }
    TimerSlot& slot = m_slots[index];
    slot.Owner = timer;
    slot.SysId = id;
    slot.InTick = false;
    return id;
}

void XTimerSupport::DisarmTimer(XTimer& timer) {
    const quint32 id = timer.SysTimerId();
    if (id == 0) {
        return;
    }
    // The owner must match as well: once an id is dead the source may hand it to
    // another timer, and that one is not this object's to stop.
    for (TimerSlot& slot : m_slots) {
        if (slot.SysId == id && slot.Owner.get() == &timer) {
            m_source.KillTimer(id);
            slot.SysId = 0;
            const std::shared_ptr<XTimer> owner = std::move(slot.Owner);
            return;
        }
    }
}

void XTimerSupport::SysTimerProc(quint32 id) {
    // Free slots hold id 0, so an expiry under 0 would be routed to a slot nobody owns.
    if (id == 0) {
        return;
    }
    const std::size_t end = m_slots.size();
    for (std::size_t i = 0; i < end; ++i) {
        if (m_slots[i].SysId != id) {
            continue;
        }
        if (m_slots[i].InTick) {
            return;
        }
        m_slots[i].InTick = true;
        // Tick handlers may grow the table: slot i is looked up afresh by number
        // after the call, and the owner is held here so it outlives the call.
        const std::shared_ptr<XTimer> owner = m_slots[i].Owner;
        bool failed = false;
        try {
            owner->RaiseTick();
        } catch (...) {
            failed = true;
        }
        if (failed) {
            dropAfterFailedTick(i, id, owner.get());
        }
        m_slots[i].InTick = false;
        return;
    }
    m_source.KillTimer(id);
}

const XTimer* XTimerSupport::SlotOwner(qint16 slot) const {
    return slotAt(slot).Owner.get();
}

quint32 XTimerSupport::SlotSysId(qint16 slot) const {
    return slotAt(slot).SysId;
}

bool XTimerSupport::SlotInTick(qint16 slot) const {
    return slotAt(slot).InTick;
}

const XTimerSupport::TimerSlot& XTimerSupport::slotAt(qint16 slot) const {
    Q_ASSERT(slot >= 1 && slot <= TimerSlotCount());
    return m_slots.at(static_cast<std::size_t>(slot - 1));
}

std::size_t XTimerSupport::takeFreeSlot() {
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i].SysId == 0) {
            return i;
        }
    }
    const std::size_t first = m_slots.size();
    if (static_cast<qint32>(first) + SlotGrowth > m_slotLimit) {
        throw Error(ErrorNumber::Overflow, QCoreApplication::translate("XTimerSupport", "溢出"));
    }
    m_slots.resize(first + SlotGrowth);
    return first;
}

void XTimerSupport::dropAfterFailedTick(std::size_t index, quint32 id, const XTimer* owner) {
    TimerSlot& slot = m_slots[index];
    // If the failing handler already stopped its timer, the slot may now hold a
    // newer timer, perhaps even under the same reused id: leave that one alone.
    if (slot.SysId != id || slot.Owner.get() != owner) {
        return;
    }
    m_source.KillTimer(id);
    slot.SysId = 0;
    const std::shared_ptr<XTimer> dropped = std::move(slot.Owner);
    dropped->forgetSysTimer(id);
}

} // namespace ds
