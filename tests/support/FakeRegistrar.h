#pragma once

#include "LocalHttpServer.h"

#include <QHash>
#include <QStringList>

#include <functional>

namespace ds::test {

// A registrar availability service on 127.0.0.1. By default a domain is free
// when its name holds "free"; a test can script any other answer per entry
// and per attempt (a status, Retry-After, a delay, a dropped connection).
class FakeRegistrar final {
public:
    // attempt counts the requests for the same entry, from 1.
    using Behaviour = std::function<LocalHttpResponse(const QString& entry, int attempt)>;

    FakeRegistrar();

    QUrl url() const { return m_server.url(); }
    LocalHttpServer& server() { return m_server; }
    void setBehaviour(Behaviour behaviour) { m_behaviour = std::move(behaviour); }

    // The entries in the order their requests arrived.
    QStringList requestedEntries() const;

    static LocalHttpResponse answer(bool free, int delayMs = 0);
    // The entry a form body "domainName=..." carries.
    static QString entryOf(const LocalHttpRequest& request);

private:
    LocalHttpServer m_server;
    Behaviour m_behaviour;
    QHash<QString, int> m_attempts;
};

} // namespace ds::test
