#include "platform/StopRequests.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace ds::platform {

namespace {

int g_pipe[2] = {-1, -1};

// The handler only writes a byte to a pipe; the event loop reads it.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
}

class SignalPipeWatch final : public QObject {
public:
    explicit SignalPipeWatch(std::function<void()> onStop) {
        if (::pipe(g_pipe) != 0)
            return;
        ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
        m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, [onStop = std::move(onStop)] {
            char byte = 0;
            [[maybe_unused]] const auto read = ::read(g_pipe[0], &byte, 1);
            onStop();
        });
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, nullptr);
        ::sigaction(SIGTERM, &action, nullptr);
    }

    ~SignalPipeWatch() override {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        m_notifier.reset();
        ::close(g_pipe[0]);
        ::close(g_pipe[1]);
        g_pipe[0] = g_pipe[1] = -1;
    }

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace

std::unique_ptr<QObject> watchStopRequests(std::function<void()> onStop) {
    return std::make_unique<SignalPipeWatch>(std::move(onStop));
}

} // namespace ds::platform
