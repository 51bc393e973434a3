#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <optional>

namespace ds {

// What became of one name. Free is said only on the word of the service that
// is authoritative for the name; everything that is not a clear answer is
// Failed, with its reason in the detail.
enum class Verdict { Free, Taken, Reserved, Failed, Invalid, Unsupported };

// How the answer was obtained.
enum class Method { Registrar, Dns, Rdap, Whois };

// One answer about one name, as the lookup that asked gives it.
struct Answer {
    Verdict verdict = Verdict::Failed;
    Method method = Method::Registrar;
    // host[:port] of the service that answered; empty when none was asked.
    QString server;
    // Status, error text and the like, for people to read; never parsed.
    QString detail;
    // The HTTP status of the last reply, 0 when none came back.
    int httpStatus = 0;
    // The request failed at the proxy, not at the service: the detail names
    // the proxy. Boards tell the person once per run.
    bool proxyFailed = false;
};

// One entry of a run with its answer: what the window, the batch output and
// the journal each turn into a line of their own.
struct LookupRecord {
    // The entry as the person wrote it.
    QString entry;
    // The form sent on the wire (ACE for the registries); empty when nothing
    // was sent.
    QString ascii;
    Answer answer;
    int tries = 0;
    qint64 elapsedMs = 0;
};

// The stable lower-case words machine-readable output uses ("free",
// "taken", ...; "registrar", "rdap", ...), and their way back.
QLatin1StringView verdictKey(Verdict verdict);
std::optional<Verdict> verdictFromKey(QStringView key);
QLatin1StringView methodKey(Method method);
std::optional<Method> methodFromKey(QStringView key);

} // namespace ds
