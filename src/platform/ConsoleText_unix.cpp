#include "platform/ConsoleText.h"

#include <unistd.h>

namespace ds::platform {

bool writeText(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const bool whole = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()),
                                   stream) == static_cast<std::size_t>(bytes.size());
    return std::fflush(stream) == 0 && whole;
}

bool redrawsLines(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

// A terminal here reads the bytes as UTF-8 itself.
bool takesCharacters(std::FILE*) {
    return false;
}

} // namespace ds::platform
