#include "platform/OutputSignals.h"

#include <csignal>

namespace ds {

void letFailedWritesReturnErrors() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace ds
