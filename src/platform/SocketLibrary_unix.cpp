#include "platform/SocketLibrary.h"

namespace ds::platform {

void startSocketLibrary() {}

} // namespace ds::platform
