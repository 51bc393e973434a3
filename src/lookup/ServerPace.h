#pragma once

#include <QHash>
#include <QString>

#include <optional>

class QByteArray;

namespace ds {

// How hard one RDAP or WHOIS server may be asked: requests started per second
// and requests outstanding at once.
struct ServerPace {
    double requestsPerSecond = 0;
    int inFlight = 1;
};

// The paces known for particular servers, shipped as data
// (resources/server-paces.json). A server it does not list keeps the
// program's default pace.
class ServerPaceTable final {
public:
    // The table shipped among the program's resources.
    static const ServerPaceTable& builtIn();
    // nullopt, with the reason in error, when the text is not a usable table.
    static std::optional<ServerPaceTable> fromJson(const QByteArray& json, QString* error);

    // The pace of a server by its host name, compared without regard to case.
    std::optional<ServerPace> find(const QString& host) const;
    const QHash<QString, ServerPace>& servers() const { return m_servers; }

private:
    ServerPaceTable() = default;

    QHash<QString, ServerPace> m_servers;
};

// The bounds a pace has to keep, in the table and in an override alike.
constexpr double kMostRequestsPerSecond = 100;
constexpr int kMostInFlight = 64;

// What can be wrong with a "HOST[:PORT]=RATE[/INFLIGHT]" override.
enum class ServerPaceMistake { Shape, Host, Port, Rate, InFlight };

// A server's pace set by the person: the service it holds for, as
// serverPaceKey() forms it, and the ceiling of its pace.
struct ServerPaceOverride {
    QString service;
    ServerPace pace;
};

struct ParsedServerPace {
    std::optional<ServerPaceOverride> value;
    // Set when there is no value.
    ServerPaceMistake mistake = ServerPaceMistake::Shape;

    // What is wrong, in English words that follow the quoted text on a
    // command line: "... has a port outside 1-65535".
    QString reason() const;
};

// Reads "HOST[:PORT]=RATE[/INFLIGHT]": RATE requests per second above 0 and at
// most kMostRequestsPerSecond, INFLIGHT 1 to kMostInFlight (1 when left out).
ParsedServerPace parseServerPaceOverride(const QString& text);

// The key an override is kept under: "host" without a port, else "host:port"
// ("[v6]:port" for an IPv6 address); the host in lower case.
QString serverPaceKey(const QString& host, std::optional<int> port = std::nullopt);

// The ceiling of a server's pace: the person's override for its host and
// port, else for its host, else the shipped table's; nullopt leaves it at the
// default pace.
std::optional<ServerPace> ceilingFor(const QString& host, int port,
                                     const QHash<QString, ServerPace>& overrides);

} // namespace ds
