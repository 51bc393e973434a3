#pragma once

#include <QByteArray>
#include <QString>

namespace ds {

// Reads a whole reply body as text in the named character set. "gb2312" and
// "gbk" (any case) are read as GB18030, their superset, since servers labelled
// gb2312 routinely send GBK characters. Throws ds::Error for a name no
// decoder knows and for bytes that are not valid in the character set.
QString BytesToText(const QByteArray& body, const QString& charsetName);

} // namespace ds
