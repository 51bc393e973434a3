#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ds {

// What a person asked to leave out of the generated names: characters the
// classes and sets never pick, and shapes ("AAA", "ABAB") no label may contain.
struct Exclusions {
    QString characters;
    // Each a run of capitals: equal letters stand for equal characters,
    // different letters for different ones.
    QStringList shapes;

    // Items separated by commas or spaces: a run of two or more capitals is a
    // shape, anything else the characters it holds ("4", "47", "AAA").
    static std::optional<Exclusions> parse(const QString& text, QString* error);
    bool excludesShapeIn(QStringView label) const;
};

// One piece of a pattern. A choice among strings (a class, a set, the
// alternatives, a literal), or a shape over such a choice: its positions bind
// variables, equal letters the same string and different letters different ones.
struct PatternPart {
    QStringList choices;
    // For a shape, the variable of each position (0 for the first letter seen);
    // empty otherwise.
    QList<int> shape;
    int variables = 0;
    // Where the part starts in the pattern, counted from 0.
    qsizetype position = 0;

    bool isShape() const { return !shape.isEmpty(); }
};

// Reads a pattern into its parts, the excluded characters already taken out
// of every class and set. Nullopt with a message naming the position of the
// fault (counted from 1, as a person counts).
std::optional<QList<PatternPart>> parsePattern(const QString& pattern, const Exclusions& excluded,
                                               QString* error);

// Whether a literal may stand in a name: letters, digits, hyphens and dots,
// and words in other scripts that pass the lookups' IDNA rules. Empty when it
// may, else why not.
QString literalProblem(const QString& literal);

} // namespace ds
