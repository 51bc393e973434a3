#include "query/RunBoard.h"

namespace ds {

qsizetype RunBoard::lineCount() const {
    const qsizetype entries = entryCount();
    if (entries > 0 && entryAt(entries - 1).isEmpty()) {
        return entries - 1;
    }
    return entries;
}

} // namespace ds
