#pragma once

#include <QChar>

// The characters a pattern's reader and its exclusions tell apart.
namespace ds::PatternCharacters {

inline bool isAsciiAlnum(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

inline bool isCapital(QChar c) {
    return c >= u'A' && c <= u'Z';
}

// What may stand in a name as written: ASCII letters, digits, hyphens and
// dots, and characters of other scripts (checked by IDNA afterwards).
inline bool isNameCharacter(QChar c) {
    return isAsciiAlnum(c.toLower()) || c == u'-' || c == u'.' || c.unicode() > 0x7f;
}

} // namespace ds::PatternCharacters
