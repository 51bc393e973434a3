#include "platform/StopRequests.h"

#include <mutex>
#include <windows.h>

namespace ds::platform {

namespace {

class ConsoleControlWatch;

// The system calls the handler on a thread of its own; the watch it reaches
// is guarded so that one being destroyed is never used.
std::mutex g_watchLock;
ConsoleControlWatch* g_watch = nullptr;

class ConsoleControlWatch final : public QObject {
public:
    explicit ConsoleControlWatch(std::function<void()> onStop)
        : m_onStop(std::move(onStop)) {
        {
            const std::lock_guard lock(g_watchLock);
            g_watch = this;
        }
        ::SetConsoleCtrlHandler(onControl, TRUE);
    }

    ~ConsoleControlWatch() override {
        ::SetConsoleCtrlHandler(onControl, FALSE);
        const std::lock_guard lock(g_watchLock);
        g_watch = nullptr;
    }

private:
    // Closing the console or logging off is left to the system: it ends the
    // process as soon as a handler returns anyway.
    static BOOL WINAPI onControl(DWORD event) {
        if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
            return FALSE;
        const std::lock_guard lock(g_watchLock);
        if (g_watch)
            QMetaObject::invokeMethod(g_watch, g_watch->m_onStop, Qt::QueuedConnection);
        return TRUE;
    }

    std::function<void()> m_onStop;
};

} // namespace

std::unique_ptr<QObject> watchStopRequests(std::function<void()> onStop) {
    return std::make_unique<ConsoleControlWatch>(std::move(onStop));
}

} // namespace ds::platform
