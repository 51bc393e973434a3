#include "generate/NameCount.h"

#include <QCoreApplication>
#include <QLocale>

#include <limits>

namespace ds {

void NameCount::multiply(quint64 factor) {
    if (saturated)
        return;
    if (factor != 0 && value > std::numeric_limits<quint64>::max() / factor)
        saturated = true;
    else
        value *= factor;
}

QString NameCount::text() const {
    const QString limit = groupedNumber(kLimit);
    if (saturated)
        return QCoreApplication::translate("NameCount", "要生成的域名远超上限 %1 个，请缩小模式")
            .arg(limit);
    if (value > kLimit)
        return QCoreApplication::translate("NameCount",
                                           "将生成 %1 个域名，超过上限 %2 个，请缩小模式")
            .arg(groupedNumber(value), limit);
    if (!exact)
        return QCoreApplication::translate("NameCount", "将生成至多 %1 个域名（排除的形状另减）")
            .arg(groupedNumber(value));
    return QCoreApplication::translate("NameCount", "将生成 %1 个域名").arg(groupedNumber(value));
}

QString groupedNumber(quint64 value) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value);
}

} // namespace ds
