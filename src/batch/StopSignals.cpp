#include "batch/StopSignals.h"

#include <csignal>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace ds {

namespace {

#ifdef Q_OS_UNIX
int g_pipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
}
#endif

} // namespace

StopSignals::StopSignals(QObject* parent)
    : QObject(parent) {
#ifdef Q_OS_UNIX
    if (::pipe(g_pipe) != 0)
        return;
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &StopSignals::onReadable);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
#endif
}

StopSignals::~StopSignals() {
#ifdef Q_OS_UNIX
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
#endif
}

void StopSignals::onReadable() {
#ifdef Q_OS_UNIX
    char byte = 0;
    [[maybe_unused]] const auto read = ::read(g_pipe[0], &byte, 1);
#endif
    Q_EMIT stopRequested();
}

} // namespace ds
