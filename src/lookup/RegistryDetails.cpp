#include "lookup/RegistryDetails.h"

#include <QList>

#include <array>

using namespace Qt::StringLiterals;

namespace ds::RegistryDetails {

namespace {

constexpr auto kRedemption = "redemptionPeriod"_L1;
constexpr auto kPendingDelete = "pendingDelete"_L1;
// Redemption is a stage of the deletion: registries list "pending delete"
// beside it until the name leaves redemption.
constexpr int kRedemptionDays = 30 + 5;
constexpr int kPendingDeleteDays = 5;

constexpr std::array kMonths = {"january"_L1,   "february"_L1, "march"_L1,    "april"_L1,
                                "may"_L1,       "june"_L1,     "july"_L1,     "august"_L1,
                                "september"_L1, "october"_L1,  "november"_L1, "december"_L1};
constexpr std::array kWeekdays = {"monday"_L1, "tuesday"_L1,  "wednesday"_L1, "thursday"_L1,
                                  "friday"_L1, "saturday"_L1, "sunday"_L1};

// 1-12 for a month's name or its abbreviation ("Aug", "Sept"), else 0.
template <std::size_t N>
int nameIndex(const std::array<QLatin1StringView, N>& names, QStringView word) {
    if (word.size() < 3)
        return 0;
    const QString lower = word.toString().toLower();
    for (std::size_t n = 0; n < N; ++n) {
        if (names[n].startsWith(lower))
            return int(n) + 1;
    }
    return 0;
}

// A part of a date: a number as written, or a month given by its name.
struct DatePart {
    QStringView digits;
    int month = 0;
};

// The first three parts of a date, skipping a weekday's name; fewer when the
// text holds something else first.
QList<DatePart> dateParts(QStringView text) {
    QList<DatePart> parts;
    qsizetype n = 0;
    while (n < text.size() && parts.size() < 3) {
        const qsizetype start = n;
        if (text[n].isDigit()) {
            while (n < text.size() && text[n].isDigit())
                ++n;
            parts.append({text.sliced(start, n - start), 0});
        } else if (text[n].isLetter()) {
            while (n < text.size() && text[n].isLetter())
                ++n;
            const QStringView word = text.sliced(start, n - start);
            if (const int month = nameIndex(kMonths, word))
                parts.append({{}, month});
            else if (nameIndex(kWeekdays, word) == 0)
                break;
        } else {
            ++n;
        }
    }
    return parts;
}

// A day or month as a number of one or two digits; 0 for anything else.
int smallNumber(const DatePart& part) {
    if (part.month != 0)
        return part.month;
    return part.digits.size() <= 2 ? part.digits.toInt() : 0;
}

int year(const DatePart& part) {
    return part.digits.size() == 4 ? part.digits.toInt() : 0;
}

} // namespace

QDate readDate(QStringView text) {
    text = text.trimmed();
    const QList<DatePart> parts = dateParts(text);
    if (!parts.isEmpty() && parts[0].digits.size() == 8) // 20270813
        return QDate::fromString(parts[0].digits.toString(), u"yyyyMMdd"_s);
    if (parts.size() < 3)
        return {};
    if (year(parts[0]) != 0 && parts[2].month == 0)
        return QDate(year(parts[0]), smallNumber(parts[1]), smallNumber(parts[2]));
    if (year(parts[2]) == 0)
        return {};
    // "Oct 6 2020"; otherwise the day comes first, as registries outside the
    // United States write it ("17-04-2001", "14-Aug-1995").
    if (parts[0].month != 0)
        return QDate(year(parts[2]), parts[0].month, smallNumber(parts[1]));
    return QDate(year(parts[2]), smallNumber(parts[1]), smallNumber(parts[0]));
}

QString eppCode(QStringView status) {
    const QList<QStringView> words = status.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (words.size() == 1) {
        const QString word = words[0].toString();
        if (word == word.toUpper())
            return word.toLower();
        return word.left(1).toLower() + word.mid(1);
    }
    QString code;
    for (const QStringView word : words) {
        const QString lower = word.toString().toLower();
        code += code.isEmpty() ? lower : lower.left(1).toUpper() + lower.mid(1);
    }
    return code;
}

QDate estimatedRelease(const QStringList& status, QDate statusDate, QDate lastChanged) {
    const QDate from = statusDate.isValid() ? statusDate : lastChanged;
    if (!from.isValid())
        return {};
    if (status.contains(kRedemption))
        return from.addDays(kRedemptionDays);
    if (status.contains(kPendingDelete))
        return from.addDays(kPendingDeleteDays);
    return {};
}

Verdict refinedVerdict(Verdict verdict, const Details& details) {
    if (verdict != Verdict::Taken)
        return verdict;
    if (details.status.contains(kRedemption))
        return Verdict::Redemption;
    if (details.status.contains(kPendingDelete))
        return Verdict::PendingDelete;
    return verdict;
}

} // namespace ds::RegistryDetails
