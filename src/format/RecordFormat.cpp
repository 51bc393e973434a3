#include "format/RecordFormat.h"

namespace ds {

bool selects(RecordSelection selection, Verdict verdict) {
    switch (selection) {
    case RecordSelection::Free:
        return verdict == Verdict::Free;
    case RecordSelection::Taken:
        return verdict == Verdict::Taken || isDropping(verdict);
    case RecordSelection::Failed:
        return verdict == Verdict::Failed;
    case RecordSelection::Dropping:
        return isDropping(verdict);
    }
    return false;
}

} // namespace ds
