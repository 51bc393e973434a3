#include "generate/Pattern.h"

#include "generate/PatternCharacters.h"
#include "generate/PinyinTable.h"

#include <QCoreApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

using namespace PatternCharacters;

QString at(qsizetype position, const QString& what) {
    return QCoreApplication::translate("Pattern", "第 %1 个字符：%2")
        .arg(QString::number(position + 1), what);
}

QStringList characters(char16_t from, char16_t to) {
    QStringList list;
    for (char16_t c = from; c <= to; ++c)
        list.append(QString(QChar(c)));
    return list;
}

// The strings a class letter stands for; nullopt for a letter that is none.
std::optional<QStringList> classChoices(QChar letter) {
    const PinyinTable& pinyin = PinyinTable::builtIn();
    switch (letter.unicode()) {
    case u'N':
        return characters(u'0', u'9');
    case u'L':
        return characters(u'a', u'z');
    case u'X':
        return characters(u'0', u'9') + characters(u'a', u'z');
    case u'C':
        return pinyin.initials;
    case u'V':
        return pinyin.finals;
    case u'P':
        return pinyin.syllables;
    default:
        return std::nullopt;
    }
}

QStringList withoutExcluded(const QStringList& choices, const QString& excluded) {
    QStringList kept;
    for (const QString& choice : choices) {
        if (std::none_of(excluded.cbegin(), excluded.cend(),
                         [&choice](QChar c) { return choice.contains(c); }))
            kept.append(choice);
    }
    return kept;
}

class PatternReader {
public:
    PatternReader(const QString& pattern, const Exclusions& excluded)
        : m_text(pattern)
        , m_excluded(excluded) {}

    std::optional<QList<PatternPart>> read(QString* error);

private:
    bool readClass(PatternPart& part);
    bool readSet(PatternPart& part);
    bool readBraces(PatternPart& part);
    bool readShape(PatternPart& part, qsizetype open, qsizetype colon, qsizetype close);
    bool readQuoted(PatternPart& part);
    bool readLiteral(PatternPart& part);
    bool keep(PatternPart& part, QStringList choices);
    bool fail(qsizetype position, const QString& what) {
        m_error = at(position, what);
        return false;
    }

    const QString& m_text;
    const Exclusions& m_excluded;
    qsizetype m_at = 0;
    QString m_error;
};

std::optional<QList<PatternPart>> PatternReader::read(QString* error) {
    QList<PatternPart> parts;
    while (m_at < m_text.size()) {
        PatternPart part;
        part.position = m_at;
        const QChar c = m_text.at(m_at);
        bool read = false;
        if (isCapital(c))
            read = readClass(part);
        else if (c == u'[')
            read = readSet(part);
        else if (c == u'{')
            read = readBraces(part);
        else if (c == u'"' || c == u'\'')
            read = readQuoted(part);
        else if (c == u']' || c == u'}')
            read = fail(m_at,
                        QCoreApplication::translate("Pattern", "多余的“%1”，前面没有与它配对的括号")
                            .arg(c));
        else if (isNameCharacter(c))
            read = readLiteral(part);
        else if (c.isSpace())
            read = fail(m_at, QCoreApplication::translate("Pattern", "模式里不能有空白"));
        else
            read =
                fail(m_at, QCoreApplication::translate("Pattern", "“%1”不能出现在域名里").arg(c));
        if (!read) {
            if (error)
                *error = m_error;
            return std::nullopt;
        }
        parts.append(std::move(part));
    }
    return parts;
}

bool PatternReader::readClass(PatternPart& part) {
    const QChar letter = m_text.at(m_at);
    const auto choices = classChoices(letter);
    if (!choices)
        return fail(m_at,
                    QCoreApplication::translate("Pattern", "没有“%1”这个字符类（可用 N L X C V P）")
                        .arg(letter));
    ++m_at;
    return keep(part, withoutExcluded(*choices, m_excluded.characters));
}

// "[a-f]", "[13579]", "[a-]": single characters and ranges of ASCII letters or digits.
bool PatternReader::readSet(PatternPart& part) {
    const qsizetype close = m_text.indexOf(u']', m_at + 1);
    if (close < 0)
        return fail(m_at, QCoreApplication::translate("Pattern", "“[”没有配对的“]”"));
    QStringList members;
    for (qsizetype i = m_at + 1; i < close; ++i) {
        const QChar first = m_text.at(i).toLower();
        if (first == u'[' || first == u'{' || !isNameCharacter(first) || first == u'.')
            return fail(
                i, QCoreApplication::translate("Pattern", "集合里不能有“%1”").arg(m_text.at(i)));
        const bool range = i + 2 < close && m_text.at(i + 1) == u'-';
        if (!range) {
            members.append(QString(first));
            continue;
        }
        const QChar last = m_text.at(i + 2).toLower();
        const bool sameKind =
            isAsciiAlnum(first) && isAsciiAlnum(last) && first.isDigit() == last.isDigit();
        if (!sameKind || last < first)
            return fail(i, QCoreApplication::translate(
                               "Pattern", "“%1-%2”不是一个范围（从小到大，同为字母或同为数字）")
                               .arg(m_text.at(i), m_text.at(i + 2)));
        members += characters(first.unicode(), last.unicode());
        i += 2;
    }
    members.removeDuplicates();
    for (const QString& member : std::as_const(members)) {
        if (const QString problem = literalProblem(member); !problem.isEmpty())
            return fail(m_at, problem);
    }
    m_at = close + 1;
    return keep(part, withoutExcluded(members, m_excluded.characters));
}

bool PatternReader::readBraces(PatternPart& part) {
    const qsizetype open = m_at;
    const qsizetype close = m_text.indexOf(u'}', open + 1);
    if (close < 0)
        return fail(open, QCoreApplication::translate("Pattern", "“{”没有配对的“}”"));
    const qsizetype nested = m_text.indexOf(u'{', open + 1);
    if (nested >= 0 && nested < close)
        return fail(nested, QCoreApplication::translate("Pattern", "花括号不能套在花括号里"));
    const qsizetype colon = m_text.indexOf(u':', open + 1);
    if (colon >= 0 && colon < close)
        return readShape(part, open, colon, close);
    const QString inside = m_text.sliced(open + 1, close - open - 1);
    if (inside.isEmpty())
        return fail(open, QCoreApplication::translate("Pattern", "“{}”里没有可选的词"));
    if (inside.size() > 1 && std::all_of(inside.cbegin(), inside.cend(), isCapital))
        return fail(
            open,
            QCoreApplication::translate("Pattern", "形状要写明字符类，例如 {%1:N}").arg(inside));
    QStringList words;
    qsizetype wordStart = open + 1;
    for (const QString& word : inside.split(u',')) {
        if (const QString problem = literalProblem(word); !problem.isEmpty())
            return fail(wordStart, problem);
        words.append(word.toLower());
        wordStart += word.size() + 1;
    }
    words.removeDuplicates();
    m_at = close + 1;
    return keep(part, words);
}

// "{AABB:N}": the letters before the colon, a class or a set after it.
bool PatternReader::readShape(PatternPart& part, qsizetype open, qsizetype colon, qsizetype close) {
    const QString letters = m_text.sliced(open + 1, colon - open - 1);
    if (letters.isEmpty() || !std::all_of(letters.cbegin(), letters.cend(), isCapital))
        return fail(
            open, QCoreApplication::translate("Pattern", "形状只能由大写字母写成，例如 {AABB:N}"));
    QString seen;
    for (const QChar letter : letters) {
        if (!seen.contains(letter))
            seen.append(letter);
        part.shape.append(int(seen.indexOf(letter)));
    }
    part.variables = int(seen.size());
    PatternPart over;
    m_at = colon + 1;
    over.position = m_at;
    const bool read = m_at < close && (m_text.at(m_at) == u'[' ? readSet(over) : readClass(over));
    if (!read || m_at != close)
        return m_error.isEmpty()
                   ? fail(colon + 1,
                          QCoreApplication::translate(
                              "Pattern", "冒号后面应是一个字符类或集合，例如 N 或 [a-f]"))
                   : false;
    if (over.choices.size() < part.variables)
        return fail(open, QCoreApplication::translate(
                              "Pattern", "形状 %1 要 %2 个不同的字符，可选的只有 %3 个")
                              .arg(letters)
                              .arg(part.variables)
                              .arg(over.choices.size()));
    part.choices = over.choices;
    m_at = close + 1;
    return true;
}

bool PatternReader::readQuoted(PatternPart& part) {
    const QChar quote = m_text.at(m_at);
    const qsizetype close = m_text.indexOf(quote, m_at + 1);
    if (close < 0)
        return fail(m_at, QCoreApplication::translate("Pattern", "引号没有配对"));
    const QString literal = m_text.sliced(m_at + 1, close - m_at - 1);
    if (const QString problem = literalProblem(literal); !problem.isEmpty())
        return fail(m_at, problem);
    m_at = close + 1;
    return keep(part, {literal.toLower()});
}

bool PatternReader::readLiteral(PatternPart& part) {
    qsizetype end = m_at;
    while (end < m_text.size() && isNameCharacter(m_text.at(end)) && !isCapital(m_text.at(end)))
        ++end;
    const QString literal = m_text.sliced(m_at, end - m_at);
    if (const QString problem = literalProblem(literal); !problem.isEmpty())
        return fail(m_at, problem);
    m_at = end;
    return keep(part, {literal});
}

bool PatternReader::keep(PatternPart& part, QStringList choices) {
    if (choices.isEmpty())
        return fail(part.position,
                    m_excluded.characters.isEmpty()
                        ? QCoreApplication::translate("Pattern", "这里没有可选的字符")
                        : QCoreApplication::translate("Pattern", "排除“%1”之后，这里没有可选的字符")
                              .arg(m_excluded.characters));
    part.choices = std::move(choices);
    return true;
}

} // namespace

std::optional<QList<PatternPart>> parsePattern(const QString& pattern, const Exclusions& excluded,
                                               QString* error) {
    if (pattern.trimmed().isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("Pattern", "模式是空的");
        return std::nullopt;
    }
    return PatternReader(pattern, excluded).read(error);
}

} // namespace ds
