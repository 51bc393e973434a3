#include "platform/StandardInput.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace ds::platform {

// Through the descriptor rather than the C library's stream, which reports
// the end of a pipe as an error (EINVAL) instead of its end. Binary, so that
// the reader sees line endings as they are, and a Ctrl+Z byte is not taken
// for the end of the list.
bool openStandardInput(QFile& file) {
    const int descriptor = ::_fileno(stdin);
    ::_setmode(descriptor, _O_BINARY);
    return file.open(descriptor, QIODevice::ReadOnly);
}

} // namespace ds::platform
