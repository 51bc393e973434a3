#pragma once

#include "LocalHttpServer.h"

#include <QThread>
#include <QUrl>

namespace ds::bench {

// A local HTTP service on its own thread, answering as its handler says, so
// that the UI thread's figures are the program's alone.
class ThreadedHttpServer {
public:
    explicit ThreadedHttpServer(test::LocalHttpServer::Handler handler);
    ~ThreadedHttpServer();
    ThreadedHttpServer(const ThreadedHttpServer&) = delete;
    ThreadedHttpServer& operator=(const ThreadedHttpServer&) = delete;

    QUrl url() const { return m_url; }
    qsizetype requestCount() const;

private:
    QThread m_thread;
    QObject* m_context = nullptr;
    test::LocalHttpServer* m_server = nullptr;
    QUrl m_url;
};

// A registrar service answering every check after a fixed delay: names with
// "free" in them are free.
class ThreadedRegistrar final : public ThreadedHttpServer {
public:
    explicit ThreadedRegistrar(int delayMs);
};

// The shape of a busy registry's RDAP reply for a registered name, some 2 KB.
const QByteArray& takenRdapReply();

// An RDAP service answering every domain query after a fixed delay: with 404
// (free), or with a registry's usual domain object (statuses, events, a
// registrar entity with its vCard, name servers, notices).
class ThreadedRdapServer final : public ThreadedHttpServer {
public:
    explicit ThreadedRdapServer(int delayMs, bool taken = false);
};

} // namespace ds::bench
