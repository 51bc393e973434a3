#include "LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

namespace ds::test {

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

bool statusAllowsBody(int status) {
    return status >= 200 && status != 204 && status != 304;
}

QByteArray headerValue(const LocalHttpHeaders& headers, const QByteArray& name) {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

} // namespace

QByteArray LocalHttpRequest::header(const QByteArray& name) const {
    return headerValue(headers, name);
}

// One client connection: reads requests one after the other and answers each
// before it looks at the next, as HTTP/1.1 without pipelining expects.
class LocalHttpConnection final : public QObject {
public:
    LocalHttpConnection(LocalHttpServer& server, QTcpSocket* socket)
        : QObject(socket)
        , m_server(server)
        , m_socket(socket) {
        connect(socket, &QTcpSocket::readyRead, this, [this] {
            m_buffer += m_socket->readAll();
            serveNext();
        });
        connect(socket, &QTcpSocket::disconnected, this, [this] {
            if (m_waiting)
                m_server.answered();
            m_waiting = false;
            m_socket->deleteLater();
        });
    }

private:
    // Takes one whole request off the buffer; nullopt while it is incomplete.
    // A request that cannot be parsed closes the connection.
    std::optional<LocalHttpRequest> takeRequest() {
        const qsizetype headEnd = m_buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return std::nullopt;
        const QList<QByteArray> lines = m_buffer.left(headEnd).split('\n');
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        if (requestLine.size() != 3) {
            m_socket->abort();
            return std::nullopt;
        }
        LocalHttpRequest request;
        request.method = requestLine.at(0);
        const QByteArray target = requestLine.at(1);
        const qsizetype question = target.indexOf('?');
        request.path = question < 0 ? target : target.left(question);
        request.query = question < 0 ? QByteArray() : target.mid(question + 1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines.at(i).indexOf(':');
            if (colon > 0)
                request.headers.append(
                    {lines.at(i).left(colon).trimmed(), lines.at(i).mid(colon + 1).trimmed()});
        }
        const qsizetype length = request.header("Content-Length").toLongLong();
        if (m_buffer.size() < headEnd + 4 + length)
            return std::nullopt;
        request.body = m_buffer.mid(headEnd + 4, length);
        m_buffer.remove(0, headEnd + 4 + length);
        return request;
    }

    void serveNext() {
        if (m_waiting)
            return;
        std::optional<LocalHttpRequest> request = takeRequest();
        if (!request)
            return;
        m_waiting = true;
        const LocalHttpResponse response = m_server.received(*request);
        if (response.action == LocalHttpResponse::Action::NeverAnswer)
            return;
        QTimer::singleShot(response.delayMs, this,
                           [this, response, method = request->method,
                            closeAsked = request->header("Connection").toLower() == "close"] {
                               answer(response, method, closeAsked);
                           });
    }

    void answer(const LocalHttpResponse& response, const QByteArray& method, bool closeAsked) {
        // The client may have gone while the answer was delayed.
        if (!m_waiting)
            return;
        m_waiting = false;
        m_server.answered();
        if (response.action == LocalHttpResponse::Action::DropConnection) {
            m_socket->abort();
            return;
        }
        const bool endsByClose = response.omitBody && statusAllowsBody(response.status);
        const bool close = closeAsked || endsByClose;
        QByteArray message = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                             reasonPhrase(response.status) + "\r\n";
        for (const auto& [name, value] : response.headers)
            message += name + ": " + value + "\r\n";
        if (!response.omitBody && headerValue(response.headers, "Content-Length").isEmpty())
            message += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        if (close)
            message += "Connection: close\r\n";
        message += "\r\n";
        if (!response.omitBody && method != "HEAD")
            message += response.body;
        m_socket->write(message);
        if (close)
            m_socket->disconnectFromHost();
        else
            serveNext();
    }

    LocalHttpServer& m_server;
    QTcpSocket* m_socket;
    QByteArray m_buffer;
    bool m_waiting = false;
};

LocalHttpServer::LocalHttpServer(QObject* parent)
    : QObject(parent) {
    m_clock.start();
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::acceptConnections);
}

bool LocalHttpServer::listen(const QHostAddress& address) {
    return m_server.listen(address, 0);
}

QUrl LocalHttpServer::url() const {
    QUrl result;
    result.setScheme(QStringLiteral("http"));
    result.setHost(m_server.serverAddress().toString());
    result.setPort(port());
    result.setPath(QStringLiteral("/"));
    return result;
}

LocalHttpResponse LocalHttpServer::received(const LocalHttpRequest& request) {
    LocalHttpRequest recorded = request;
    recorded.arrivedMs = m_clock.elapsed();
    m_requests.append(recorded);
    m_maxConcurrent = std::max(m_maxConcurrent, ++m_outstanding);
    return m_handler ? m_handler(recorded) : LocalHttpResponse{};
}

void LocalHttpServer::answered() {
    --m_outstanding;
}

void LocalHttpServer::acceptConnections() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        new LocalHttpConnection(*this, socket);
    }
}

} // namespace ds::test
