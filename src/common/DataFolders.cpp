#include "common/DataFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ds::DataFolders {

QStringList candidates(const QString& programFolder) {
    const QDir program(programFolder);
    return {program.path(),
            QDir::cleanPath(program.filePath(QString::fromUtf8(DOMAINSIEVE_DATA_FROM_PROGRAM)))};
}

QString holding(const QString& relativePath, const QString& programFolder) {
    const QStringList folders = candidates(programFolder);
    for (const QString& folder : folders) {
        if (QFileInfo::exists(QDir(folder).filePath(relativePath)))
            return folder;
    }
    return folders.constFirst();
}

QString holding(const QString& relativePath) {
    return holding(relativePath, QCoreApplication::applicationDirPath());
}

} // namespace ds::DataFolders
