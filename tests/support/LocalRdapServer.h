#pragma once

#include "LocalHttpServer.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <memory>

namespace ds {
class RdapBootstrapStore;
}

namespace ds::test {

// An RDAP service on 127.0.0.1: a domain object for each taken name, 404 for
// every other, each after a delay; a name can be given a list of replies to
// hand out first (a 429, a redirect, an HTML page ...).
class LocalRdapServer final : public QObject {
    Q_OBJECT
public:
    explicit LocalRdapServer(QObject* parent = nullptr);

    bool listen() { return m_http.listen(); }
    // "http://127.0.0.1:<port>/"
    QUrl baseUrl() const { return m_http.url(); }
    LocalHttpServer& http() { return m_http; }

    void setTaken(const QStringList& aceNames);
    void setDelayMs(int ms) { m_delayMs = ms; }
    void queueReplies(const QString& aceName, const QList<LocalHttpResponse>& replies);
    // The names asked, in order.
    QStringList asked() const;

    static LocalHttpResponse domainObject(const QString& aceName);

    // A store over such a file written into `folder`, caching there too.
    static std::shared_ptr<RdapBootstrapStore>
    bootstrapStore(const QList<QPair<QStringList, QUrl>>& services, const QString& folder);

    // A bootstrap file naming `base` for each TLD of `tlds`.
    static QByteArray bootstrap(const QList<QPair<QStringList, QUrl>>& services,
                                const QDateTime& publication = QDateTime::currentDateTimeUtc());

private:
    LocalHttpResponse answer(const LocalHttpRequest& request);

    LocalHttpServer m_http;
    QSet<QString> m_taken;
    QHash<QString, QList<LocalHttpResponse>> m_queued;
    int m_delayMs = 0;
};

} // namespace ds::test
