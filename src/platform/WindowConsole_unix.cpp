#include "platform/WindowConsole.h"

namespace ds::platform {

void releaseConsoleOfWindow() {}

} // namespace ds::platform
