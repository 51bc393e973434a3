#include "platform/ConsoleText.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace ds::platform {

namespace {

HANDLE handleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
}

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

// Wide characters need no agreement on a code page: a Chinese cmd.exe set to
// 936 and one set to UTF-8 show them alike.
bool writeToConsole(HANDLE console, const QString& text) {
    const auto* characters = reinterpret_cast<const wchar_t*>(text.utf16());
    DWORD left = static_cast<DWORD>(text.size());
    while (left > 0) {
        DWORD written = 0;
        if (!::WriteConsoleW(console, characters, left, &written, nullptr) || written == 0)
            return false;
        characters += written;
        left -= written;
    }
    return true;
}

} // namespace

bool writeText(std::FILE* stream, const QString& text) {
    const HANDLE handle = handleOf(stream);
    if (isConsole(handle)) {
        std::fflush(stream);
        return writeToConsole(handle, text);
    }
    // Binary, so that the C library adds no CR of its own before each LF: the
    // record formats choose their line endings themselves.
    ::_setmode(::_fileno(stream), _O_BINARY);
    const QByteArray bytes = text.toUtf8();
    const bool whole = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()),
                                   stream) == static_cast<std::size_t>(bytes.size());
    return std::fflush(stream) == 0 && whole;
}

// The progress line is left out: a console shows the escape sequence that
// clears a line only when a program switches on its terminal mode, and one
// that cannot would fill with escape characters.
bool redrawsLines(std::FILE*) {
    return false;
}

bool takesCharacters(std::FILE* stream) {
    return isConsole(handleOf(stream));
}

} // namespace ds::platform
