#include "platform/DiskSync.h"

#include <unistd.h>

namespace ds::platform {

void syncToDisk(int handle) {
    ::fdatasync(handle);
}

} // namespace ds::platform
