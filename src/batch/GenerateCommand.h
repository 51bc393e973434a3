#pragma once

#include <QStringList>

namespace ds {

// `domainsieve gen PATTERN ...` inside an existing QCoreApplication: writes
// the names a pattern makes to standard output as it makes them, one per
// line, in constant memory, or with --count only how many there are. Says
// the count (or why the pattern cannot be used) on standard error. Exit
// code 0, or 2 for a usage, pattern or file error, 1 when writing failed.
int runGenerate(const QStringList& arguments);

} // namespace ds
