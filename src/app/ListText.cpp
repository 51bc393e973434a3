#include "app/ListText.h"

namespace ds::ListText {

namespace {

// The text box's marks for the start and end of a frame, which its plain text
// turns into line breaks.
constexpr char16_t FrameStart = 0xfdd0;
constexpr char16_t FrameEnd = 0xfdd1;

} // namespace

bool isTidy(QStringView raw) {
    if (raw.isEmpty() || raw.back() != QChar::ParagraphSeparator)
        return false;
    QChar previous = QChar::ParagraphSeparator;
    for (const QChar c : raw) {
        switch (c.unicode()) {
        case u'\r':
        case u'\n':
        case QChar::LineSeparator:
        case FrameStart:
        case FrameEnd:
            return false;
        case QChar::ParagraphSeparator:
            if (previous == QChar::ParagraphSeparator)
                return false;
            break;
        default:
            break;
        }
        previous = c;
    }
    return true;
}

QByteArray journalLines(QString raw) {
    if (raw.endsWith(QChar::ParagraphSeparator))
        raw.chop(1);
    else if (raw.isEmpty())
        return {};
    raw.replace(QChar::ParagraphSeparator, u'\n');
    raw.append(u'\n');
    return raw.toUtf8();
}

} // namespace ds::ListText
