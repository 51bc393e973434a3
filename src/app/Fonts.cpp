#include "app/Fonts.h"

#include "platform/SongFaces.h"

#include <QApplication>
#include <QFontDatabase>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds::Fonts {

QString songFamily() {
    return u"宋体"_s;
}

void install() {
    const QStringList faces = platform::songFaces();
    const bool installed = std::any_of(faces.begin(), faces.end(), [](const QString& face) {
        return QFontDatabase::hasFamily(face);
    });
    if (!installed) {
        const QStringList files = platform::shippedSongFontFiles();
        for (const QString& file : files)
            QFontDatabase::addApplicationFont(file);
    }
    QFont::insertSubstitutions(songFamily(), faces);
    QApplication::setFont(song(9));
}

QFont song(qreal pointSize, bool bold, bool underline) {
    QFont font(songFamily());
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

} // namespace ds::Fonts
