#pragma once

#include <QThread>
#include <QUrl>

namespace ds::test {
class LocalHttpServer;
}

namespace ds::bench {

// A registrar service on its own thread, answering every check after a fixed
// delay, so that the UI thread's figures are the program's alone.
class ThreadedRegistrar final {
public:
    explicit ThreadedRegistrar(int delayMs);
    ~ThreadedRegistrar();
    ThreadedRegistrar(const ThreadedRegistrar&) = delete;
    ThreadedRegistrar& operator=(const ThreadedRegistrar&) = delete;

    QUrl url() const { return m_url; }
    qsizetype requestCount() const;

private:
    QThread m_thread;
    QObject* m_context = nullptr;
    test::LocalHttpServer* m_server = nullptr;
    QUrl m_url;
};

} // namespace ds::bench
