#include "lookup/RdapBootstrapStore.h"

#include "http/HttpRequest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// IANA's file as shipped; see resources/README.md.
const QString ShippedCopy = u":/domainsieve/rdap/dns.json"_s;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray httpDate(const QDateTime& time) {
    return QLocale::c().toString(time.toUTC(), u"ddd, dd MMM yyyy hh:mm:ss 'GMT'"_s).toLatin1();
}

bool isAddress(const QString& source) {
    return source.startsWith(u"http://"_s, Qt::CaseInsensitive) ||
           source.startsWith(u"https://"_s, Qt::CaseInsensitive);
}

} // namespace

RdapBootstrapStore::RdapBootstrapStore(Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options)) {}

RdapBootstrapStore::~RdapBootstrapStore() = default;

QString RdapBootstrapStore::cachePath() const {
    return QDir(m_options.cacheDir).filePath(u"rdap-dns.json"_s);
}

void RdapBootstrapStore::load(Ready ready) {
    const auto later = [this, ready](const QString& problem) {
        QMetaObject::invokeMethod(
            this, [ready, problem] { ready(problem); }, Qt::QueuedConnection);
    };
    const QString& source = m_options.source;
    if (!isAddress(source)) {
        if (source.isEmpty()) {
            loadLocal();
        } else if (std::optional<RdapBootstrap> parsed = RdapBootstrap::parse(readAll(source))) {
            use(std::move(*parsed), {}, {});
        }
        later(m_current ? QString() : u"no RDAP bootstrap in %1"_s.arg(source));
        return;
    }
    const bool sent = fetch(QUrl(source), {}, [this, ready, source](HttpRequest& request) {
        std::optional<RdapBootstrap> parsed;
        if (request.replyArrived() && request.status() == 200)
            parsed = RdapBootstrap::parse(request.responseBody().value_or(QByteArray()));
        if (parsed)
            use(std::move(*parsed), {}, {});
        const QString problem =
            request.replyArrived() ? u"HTTP %1"_s.arg(request.status()) : request.failureText();
        ready(m_current ? QString() : u"no RDAP bootstrap from %1: %2"_s.arg(source, problem));
    });
    if (!sent)
        later(u"%1 is no address"_s.arg(source));
}

// The cached copy when it is good and not older than the shipped one.
void RdapBootstrapStore::loadLocal() {
    const QByteArray shippedBytes = readAll(ShippedCopy);
    std::optional<RdapBootstrap> shipped = RdapBootstrap::parse(shippedBytes);
    const QByteArray cachedBytes = readAll(cachePath());
    std::optional<RdapBootstrap> cached = RdapBootstrap::parse(cachedBytes);
    if (cached && (!shipped || cached->publication() >= shipped->publication())) {
        const QDateTime savedAt = QFileInfo(cachePath()).lastModified().toUTC();
        use(std::move(*cached), cachedBytes, savedAt);
    } else if (shipped) {
        const QDateTime publication = shipped->publication();
        use(std::move(*shipped), shippedBytes, publication);
    }
}

void RdapBootstrapStore::refreshIfStale() {
    if (!m_options.source.isEmpty() || m_request || m_currentBytes.isEmpty())
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (m_checkedAt.isValid() && m_checkedAt.msecsTo(now) < m_options.maxAgeMs)
        return;
    fetch(m_options.refreshUrl, m_checkedAt,
          [this](HttpRequest& request) { onRefreshed(request); });
}

bool RdapBootstrapStore::fetch(const QUrl& url, const QDateTime& ifModifiedSince,
                               std::function<void(HttpRequest&)> done) {
    auto request = std::make_unique<HttpRequest>();
    request->setProxy(m_options.proxy);
    try {
        request->open("GET", url.toString(QUrl::FullyEncoded));
        request->setRequestHeader("Accept", "application/json");
        if (ifModifiedSince.isValid())
            request->setRequestHeader("If-Modified-Since", httpDate(ifModifiedSince));
        request->setBodyLimit(qint64(16) << 20);
        request->setTimeLimit(m_options.timeLimitMs);
    } catch (const std::exception&) {
        return false;
    }
    connect(request.get(), &HttpRequest::completed, this, [this, done = std::move(done)] {
        std::unique_ptr<HttpRequest> finished = std::move(m_request);
        done(*finished);
        finished.release()->deleteLater();
    });
    m_request = std::move(request);
    m_request->send();
    return true;
}

void RdapBootstrapStore::onRefreshed(HttpRequest& request) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (request.replyArrived() && request.status() == 304) {
        // Still IANA's newest: keep it, and know so for another week.
        m_checkedAt = now;
        saveToCache();
    } else if (request.replyArrived() && request.status() == 200) {
        const QByteArray bytes = request.responseBody().value_or(QByteArray());
        std::optional<RdapBootstrap> parsed = RdapBootstrap::parse(bytes);
        if (parsed && parsed->publication().isValid() &&
            parsed->publication() >= m_current->publication()) {
            use(std::move(*parsed), bytes, now);
            saveToCache();
        }
    }
    Q_EMIT refreshEnded();
}

void RdapBootstrapStore::use(RdapBootstrap bootstrap, const QByteArray& bytes,
                             const QDateTime& checkedAt) {
    m_current = std::make_shared<const RdapBootstrap>(std::move(bootstrap));
    m_currentBytes = bytes;
    m_checkedAt = checkedAt;
}

// Written whole or not at all, so a crash never leaves half a file; its time
// says when the copy was last known to be IANA's newest.
void RdapBootstrapStore::saveToCache() {
    QDir().mkpath(m_options.cacheDir);
    QSaveFile file(cachePath());
    if (file.open(QIODevice::WriteOnly) && file.write(m_currentBytes) == m_currentBytes.size())
        file.commit();
}

} // namespace ds
