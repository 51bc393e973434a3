#include "lookup/RegistryDetails.h"

#include <array>
#include <optional>

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
int dateParts(QStringView text, std::array<DatePart, 3>& parts) {
    int count = 0;
    qsizetype n = 0;
    while (n < text.size() && count < 3) {
        const qsizetype start = n;
        if (text[n].isDigit()) {
            while (n < text.size() && text[n].isDigit())
                ++n;
            parts[std::size_t(count++)] = {text.sliced(start, n - start), 0};
        } else if (text[n].isLetter()) {
            while (n < text.size() && text[n].isLetter())
                ++n;
            const QStringView word = text.sliced(start, n - start);
            if (const int month = nameIndex(kMonths, word))
                parts[std::size_t(count++)] = {{}, month};
            else if (nameIndex(kWeekdays, word) == 0)
                break;
        } else {
            ++n;
        }
    }
    return count;
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

int digitsAt(QStringView text, qsizetype from, qsizetype count) {
    int value = 0;
    for (qsizetype n = from; n < from + count; ++n) {
        if (!text[n].isDigit())
            return -1;
        value = value * 10 + text[n].digitValue();
    }
    return value;
}

// "2027-08-13", as RDAP and most registries write it, read without the
// general search: every RDAP reply holds a few.
std::optional<QDate> isoDate(QStringView text) {
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-' ||
        (text.size() > 10 && text[10].isDigit()))
        return std::nullopt;
    const int y = digitsAt(text, 0, 4);
    const int m = digitsAt(text, 5, 2);
    const int d = digitsAt(text, 8, 2);
    if (y < 0 || m < 0 || d < 0)
        return std::nullopt;
    return QDate(y, m, d);
}

} // namespace

QDate readDate(QStringView text) {
    text = text.trimmed();
    if (const std::optional<QDate> date = isoDate(text))
        return *date;
    std::array<DatePart, 3> parts;
    const int count = dateParts(text, parts);
    if (count > 0 && parts[0].digits.size() == 8) // 20270813
        return QDate::fromString(parts[0].digits.toString(), u"yyyyMMdd"_s);
    if (count < 3)
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
    status = status.trimmed();
    // A single word in capitals is a word, not an abbreviation: "OK", "ACTIVE".
    bool capitals = true;
    for (const QChar c : status)
        capitals = capitals && !c.isLower();
    const bool words = status.contains(u' ');
    QString code;
    code.reserve(status.size());
    bool wordStart = false;
    for (const QChar c : status) {
        if (c == u' ') {
            wordStart = !code.isEmpty();
        } else if (code.isEmpty()) {
            code += c.toLower();
        } else if (wordStart) {
            code += c.toUpper();
            wordStart = false;
        } else {
            code += capitals || words ? c.toLower() : c;
        }
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
