#include "lookup/DomainName.h"

#include <QList>

#include <cstdlib>
#include <idn2.h>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr qsizetype MaxLabelOctets = 63;
constexpr qsizetype MaxNameOctets = 253;

DomainName invalid(const QString& problem) {
    return DomainName{{}, problem};
}

bool isLdh(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-';
}

// Case is folded by UTS #46 mapping, not by QString::toLower, which would turn
// "ẞ" into "ß" where the mapping gives "ss".
std::optional<QString> toAscii(const QString& name, QString& problem) {
    char* output = nullptr;
    const int rc =
        idn2_to_ascii_8z(name.toUtf8().constData(), &output, IDN2_NONTRANSITIONAL | IDN2_NFC_INPUT);
    const std::unique_ptr<char, decltype(&std::free)> owned(output, &std::free);
    if (rc != IDN2_OK) {
        problem = QString::fromUtf8(idn2_strerror(rc));
        return std::nullopt;
    }
    return QString::fromLatin1(output).toLower();
}

} // namespace

QString DomainName::topLevel() const {
    return ace.section(u'.', -1);
}

bool isAskableEntry(QStringView entry) {
    if (!entry.contains(u'.') || entry.size() > MaxNameOctets)
        return false;
    bool named = false;
    for (const QChar c : entry) {
        if (c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter)
            return false;
        named = named || (c != u'.' && !c.isSpace());
    }
    return named;
}

DomainName DomainName::fromEntry(const QString& entry) {
    QString name = entry.trimmed();
    if (name.endsWith(u'.'))
        name.chop(1);
    if (name.isEmpty())
        return invalid(u"empty name"_s);
    QString problem;
    const std::optional<QString> ace = toAscii(name, problem);
    if (!ace)
        return invalid(problem);
    if (ace->size() > MaxNameOctets)
        return invalid(u"longer than %1 octets"_s.arg(MaxNameOctets));
    for (const QStringView label : QStringView(*ace).split(u'.')) {
        if (label.isEmpty())
            return invalid(u"empty label"_s);
        if (label.size() > MaxLabelOctets)
            return invalid(u"label longer than %1 octets"_s.arg(MaxLabelOctets));
        for (const QChar c : label) {
            if (!isLdh(c))
                return invalid(u"\"%1\" is not a letter, digit or hyphen"_s.arg(c));
        }
    }
    return DomainName{*ace, {}};
}

} // namespace ds
