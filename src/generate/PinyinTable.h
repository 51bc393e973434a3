#pragma once

#include <QString>
#include <QStringList>

namespace ds {

// The pinyin initials, finals and whole syllables the generator's C, V and P
// draw from, in the order the shipped list gives them.
struct PinyinTable {
    QStringList initials;
    QStringList finals;
    QStringList syllables;

    // The list shipped among the program's resources.
    static const PinyinTable& builtIn();
    // Sections "[initials]", "[finals]" and "[syllables]", words separated by
    // white space, "#" starting a comment line.
    static PinyinTable parse(const QString& text);
};

} // namespace ds
