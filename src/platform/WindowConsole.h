#pragma once

namespace ds::platform {

// The program is one executable for the window and for batch runs. On
// Windows it is built as a console program, so that a batch run started from
// cmd.exe writes to it and is waited for; started from Explorer or the Start
// menu, the window would bring an empty console along. This gives that
// console back when no other program shares it. Elsewhere it does nothing.
void releaseConsoleOfWindow();

} // namespace ds::platform
