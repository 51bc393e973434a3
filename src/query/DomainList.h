#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace ds {

// The domain list as the user types or pastes it: one entry per line. These
// functions hold no state; the text box is the list, and every step of a run
// reads it afresh through them.
namespace DomainList {

// Every line break form a paste can bring (CR LF, lone CR, lone LF, the
// Unicode line and paragraph separators) becomes one '\n', so a list copied
// from a Windows program splits into the same lines as a Unix one.
QString normaliseLineBreaks(QString text);

// The list after a press of the start button: line breaks normalised, one
// added at the end when missing, then runs of three line breaks collapsed to
// one and after that runs of two, each pass scanning left to right without
// overlap. Blank lines at the very start are kept.
QString tidy(const QString& text);

// True when the entry (or a whole text) holds a '.', the only test that makes
// an entry a domain worth a request.
bool hasDot(QStringView text);

} // namespace DomainList
} // namespace ds
