#pragma once

#include <QFont>
#include <QString>

namespace ds {

// The window's texts ask for "宋体". Few machines outside Windows have a font
// of that name, and without help Qt would pick a Latin sans face and borrow
// Chinese glyphs of another height from elsewhere.
namespace Fonts {

// The family name the texts ask for.
QString songFamily();

// Maps songFamily() to the Song-style CJK faces that may be installed (or,
// where none is, the one shipped beside the program) and makes it the
// application's default font, so every text, Latin and Chinese alike, is
// drawn in one face.
void install();

// songFamily() at the given size.
QFont song(qreal pointSize, bool bold = false, bool underline = false);

} // namespace Fonts
} // namespace ds
