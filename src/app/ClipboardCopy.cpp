#include "app/ClipboardCopy.h"

#include "format/RecordLines.h"

#include <QClipboard>

using namespace Qt::StringLiterals;

namespace ds::ClipboardCopy {

QString freeDomains(const QString& text1) {
    QString text = text1;
    text.remove(u'|' + RecordLines::verdictWord(Verdict::Free));
    if (!text.isEmpty() && !text.endsWith(u'\n'))
        text.append(u'\n');
    return text;
}

bool putOnClipboard(QClipboard* clipboard, const QString& text) {
    if (!clipboard)
        return false;
    clipboard->clear();
    clipboard->setText(text);
    return clipboard->text() == text;
}

} // namespace ds::ClipboardCopy
