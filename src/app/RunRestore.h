#pragma once

namespace ds {

class Form1;

// At start-up, a journal left unfinished (the program was killed, crashed or
// closed during a run) makes the window ask whether to restore its results and
// go on with the rest. No keeps the journal aside, renamed, and starts fresh.
void offerUnfinishedRun(Form1& window);

} // namespace ds
