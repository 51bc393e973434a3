#include "app/Product.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace ds {

QString productTitle() {
    return QCoreApplication::translate("Product", "米筛 · 域名批量查询");
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48})
        icon.addFile(u":/domainsieve/icons/domainsieve-%1.png"_s.arg(size), QSize(size, size));
    return icon;
}

} // namespace ds
