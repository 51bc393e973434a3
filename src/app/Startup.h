#pragma once

class QApplication;

namespace ds {

// Brings the program up inside an existing QApplication: fonts, command line,
// settings, the window with its skin; then runs the event loop. Returns the
// process exit code.
int runProgram(QApplication& app);

} // namespace ds
