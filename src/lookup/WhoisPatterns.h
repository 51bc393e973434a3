#pragma once

#include "lookup/Answer.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ds {

// One registry's way of answering over WHOIS, as the shipped pattern table
// describes it: the zones it serves, the query it wants and the lines that
// mean "not found", "reserved", "throttled" and "registered".
struct WhoisEntry {
    QString registry;
    QStringList zones;
    // The registry's own port-43 server for each zone, host[:port].
    QHash<QString, QString> servers;
    // Non-empty when the registry offers no port-43 service: why.
    QString unsupported;
    // "{name}" stands for the ACE name.
    QString query = QStringLiteral("{name}");
    // Captures the name a reply is about.
    QString subject;
    QStringList free;
    QStringList reserved;
    QStringList throttled;
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
};

// The table of reply patterns, and the reading of a reply against it. The
// reading is strict on purpose: only a line the registry is known to print
// for an unregistered name makes a name Free; a reply that matches nothing,
// that is empty or nearly so, or that is about another name is Failed, and a
// "not found" next to a reserved or throttle notice is not Free.
class WhoisPatterns final {
public:
    static constexpr int kDefaultBackoffSeconds = 60;
    // A server asking for days would stall the run; an hour is the most we wait.
    static constexpr int kLongestBackoffSeconds = 3600;

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

private:
    WhoisPatterns() = default;

    QList<WhoisEntry> m_entries;
    QHash<QString, qsizetype> m_entryOfZone;
    qsizetype m_fallback = -1;
    QString m_subject;
    QStringList m_throttled;
    QStringList m_backoff;
};

} // namespace ds
