#pragma once

#include <QString>

namespace ds {

// The optional look of the program: the style sheet "XinChunDaJie.she" in the
// program's folder, applied to the whole application when the window loads.
namespace Skin {

QString fileName();

// Applies the skin found in `folder`. A missing, empty or unreadable file is
// passed over without a word and the standard look stays; returns whether a
// skin was applied.
bool attach(const QString& folder);

} // namespace Skin
} // namespace ds
