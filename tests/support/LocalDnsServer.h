#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUdpSocket>

#include <functional>

namespace ds::test {

// How the local DNS service treats one query.
struct LocalDnsReply {
    enum class Kind {
        Delegation,     // NS a.dns.test and b.dns.test for the name itself
        NoSuchName,     // NXDOMAIN
        NoData,         // NOERROR, nothing
        ParentReferral, // NOERROR, the parent's NS in the authority section
        ParentInAnswer, // NOERROR, the parent's NS in the answer section
        ServerFailure,  // SERVFAIL
        Refused,        // REFUSED
        Silence,        // no reply at all
    };
    Kind kind = Kind::Delegation;
    int delayMs = 0;
};

// A DNS service on 127.0.0.1, UDP, on a port of the system's choice, that
// answers each query with a hand-built reply as the test says. It records the
// names asked and how many queries waited for their reply at once.
class LocalDnsServer final : public QObject {
public:
    using Handler = std::function<LocalDnsReply(const QString& name)>;

    explicit LocalDnsServer(QObject* parent = nullptr);

    bool listen();
    // "127.0.0.1:<port>"
    QString address() const;
    // Without a handler every name is delegated at once.
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // One entry per query, in the order they arrived.
    QStringList askedNames() const { return m_asked; }
    int maxOutstanding() const { return m_maxOutstanding; }

private:
    void readQueries();

    QUdpSocket m_socket;
    Handler m_handler;
    QStringList m_asked;
    int m_outstanding = 0;
    int m_maxOutstanding = 0;
};

} // namespace ds::test
