#pragma once

#include "lookup/Answer.h"

#include <QList>
#include <QString>

#include <optional>

namespace ds::test {

// One WHOIS reply written for the tests, and what it must be read as.
struct WhoisSample {
    QString tld;
    // free, taken, reserved or throttled; any other word names a trap.
    QString kind;
    QString name;
    Verdict verdict = Verdict::Failed;
    std::optional<int> backoffSeconds;
    // The reply says the server refuses this client, not just this moment's pace.
    bool blocked = false;
    QString reply;
};

// The samples of tests/lookup/whois-replies.txt, which the reply test and the
// coverage report share. Throws ds::Error when the file cannot be read or a
// header is malformed.
QList<WhoisSample> loadWhoisSamples();

} // namespace ds::test
