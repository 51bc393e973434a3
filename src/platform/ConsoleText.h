#pragma once

#include <QString>

#include <cstdio>

namespace ds::platform {

// Writes `text` to standard output or standard error and flushes it. A
// console gets characters, shown right whatever code page it is set to; a
// file or pipe gets UTF-8. False when the text could not be written whole.
bool writeText(std::FILE* stream, const QString& text);

// True when `stream` is a terminal that redraws a line on "\r" and the
// escape sequence that clears the rest of it.
bool redrawsLines(std::FILE* stream);

// True when `stream` is a console that takes characters rather than bytes
// (Windows'): bytes written to it past writeText would show in its code page.
bool takesCharacters(std::FILE* stream);

} // namespace ds::platform
