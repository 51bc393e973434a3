#include "lookup/WhoisClient.h"

#include "http/ProxyFailure.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// The code point of the valid UTF-8 sequence at bytes[i], and its length;
// length 0 when the bytes there are not one.
std::pair<char32_t, int> utf8At(const QByteArray& bytes, qsizetype i) {
    const auto byte = [&](qsizetype at) {
        return static_cast<unsigned char>(bytes.at(at));
    };
    const unsigned char lead = byte(i);
    int length = 0;
    char32_t point = 0;
    char32_t least = 0;
    if (lead < 0x80)
        return {lead, 1};
    if ((lead & 0xE0) == 0xC0)
        length = 2, point = lead & 0x1F, least = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, point = lead & 0x0F, least = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, point = lead & 0x07, least = 0x10000;
    else
        return {0, 0};
    if (i + length > bytes.size())
        return {0, 0};
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return {0, 0};
        point = (point << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    if (point < least || point > 0x10FFFF || surrogate)
        return {0, 0};
    return {point, length};
}

} // namespace

QString decodeWhoisText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto [point, length] = utf8At(bytes, i);
        if (length == 0) {
            text.append(QChar(char16_t(static_cast<unsigned char>(bytes.at(i)))));
            ++i;
            continue;
        }
        const char32_t asArray[1] = {point};
        text.append(QString::fromUcs4(asArray, 1));
        i += length;
    }
    return text;
}

WhoisClient::WhoisClient(QObject* parent)
    : QObject(parent) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { fail(tr("超过请求时限 %1 秒").arg(m_timeLimitMs / 1000.0)); });
}

WhoisClient::~WhoisClient() {
    abandon();
}

void WhoisClient::ask(const WhoisAddress& server, const QByteArray& query) {
    abandon();
    m_query = query + "\r\n";
    m_bytes.clear();
    m_socket = new QTcpSocket(this);
    if (m_proxy)
        m_socket->setProxy(*m_proxy);
    connect(m_socket, &QTcpSocket::connected, this, [this] { m_socket->write(m_query); });
    connect(m_socket, &QTcpSocket::readyRead, this, &WhoisClient::received);
    connect(m_socket, &QTcpSocket::disconnected, this, &WhoisClient::closed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &WhoisClient::socketFailed);
    m_deadline.start(m_timeLimitMs);
    m_socket->connectToHost(server.host, server.port);
}

void WhoisClient::abandon() {
    m_deadline.stop();
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
}

void WhoisClient::received() {
    m_bytes += m_socket->readAll();
    overCap();
}

void WhoisClient::closed() {
    m_bytes += m_socket->readAll();
    if (!overCap())
        finish({true, decodeWhoisText(m_bytes), {}});
}

bool WhoisClient::overCap() {
    if (m_bytes.size() <= kReplyCapBytes)
        return false;
    fail(tr("回复超过 %1 KiB，不予采信").arg(kReplyCapBytes / 1024));
    return true;
}

void WhoisClient::socketFailed(QAbstractSocket::SocketError error) {
    // A close by the server is how a WHOIS reply ends; disconnected() follows.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    const QNetworkProxy proxy = m_socket->proxy();
    const std::optional<ProxyFault> fault = proxyFault(error);
    if (fault && proxy.type() != QNetworkProxy::NoProxy)
        fail(proxyFailureText(proxyAddress(proxy), *fault, false, !proxy.user().isEmpty()), true);
    else
        fail(tr("连接失败：%1").arg(m_socket->errorString()));
}

void WhoisClient::fail(const QString& error, bool atProxy) {
    finish({false, {}, error, atProxy});
}

void WhoisClient::finish(const WhoisReply& reply) {
    abandon();
    emit finished(reply);
}

} // namespace ds
