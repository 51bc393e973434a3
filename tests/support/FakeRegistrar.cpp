#include "FakeRegistrar.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace ds::test {

FakeRegistrar::FakeRegistrar()
    : m_behaviour([](const QString& entry, int) { return answer(entry.contains(u"free"_s)); }) {
    m_server.listen();
    m_server.setHandler([this](const LocalHttpRequest& request) {
        const QString entry = entryOf(request);
        return m_behaviour(entry, ++m_attempts[entry]);
    });
}

QStringList FakeRegistrar::requestedEntries() const {
    QStringList entries;
    for (const LocalHttpRequest& request : m_server.requests()) {
        entries.append(entryOf(request));
    }
    return entries;
}

LocalHttpResponse FakeRegistrar::answer(bool free, int delayMs) {
    LocalHttpResponse response;
    response.headers.append({QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/plain")});
    response.body =
        free ? QByteArrayLiteral("{\"avail\":true}") : QByteArrayLiteral("{\"avail\":false}");
    response.delayMs = delayMs;
    return response;
}

QString FakeRegistrar::entryOf(const LocalHttpRequest& request) {
    QByteArray value = request.body;
    if (value.startsWith("domainName=")) {
        value.remove(0, 11);
    }
    value.replace('+', ' ');
    return QUrl::fromPercentEncoding(value);
}

} // namespace ds::test
