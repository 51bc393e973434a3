#include "ThreadedRegistrar.h"

using namespace Qt::StringLiterals;

namespace ds::bench {

ThreadedHttpServer::ThreadedHttpServer(test::LocalHttpServer::Handler handler) {
    m_thread.start();
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QMetaObject::invokeMethod(
        m_context,
        [this, &handler] {
            m_server = new test::LocalHttpServer;
            m_server->listen();
            m_server->setHandler(std::move(handler));
            m_url = m_server->url();
        },
        Qt::BlockingQueuedConnection);
}

ThreadedHttpServer::~ThreadedHttpServer() {
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            delete m_server;
            delete m_context;
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

qsizetype ThreadedHttpServer::requestCount() const {
    qsizetype count = 0;
    QMetaObject::invokeMethod(
        m_context, [this, &count] { count = m_server->requests().size(); },
        Qt::BlockingQueuedConnection);
    return count;
}

ThreadedRegistrar::ThreadedRegistrar(int delayMs)
    : ThreadedHttpServer([delayMs](const test::LocalHttpRequest& request) {
        test::LocalHttpResponse response;
        response.body = request.body.contains("free") ? "true"_ba : "false"_ba;
        response.delayMs = delayMs;
        return response;
    }) {}

ThreadedRdapServer::ThreadedRdapServer(int delayMs)
    : ThreadedHttpServer([delayMs](const test::LocalHttpRequest&) {
        test::LocalHttpResponse response;
        response.status = 404;
        response.body = "{}";
        response.delayMs = delayMs;
        return response;
    }) {}

} // namespace ds::bench
