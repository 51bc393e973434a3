#include "generate/NameGenerator.h"

#include "generate/TldSets.h"
#include "lookup/DomainName.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Prefix and suffix words are given by the person, one by one: each must be
// fit to stand in a name.
bool checkWords(const QStringList& words, const QString& which, QString* error) {
    for (const QString& word : words) {
        if (const QString problem = literalProblem(word); !problem.isEmpty()) {
            if (error)
                *error = QCoreApplication::translate("NameGenerator", "%1“%2”：%3")
                             .arg(which, word, problem);
            return false;
        }
    }
    return true;
}

PatternPart wordPart(const QStringList& words) {
    PatternPart part;
    for (const QString& word : words)
        part.choices.append(word.toLower());
    part.choices.removeDuplicates();
    return part;
}

} // namespace

std::optional<NameGenerator> NameGenerator::create(const GeneratorRequest& request,
                                                   QString* error) {
    NameGenerator generator;
    const auto exclusions = Exclusions::parse(request.exclusions, error);
    if (!exclusions)
        return std::nullopt;
    generator.m_exclusions = *exclusions;
    const auto parts = parsePattern(request.pattern, *exclusions, error);
    if (!parts)
        return std::nullopt;
    const auto tlds = TldSets::parse(request.tlds, error);
    if (!tlds)
        return std::nullopt;
    if (!checkWords(request.prefixes, QCoreApplication::translate("NameGenerator", "前缀"),
                    error) ||
        !checkWords(request.suffixes, QCoreApplication::translate("NameGenerator", "后缀词"),
                    error))
        return std::nullopt;

    if (!request.prefixes.isEmpty())
        generator.addSlot(wordPart(request.prefixes));
    for (const PatternPart& part : *parts)
        generator.addSlot(part);
    if (!request.suffixes.isEmpty())
        generator.addSlot(wordPart(request.suffixes));
    if (!tlds->isEmpty()) {
        PatternPart tldPart;
        for (const QString& tld : *tlds)
            tldPart.choices.append(u'.' + tld);
        generator.addSlot(tldPart, true);
    }
    generator.m_count.exact = generator.m_exclusions.shapes.isEmpty();

    const auto fail = [error](const QString& reason) -> std::optional<NameGenerator> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (generator.m_count.overLimit())
        return fail(generator.m_count.text());
    // The first name stands for the rest: a pattern without a TLD, or one
    // whose names the lookups would refuse, is told now rather than name by name.
    NameGenerator first = generator;
    QString name;
    if (!first.next(name))
        return fail(
            QCoreApplication::translate("NameGenerator", "排除这些形状之后，一个名字也不剩"));
    if (!name.contains(u'.'))
        return fail(QCoreApplication::translate(
            "NameGenerator", "名字没有后缀：在模式末尾写上 .com，或在后缀里列出"));
    if (const DomainName domain = DomainName::fromEntry(name); !domain.isValid())
        return fail(QCoreApplication::translate("NameGenerator", "生成的名字“%1”不能作为域名（%2）")
                        .arg(name, domain.problem));
    return generator;
}

void NameGenerator::addSlot(PatternPart part, bool isTld) {
    const int firstDigit = int(m_digits.size());
    const auto choices = qsizetype(part.choices.size());
    if (part.isShape()) {
        // Each variable picks among the strings the earlier ones left.
        for (int variable = 0; variable < part.variables; ++variable) {
            m_radices.push_back(int(choices) - variable);
            m_count.multiply(quint64(choices - variable));
        }
    } else {
        m_radices.push_back(int(choices));
        m_count.multiply(quint64(choices));
    }
    m_digits.resize(m_radices.size(), 0);
    m_slots.append(Slot{std::move(part), firstDigit, isTld});
}

bool NameGenerator::advance() {
    for (auto digit = qsizetype(m_digits.size()) - 1; digit >= 0; --digit) {
        if (++m_digits[std::size_t(digit)] < m_radices[std::size_t(digit)])
            return true;
        m_digits[std::size_t(digit)] = 0;
    }
    return false;
}

void NameGenerator::render(QString& name) const {
    name.clear();
    for (const Slot& slot : m_slots) {
        const PatternPart& part = slot.part;
        if (!part.isShape()) {
            name += part.choices.at(m_digits[std::size_t(slot.firstDigit)]);
            continue;
        }
        // A variable's digit counts among the strings not yet taken, so
        // different letters can never bind the same string.
        int chosen[26];
        int taken[26];
        for (int variable = 0; variable < part.variables; ++variable) {
            int index = m_digits[std::size_t(slot.firstDigit + variable)];
            int place = 0;
            for (; place < variable && taken[place] <= index; ++place)
                ++index;
            for (int moved = variable; moved > place; --moved)
                taken[moved] = taken[moved - 1];
            taken[place] = index;
            chosen[variable] = index;
        }
        for (const int variable : part.shape)
            name += part.choices.at(chosen[variable]);
    }
}

bool NameGenerator::next(QString& name) {
    while (!m_done) {
        if (m_started && !advance()) {
            m_done = true;
            break;
        }
        m_started = true;
        render(name);
        if (m_exclusions.shapes.isEmpty())
            return true;
        const bool hasTld = !m_slots.isEmpty() && m_slots.constLast().isTld;
        const qsizetype labelEnd =
            hasTld ? name.size() - m_slots.constLast().part.choices.at(m_digits.back()).size()
                   : name.size();
        if (!m_exclusions.excludesShapeIn(QStringView(name).first(labelEnd)))
            return true;
    }
    return false;
}

quint64 NameGenerator::countByMaking() const {
    NameGenerator copy = *this;
    copy.m_started = false;
    copy.m_done = false;
    std::fill(copy.m_digits.begin(), copy.m_digits.end(), 0);
    quint64 made = 0;
    QString name;
    while (copy.next(name))
        ++made;
    return made;
}

} // namespace ds
