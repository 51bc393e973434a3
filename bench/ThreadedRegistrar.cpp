#include "ThreadedRegistrar.h"

#include "LocalHttpServer.h"

using namespace Qt::StringLiterals;

namespace ds::bench {

ThreadedRegistrar::ThreadedRegistrar(int delayMs) {
    m_thread.start();
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QMetaObject::invokeMethod(
        m_context,
        [this, delayMs] {
            m_server = new test::LocalHttpServer;
            m_server->listen();
            m_server->setHandler([delayMs](const test::LocalHttpRequest& request) {
                test::LocalHttpResponse response;
                response.body = request.body.contains("free") ? "true"_ba : "false"_ba;
                response.delayMs = delayMs;
                return response;
            });
            m_url = m_server->url();
        },
        Qt::BlockingQueuedConnection);
}

ThreadedRegistrar::~ThreadedRegistrar() {
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

qsizetype ThreadedRegistrar::requestCount() const {
    qsizetype count = 0;
    QMetaObject::invokeMethod(
        m_context, [this, &count] { count = m_server->requests().size(); },
        Qt::BlockingQueuedConnection);
    return count;
}

} // namespace ds::bench
