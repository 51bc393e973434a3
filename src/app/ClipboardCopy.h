#pragma once

#include <QString>

class QClipboard;

namespace ds {

// Turning the list of free domains into text for other programs.
namespace ClipboardCopy {

// The free-domain list without its "|可注册" verdicts (in the language shown):
// one domain per line, each line ended by '\n' (the clipboard turns that into
// the platform's own line ending). An empty list gives the empty text.
QString freeDomains(const QString& text1);

// Replaces the clipboard's text and reads it back; false when there is no
// clipboard or it did not keep the text.
bool putOnClipboard(QClipboard* clipboard, const QString& text);

} // namespace ClipboardCopy
} // namespace ds
