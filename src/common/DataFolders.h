#pragma once

#include <QString>
#include <QStringList>

namespace ds::DataFolders {

// The folders the program reads its files from (skin, help page), in the order
// they are tried: the program's own folder first, so that a file put beside
// the executable wins, then the shared data folder of an installed program,
// found relative to the executable so that any install prefix works.
QStringList candidates(const QString& programFolder);

// The first candidate folder holding `relativePath`; the program's folder when
// none does, so that a missing file is looked for where a person would put it.
QString holding(const QString& relativePath, const QString& programFolder);

// The same, for the running program.
QString holding(const QString& relativePath);

} // namespace ds::DataFolders
