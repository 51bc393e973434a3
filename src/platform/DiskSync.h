#pragma once

namespace ds::platform {

// Asks the system to put what was written to the open file `handle` (a C
// library file descriptor, as QFile::handle() gives) on the disk, so that a
// power cut loses none of it.
void syncToDisk(int handle);

} // namespace ds::platform
