#pragma once

#include "lookup/Answer.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>

namespace ds {

// A table pattern as matched: "{name}" replaced by the escaped ACE name,
// without regard to case, ^ and $ at line ends.
QRegularExpression whoisPattern(const QString& pattern, const QString& aceName);

// One registry's way of answering over WHOIS, as the shipped pattern table
// describes it: the zones it serves, the query it wants and the lines that
// mean "not found", "reserved", "throttled", "blocked" and "registered". The
// table's common lines, which every registry's replies are also read with,
// have the same shape. Registries that run the same server software share its
// lines: their rows name that back end's shape and add only their own.
struct WhoisEntry {
    QString registry;
    // The shared back end whose lines this entry starts from; empty for none.
    QString shape;
    QStringList zones;
    // The registry's own port-43 server for each zone, host[:port].
    QHash<QString, QString> servers;
    // Non-empty when the registry offers no port-43 service, saying why:
    // "web only", "registered addresses only" (an allow-list of clients) or
    // "zones below only" (the zones below it have servers, it has none).
    QString unsupported;
    // "{name}" stands for the ACE name.
    QString query = QStringLiteral("{name}");
    // Captures the name a reply is about, from a field that names the domain;
    // an empty capture means the name stands on the next line.
    QString subject;
    QStringList free;
    QStringList reserved;
    QStringList throttled;
    // The server refuses this client outright (its address is blocked).
    QStringList blocked;
    // The server will not take the query as sent.
    QStringList invalid;
    QStringList taken;

    // The line sent to the server, without its CR LF.
    QByteArray queryFor(const QString& aceName) const;
};

// What one WHOIS reply says about one name.
struct WhoisReading {
    Verdict verdict = Verdict::Failed;
    QString detail;
    // Set when the server refused to answer for now: how long to leave it be.
    // The verdict is then Failed.
    std::optional<int> backoffSeconds;
    // The server refuses this client itself, not just this moment's pace:
    // asking it again soon is pointless. backoffSeconds is then set too.
    bool blocked = false;
};

// The table of reply patterns, and the reading of a reply against it: a
// registry's own lines first, then the common lines most registries share,
// in the order throttle or block, reserved, invalid query, then "not found"
// against signs of a registration. The reading is strict on purpose: only a
// whole line saying "not found", with no sign of a registration anywhere,
// makes a name Free; a reply that matches nothing, that is empty or nearly
// so, or that is about another name is Failed, and a "not found" next to a
// reserved or throttle notice is not Free.
class WhoisPatterns final {
    // The reading's words are Chinese; the window's translation makes them English.
    Q_DECLARE_TR_FUNCTIONS(ds::WhoisPatterns)

public:
    static constexpr int kDefaultBackoffSeconds = 60;
    // The wait a notice names is kept whole, so that the name's failure can
    // say when to ask again (the run itself never waits that long); only a
    // figure past a year is read as a year.
    static constexpr int kLongestBackoffSeconds = 366 * 24 * 3600;

    // The table shipped among the program's resources.
    static const WhoisPatterns& builtIn();
    // nullopt, with the reason in error, when the text is not a valid table.
    static std::optional<WhoisPatterns> fromJson(const QByteArray& json, QString* error);

    // The zone of an ACE name: the longest suffix the table lists ("co.za"),
    // else its last label.
    QString zoneOf(const QString& aceName) const;
    // The entry for that zone; the table's fallback entry when none lists it.
    const WhoisEntry& entryFor(const QString& aceName) const;
    // The registry's own server for a zone, host[:port]; empty when unknown.
    QString knownServer(const QString& zone) const {
        return entryFor(u'.' + zone).servers.value(zone);
    }
    const QList<WhoisEntry>& entries() const { return m_entries; }

    WhoisReading read(const WhoisEntry& entry, const QString& aceName, const QString& reply) const;
    // Why a name of the entry's zones cannot be asked over WHOIS, in words a
    // person reads; for an entry whose unsupported is set.
    static QString whyUnsupported(const WhoisEntry& entry);

private:
    WhoisPatterns() = default;

    // How the entry's reply names its domain, when it does; else why not.
    std::optional<WhoisReading> otherSubject(const WhoisEntry& entry, const QString& aceName,
                                             const QString& text) const;
    WhoisReading verdictOf(const WhoisEntry& entry, const QString& aceName,
                           const QString& text) const;

    QList<WhoisEntry> m_entries;
    QHash<QString, qsizetype> m_entryOfZone;
    qsizetype m_fallback = -1;
    // The lines every registry's replies are read with after its own.
    WhoisEntry m_common;
    QStringList m_backoff;
};

} // namespace ds
