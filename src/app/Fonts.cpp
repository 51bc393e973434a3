#include "app/Fonts.h"

#include <QApplication>

using namespace Qt::StringLiterals;

namespace ds::Fonts {

QString songFamily() {
    return u"宋体"_s;
}

void install() {
    // Song faces first, in the order a person would choose them; the sans
    // faces at the end only keep Chinese from turning into boxes where no
    // Song face is installed.
    QFont::insertSubstitutions(songFamily(), {
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
                                             });
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
