#pragma once

#include "http/ProxyConfig.h"
#include "lookup/RdapBootstrap.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

namespace ds {

class HttpRequest;

// Which bootstrap the registry lookups use, and keeping it current: the
// shipped copy or the newer one cached from IANA, refreshed in the background
// once a week; or, when a source is given (a file or an address), that alone.
class RdapBootstrapStore final : public QObject {
    Q_OBJECT
public:
    struct Options {
        // A file or http(s) address replacing IANA's list; empty for the
        // shipped copy, its cache and the weekly refresh.
        QString source;
        // Where the refreshed copy is kept (the program's cache folder).
        QString cacheDir;
        QUrl refreshUrl = QUrl(QStringLiteral("https://data.iana.org/rdap/dns.json"));
        qint64 maxAgeMs = qint64(7) * 24 * 3600 * 1000;
        int timeLimitMs = 30000;
        ProxyConfig proxy;
    };
    // Called once the bootstrap is there, with an empty text, or with why none
    // could be had.
    using Ready = std::function<void(const QString& problem)>;

    explicit RdapBootstrapStore(Options options, QObject* parent = nullptr);
    ~RdapBootstrapStore() override;

    // Reads the copy to use; an address given as the source is fetched first.
    // `ready` always runs on a later turn of the event loop.
    void load(Ready ready);
    // Null until load() succeeded. A refresh swaps in a new one; a holder of
    // the old one keeps it whole.
    std::shared_ptr<const RdapBootstrap> current() const { return m_current; }

    // Without a source, fetches IANA's list when the copy in use is older
    // than the maximum age, asking only for a newer one. A failed or broken
    // download changes nothing and says nothing.
    void refreshIfStale();

Q_SIGNALS:
    // A refresh ended, whether or not it replaced the copy.
    void refreshEnded();

private:
    QString cachePath() const;
    void loadLocal();
    // False when the address cannot even be sent.
    bool fetch(const QUrl& url, const QDateTime& ifModifiedSince,
               std::function<void(HttpRequest&)> done);
    void onRefreshed(HttpRequest& request);
    void use(RdapBootstrap bootstrap, const QByteArray& bytes, const QDateTime& checkedAt);
    void saveToCache();

    Options m_options;
    std::shared_ptr<const RdapBootstrap> m_current;
    QByteArray m_currentBytes;
    // When the copy in use was last known to be IANA's newest.
    QDateTime m_checkedAt;
    std::unique_ptr<HttpRequest> m_request;
};

} // namespace ds
