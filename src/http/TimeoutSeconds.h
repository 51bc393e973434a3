#pragma once

#include <QString>
#include <QtGlobal>

namespace ds {

// Turns a time-out given as numeric text ("10", " 2.5", "1e1") into whole
// seconds: a fraction rounds to the nearest whole number, halves to the even
// neighbour. Throws ds::Error: TypeMismatch for a text that is not a finite
// number, Overflow for a value outside the 32-bit signed range.
qint32 TimeoutSeconds(const QString& text);

} // namespace ds
