#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace ds {

// IANA's list of RDAP servers for domain names (RFC 9224): which base URL
// answers for which TLD. Entries and names are compared in lower-case ACE form.
class RdapBootstrap final {
public:
    // Nullopt for anything that is not such a file or lists no service, so
    // that a broken copy can never replace a good one.
    static std::optional<RdapBootstrap> parse(const QByteArray& json);

    // The base URL (ending in "/") of the server for an ACE name: the entry
    // that matches the longest suffix of whole labels, https preferred among
    // its URLs. Nullopt when no entry matches.
    std::optional<QUrl> baseUrlFor(const QString& aceName) const;

    // When IANA published this copy; invalid when the file does not say.
    QDateTime publication() const { return m_publication; }
    qsizetype entryCount() const { return m_bases.size(); }
    // Every entry the list names, in no particular order.
    QStringList zones() const { return m_bases.keys(); }

private:
    QHash<QString, QUrl> m_bases;
    QDateTime m_publication;
};

} // namespace ds
