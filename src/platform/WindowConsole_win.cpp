#include "platform/WindowConsole.h"

#include <windows.h>

namespace ds::platform {

void releaseConsoleOfWindow() {
    // A console shared with cmd.exe stays: the window was started from it.
    DWORD processes[2] = {};
    if (::GetConsoleProcessList(processes, 2) == 1)
        ::FreeConsole();
}

} // namespace ds::platform
