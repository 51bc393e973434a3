#include "app/Skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace ds::Skin {

QString fileName() {
    return u"XinChunDaJie.she"_s;
}

bool attach(const QString& folder) {
    QFile file(QDir(folder).filePath(fileName()));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QString sheet = QString::fromUtf8(file.readAll());
    if (file.error() != QFileDevice::NoError || sheet.trimmed().isEmpty())
        return false;
    qApp->setStyleSheet(sheet);
    return true;
}

} // namespace ds::Skin
