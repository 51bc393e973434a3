#include "platform/DiskSync.h"

#include <io.h>

namespace ds::platform {

// _commit flushes the file's system buffers (FlushFileBuffers).
void syncToDisk(int handle) {
    ::_commit(handle);
}

} // namespace ds::platform
