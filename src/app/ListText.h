#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace ds::ListText {

// The list box's raw text (its lines apart by paragraph separators) is
// already what tidying would make of it: one name a line, no empty line, no
// other kind of line break, a break after the last. One pass, where tidying a
// list of millions takes several.
bool isTidy(QStringView raw);

// The raw text's lines, without the empty one after the last break, as UTF-8
// with a line break after each: the list part of a run's journal.
QByteArray journalLines(QString raw);

} // namespace ds::ListText
