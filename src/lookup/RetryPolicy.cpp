#include "lookup/RetryPolicy.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds {

int RetryPolicy::delayMs(int retryNumber, const QByteArray& retryAfter,
                         const QDateTime& now) const {
    const int exponent = std::clamp(retryNumber - 1, 0, 16);
    const qint64 growing = qint64(baseDelayMs) << exponent;
    qint64 delay = growing;
    if (const auto asked = parseRetryAfter(retryAfter, now)) {
        delay = std::max(growing, std::min<qint64>(*asked, retryAfterCapMs));
    }
    return int(delay);
}

std::optional<qint64> parseRetryAfter(const QByteArray& value, const QDateTime& now) {
    const QByteArray trimmed = value.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    if (std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        // Delta-seconds of any length: whatever lies past a day is as good as
        // forever to a caller that caps its pause far below that, and stopping
        // there keeps the sum and the product from overflowing.
        constexpr qint64 LongestSeconds = 24 * 60 * 60;
        qint64 seconds = 0;
        for (const char digit : trimmed) {
            seconds = std::min(seconds * 10 + (digit - '0'), LongestSeconds);
        }
        return seconds * 1000;
    }
    // An HTTP date, e.g. "Wed, 21 Oct 2015 07:28:00 GMT". Anything else (a
    // sign, a fraction, a word) is no Retry-After at all.
    const QString text = QString::fromLatin1(trimmed).replace(u"GMT"_s, u"+0000"_s);
    const QDateTime when = QDateTime::fromString(text, Qt::RFC2822Date);
    if (!when.isValid()) {
        return std::nullopt;
    }
    return std::max<qint64>(0, now.msecsTo(when));
}

} // namespace ds
