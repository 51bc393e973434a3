#pragma once

#include <QDate>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace ds {

// What became of one name. Free is said only on the word of the service that
// is authoritative for the name; everything that is not a clear answer is
// Failed, with its reason in the detail. Redemption and PendingDelete are
// taken names their registry is about to let go: still registered, never free.
enum class Verdict {
    Free,
    Taken,
    Redemption,
    PendingDelete,
    Reserved,
    Failed,
    Invalid,
    Unsupported
};

// What a registry's reply tells about a registered name beyond the verdict.
// A field the reply did not give, or gave in a form we cannot read, stays empty.
struct Details {
    QString registrar;
    QString registrarIanaId;
    QDate created;
    QDate expires;
    QDate lastChanged;
    // EPP status codes as registries write them in WHOIS: "clientHold",
    // "redemptionPeriod", "pendingDelete", ...
    QStringList status;
    // For a name in redemption or pending delete: when it is expected to be free.
    QDate releases;

    bool isEmpty() const {
        return registrar.isEmpty() && registrarIanaId.isEmpty() && created.isNull() &&
               expires.isNull() && lastChanged.isNull() && status.isEmpty() && releases.isNull();
    }
    friend bool operator==(const Details&, const Details&) = default;
};

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
    Details details = {};
    // How fast the server was being asked when it answered; 0 when unknown.
    double requestsPerSecond = 0;
};

// One entry of a run with its answer: what the window, the batch output and
// the journal each turn into a line of their own.
struct LookupRecord {
    // The entry as the person wrote it.
    QString entry;
    // The name as it was sent: its ACE form to the registries, the entry as
    // written (Unicode included) to the registrar; empty when nothing was
    // sent. Machine-readable output calls it "ascii".
    QString sentName;
    Answer answer;
    int tries = 0;
    qint64 elapsedMs = 0;
};

// Whether a verdict means the name is registered: taken, reserved, or on its
// way out of the registry.
bool isTaken(Verdict verdict);
// Redemption or pending delete.
bool isDropping(Verdict verdict);

// The stable lower-case words machine-readable output uses ("free",
// "taken", ...; "registrar", "rdap", ...), and their way back.
QLatin1StringView verdictKey(Verdict verdict);
std::optional<Verdict> verdictFromKey(QStringView key);
QLatin1StringView methodKey(Method method);
std::optional<Method> methodFromKey(QStringView key);

} // namespace ds
