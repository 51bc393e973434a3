#include "LocalRdapServer.h"

#include "lookup/RdapBootstrapStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace ds::test {

namespace {

const QByteArray DomainPath = "/domain/";

} // namespace

LocalRdapServer::LocalRdapServer(QObject* parent)
    : QObject(parent) {
    m_http.setHandler([this](const LocalHttpRequest& request) { return answer(request); });
}

void LocalRdapServer::setTaken(const QStringList& aceNames) {
    m_taken = QSet<QString>(aceNames.begin(), aceNames.end());
}

void LocalRdapServer::queueReplies(const QString& aceName,
                                   const QList<LocalHttpResponse>& replies) {
    m_queued[aceName] += replies;
}

QStringList LocalRdapServer::asked() const {
    QStringList names;
    for (const LocalHttpRequest& request : m_http.requests())
        names.append(QString::fromLatin1(request.path.mid(DomainPath.size())));
    return names;
}

LocalHttpResponse LocalRdapServer::domainObject(const QString& aceName) {
    const QJsonObject object{{u"objectClassName"_s, u"domain"_s}, {u"ldhName"_s, aceName}};
    return {200, {{"Content-Type", "application/rdap+json"}}, QJsonDocument(object).toJson()};
}

LocalHttpResponse LocalRdapServer::answer(const LocalHttpRequest& request) {
    const QString name = QString::fromLatin1(request.path.mid(DomainPath.size()));
    LocalHttpResponse response = {404, {{"Content-Type", "application/rdap+json"}}, "{}"};
    if (QList<LocalHttpResponse>& queued = m_queued[name]; !queued.isEmpty())
        response = queued.takeFirst();
    else if (m_taken.contains(name))
        response = domainObject(name);
    response.delayMs += m_delayMs;
    return response;
}

std::shared_ptr<RdapBootstrapStore>
LocalRdapServer::bootstrapStore(const QList<QPair<QStringList, QUrl>>& services,
                                const QString& folder) {
    const QByteArray list = bootstrap(services);
    QFile file(folder + u"/bootstrap.json"_s);
    if (!file.open(QIODevice::WriteOnly) || file.write(list) != list.size())
        qFatal("cannot write the bootstrap");
    RdapBootstrapStore::Options options;
    options.source = file.fileName();
    options.cacheDir = folder;
    return std::make_shared<RdapBootstrapStore>(options);
}

QByteArray LocalRdapServer::bootstrap(const QList<QPair<QStringList, QUrl>>& services,
                                      const QDateTime& publication) {
    QJsonArray list;
    for (const auto& [tlds, base] : services)
        list.append(QJsonArray{QJsonArray::fromStringList(tlds), QJsonArray{base.toString()}});
    const QJsonObject file{{u"version"_s, u"1.0"_s},
                           {u"publication"_s, publication.toUTC().toString(Qt::ISODate)},
                           {u"services"_s, list}};
    return QJsonDocument(file).toJson();
}

} // namespace ds::test
