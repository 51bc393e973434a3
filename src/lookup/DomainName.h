#pragma once

#include <QString>
#include <QStringView>

namespace ds {

// A name as the registries want it: trimmed, one trailing dot dropped, and in
// its ACE form by IDNA (UTS #46 nontransitional processing, IDNA2008 rules), so
// "Straße.DE" is asked as "xn--strae-oqa.de" and never as "strasse.de".
//
// The conversion is libidn2's rather than QUrl::toAce: both keep "ß", but
// QUrl lets through what IDNA2008 disallows (emoji, made-up "xn--" labels),
// and a registry asked about a name nobody can register would answer 404,
// which would read as free.
//
// The rules for names live here, for both ways of asking: isAskableEntry()
// for every entry, fromEntry() on top of it for the registries.
struct DomainName {
    // The ACE form; empty when the name is invalid.
    QString ace;
    // Why the name is invalid; empty when it is valid.
    QString problem;

    bool isValid() const { return problem.isEmpty(); }
    // The last label of the ACE form.
    QString topLevel() const;

    static DomainName fromEntry(const QString& entry);
};

// True when the entry may be sent as a name at all (to the registrar as it
// is written): it has a dot and something besides dots and blanks, no
// control character, no character that stands for undecodable bytes, and no
// more than 253 characters.
bool isAskableEntry(QStringView entry);

} // namespace ds
