#include "platform/SocketLibrary.h"

#include <winsock2.h>

namespace ds::platform {

// Started once and left running: Windows closes it with the process.
void startSocketLibrary() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    static_cast<void>(started);
}

} // namespace ds::platform
