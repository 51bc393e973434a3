#include "platform/SongFaces.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace ds::platform {

QStringList songFaces() {
    // Windows' own Song face, where a Chinese system or its language pack has
    // it; the shipped AR PL UMing otherwise.
    return {u"SimSun"_s, u"NSimSun"_s, u"AR PL UMing CN"_s};
}

QStringList shippedSongFontFiles() {
    return {QCoreApplication::applicationDirPath() + u"/fonts/uming.ttc"_s};
}

} // namespace ds::platform
