#include "http/TimeoutSeconds.h"

#include "common/Error.h"

#include <QLocale>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace ds {

qint32 TimeoutSeconds(const QString& text) {
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    // The C locale also reads "nan" and "inf": the first is no number, the
    // second fails the range check below.
    if (!ok || std::isnan(value))
        throw Error(ErrorNumber::TypeMismatch,
                    u"The time-out \"%1\" is not a number of seconds."_s.arg(text));

    // The program keeps the default rounding mode, in which nearbyint rounds
    // halves to the even neighbour.
    const double rounded = std::nearbyint(value);

    if (!(rounded >= std::numeric_limits<qint32>::min() &&
          rounded <= std::numeric_limits<qint32>::max()))
        throw Error(ErrorNumber::Overflow, u"The time-out \"%1\" is out of range."_s.arg(text));
    return static_cast<qint32>(rounded);
}

} // namespace ds
