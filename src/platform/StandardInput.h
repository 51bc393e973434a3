#pragma once

#include <QFile>

namespace ds::platform {

// Opens standard input in `file` for reading bytes as they come, so that a
// list piped in ends where its writer stopped rather than in a read error.
bool openStandardInput(QFile& file);

} // namespace ds::platform
