// What may stand in the names a pattern makes: its literals and what a
// person asks to leave out.

#include "generate/Pattern.h"
#include "generate/PatternCharacters.h"
#include "lookup/DomainName.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds {

using namespace PatternCharacters;

QString literalProblem(const QString& literal) {
    for (const QChar c : literal) {
        if (!isNameCharacter(c))
            return QCoreApplication::translate("Pattern", "“%1”不能出现在域名里").arg(c);
    }
    static const QRegularExpression dots(u"\\.+"_s);
    for (const QString& piece : literal.split(dots, Qt::SkipEmptyParts)) {
        if (std::all_of(piece.cbegin(), piece.cend(), [](QChar c) { return c.unicode() <= 0x7f; }))
            continue;
        // The lookups convert every name the same way; a word they would
        // refuse is refused here, before it makes a single name.
        const DomainName name = DomainName::fromEntry(piece + u".com"_s);
        if (!name.isValid())
            return QCoreApplication::translate("Pattern", "“%1”不符合国际化域名的规则（%2）")
                .arg(piece, name.problem);
    }
    return {};
}

std::optional<Exclusions> Exclusions::parse(const QString& text, QString* error) {
    Exclusions exclusions;
    static const QRegularExpression separators(u"[,，;；\\s]+"_s);
    for (const QString& item : text.split(separators, Qt::SkipEmptyParts)) {
        if (item.size() > 1 && std::all_of(item.cbegin(), item.cend(), isCapital)) {
            exclusions.shapes.append(item);
            continue;
        }
        for (const QChar c : item) {
            if (!isNameCharacter(c) || c == u'.') {
                if (error)
                    *error =
                        QCoreApplication::translate("Pattern", "排除项“%1”里的“%2”不会出现在域名里")
                            .arg(item, c);
                return std::nullopt;
            }
            if (!exclusions.characters.contains(c.toLower()))
                exclusions.characters.append(c.toLower());
        }
    }
    return exclusions;
}

// A window of the label matches a shape when its characters are equal exactly
// where the shape's letters are.
bool Exclusions::excludesShapeIn(QStringView label) const {
    for (const QString& shape : shapes) {
        const qsizetype width = shape.size();
        for (qsizetype from = 0; from + width <= label.size(); ++from) {
            bool matches = true;
            for (qsizetype i = 0; i < width && matches; ++i) {
                for (qsizetype j = i + 1; j < width && matches; ++j)
                    matches =
                        (shape.at(i) == shape.at(j)) == (label.at(from + i) == label.at(from + j));
            }
            if (matches)
                return true;
        }
    }
    return false;
}

} // namespace ds
