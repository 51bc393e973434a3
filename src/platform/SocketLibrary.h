#pragma once

namespace ds::platform {

// Makes the system's socket library ready for code that opens sockets itself
// rather than through Qt, as c-ares does. Windows wants Winsock started in
// each process first; elsewhere there is nothing to do. Any number of calls.
void startSocketLibrary();

} // namespace ds::platform
