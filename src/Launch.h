#pragma once

#include <QStringList>

namespace ds {

// Names the running application (for the settings store and the data
// folder) and gives it the program's version.
void describeApplication();

// Which application object the arguments call for, decided before any exists:
// a batch run, the generator, the help or version text and a refused line never
// need a display.
enum class LaunchMode { Window, Batch, Generate, Information };
LaunchMode launchMode(int argc, const char* const* argv);

// Prints the window's help or version (or the reason the line is refused) and
// returns the exit code; for LaunchMode::Information.
int printInformation(const QStringList& arguments);

} // namespace ds
