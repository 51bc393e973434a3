#include "platform/StandardInput.h"

#include <cstdio>

namespace ds::platform {

bool openStandardInput(QFile& file) {
    return file.open(stdin, QIODevice::ReadOnly);
}

} // namespace ds::platform
