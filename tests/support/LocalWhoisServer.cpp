#include "LocalWhoisServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace ds::test {

LocalWhoisServer::LocalWhoisServer(QObject* parent)
    : QObject(parent) {
    m_clock.start();
    connect(&m_server, &QTcpServer::newConnection, this, &LocalWhoisServer::accept);
}

bool LocalWhoisServer::listen() {
    return m_server.listen(QHostAddress::LocalHost, 0);
}

void LocalWhoisServer::accept() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_mostInFlight = std::max(m_mostInFlight, ++m_inFlight);
        struct Pending {
            QByteArray bytes;
            bool answered = false;
        };
        auto pending = std::make_shared<Pending>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, pending] {
            pending->bytes += socket->readAll();
            const qsizetype end = pending->bytes.indexOf("\r\n");
            if (end >= 0 && !pending->answered) {
                pending->answered = true;
                serve(socket, pending->bytes.left(end));
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --m_inFlight;
            socket->deleteLater();
        });
    }
}

void LocalWhoisServer::serve(QTcpSocket* socket, const QByteArray& query) {
    m_queries.append(query);
    m_arrivals.append(m_clock.elapsed());
    const LocalWhoisAnswer answer = m_handler ? m_handler(query) : LocalWhoisAnswer{};
    QTimer::singleShot(answer.delayMs, this, [answer, guarded = QPointer<QTcpSocket>(socket)] {
        // The client may have given up while the answer was delayed.
        if (!guarded || guarded->state() != QAbstractSocket::ConnectedState)
            return;
        switch (answer.action) {
        case LocalWhoisAnswer::Action::Reply:
            guarded->write(answer.reply);
            guarded->disconnectFromHost();
            break;
        case LocalWhoisAnswer::Action::CutOff:
            guarded->write(answer.reply);
            break;
        case LocalWhoisAnswer::Action::Silent:
            break;
        case LocalWhoisAnswer::Action::CloseAtOnce:
            guarded->disconnectFromHost();
            break;
        }
    });
}

} // namespace ds::test
