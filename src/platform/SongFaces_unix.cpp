#include "platform/SongFaces.h"

using namespace Qt::StringLiterals;

namespace ds::platform {

QStringList songFaces() {
    // Song faces first, in the order a person would choose them; the sans
    // faces at the end only keep Chinese from turning into boxes where no
    // Song face is installed.
    return {
        u"SimSun"_s,
        u"NSimSun"_s,
        u"AR PL UMing CN"_s,
        u"AR PL UMing TW"_s,
        u"AR PL SungtiL GB"_s,
        u"Noto Serif CJK SC"_s,
        u"Source Han Serif SC"_s,
        u"Songti SC"_s,
        u"STSong"_s,
        u"Noto Sans CJK SC"_s,
        u"WenQuanYi Zen Hei"_s,
        u"Droid Sans Fallback"_s,
    };
}

QStringList shippedSongFontFiles() {
    return {};
}

} // namespace ds::platform
