#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

namespace ds {

class TimerSource;
class XTimer;

// The table of running XTimer objects and the single expiry callback that
// routes each source timer back to the object that started it. The table holds
// a strong reference to every running timer, so a running timer outlives the
// code that created it. It must outlive every XTimer made on it.
class XTimerSupport final {
public:
    // The slot count is a 16-bit signed quantity growing by 5: 32,765 is its last step.
    static constexpr qint16 MaxTimerSlots = 32765;
    static constexpr qint16 SlotGrowth = 5;

    // `slotLimit` lets tests reach the overflow of the table without thousands of timers.
    explicit XTimerSupport(TimerSource& source, qint16 slotLimit = MaxTimerSlots);
    ~XTimerSupport();
    XTimerSupport(const XTimerSupport&) = delete;
    XTimerSupport& operator=(const XTimerSupport&) = delete;

    // The program-wide table over a QtTimerSource; first call on the UI thread
    // once the application exists. It is destroyed with the application; a
    // later call makes a new one.
    static XTimerSupport& instance();

    // Starts a source timer for `timer` and records it; returns its id. Throws ds::Error.
    quint32 ArmTimer(const std::shared_ptr<XTimer>& timer, qint32 interval);
    // Stops the source timer that `timer` started, if the table still holds it for `timer`.
    void DisarmTimer(XTimer& timer);
    // The expiry callback of the source.
    void SysTimerProc(quint32 id);

    TimerSource& source() const { return m_source; }

    // Read-only inspection; slot numbers run from 1 to TimerSlotCount().
    qint16 TimerSlotCount() const { return static_cast<qint16>(m_slots.size()); }
    const XTimer* SlotOwner(qint16 slot) const;
    quint32 SlotSysId(qint16 slot) const;
    bool SlotInTick(qint16 slot) const;

private:
    struct TimerSlot {
        std::shared_ptr<XTimer> Owner;
        quint32 SysId = 0;
        bool InTick = false;
    };

    const TimerSlot& slotAt(qint16 slot) const;
    std::size_t takeFreeSlot();
    void dropAfterFailedTick(std::size_t index, quint32 id, const XTimer* owner);

    TimerSource& m_source;
    qint16 m_slotLimit;
    std::vector<TimerSlot> m_slots;
};

} // namespace ds
