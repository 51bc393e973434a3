#include "lookup/DnsCheck.h"

#include "platform/SocketLibrary.h"

#include <QHostAddress>
#include <QSocketNotifier>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <ares.h>
#include <ares_nameser.h>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

// One c-ares channel, its sockets watched by socket notifiers and its time-outs
// by a timer. Replies are handed on through the event loop, never from inside
// c-ares, so whoever receives them may start new queries at once.
class DnsCheck::Channel final {
public:
    using Reply = std::function<void(int status, const QByteArray& reply)>;

    Channel(const QByteArray& server, int tryTimeoutMs) {
        // c-ares opens its sockets itself, before Qt may have opened any.
        platform::startSocketLibrary();
        ares_library_init(ARES_LIB_INIT_ALL);
        ares_options options{};
        options.timeout = tryTimeoutMs;
        options.tries = 2;
        // Hand SERVFAIL and REFUSED on as they are: otherwise c-ares retries
        // and then reports them as a server it could not contact.
        options.flags = ARES_FLAG_NOCHECKRESP;
        options.sock_state_cb = &Channel::socketStateChanged;
        options.sock_state_cb_data = this;
        int status = ares_init_options(&m_channel, &options,
                                       ARES_OPT_FLAGS | ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES |
                                           ARES_OPT_SOCK_STATE_CB);
        if (status != ARES_SUCCESS)
            m_channel = nullptr;
        else if (!server.isEmpty())
            status = ares_set_servers_ports_csv(m_channel, server.constData());
        if (status != ARES_SUCCESS) {
            m_error = QString::fromLatin1(ares_strerror(status));
            return;
        }
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, &m_owner,
                         [this] { process(ARES_SOCKET_BAD, ARES_SOCKET_BAD); });
    }

    ~Channel() {
        if (m_channel)
            ares_destroy(m_channel);
        ares_library_cleanup();
    }

    QString error() const { return m_error; }
    // Queries c-ares has not ended yet.
    int inFlight() const { return m_inFlight; }
    // Ends every query still running; each reports ARES_ECANCELLED.
    void cancelAll() { ares_cancel(m_channel); }

    QString servers() const {
        ares_addr_port_node* nodes = nullptr;
        if (ares_get_servers_ports(m_channel, &nodes) != ARES_SUCCESS)
            return {};
        QStringList result;
        for (const ares_addr_port_node* node = nodes; node; node = node->next) {
            const int port = node->udp_port ? node->udp_port : 53;
            if (node->family == AF_INET) {
                quint32 address = 0;
                std::memcpy(&address, &node->addr.addr4, sizeof address);
                result.append(QHostAddress(qFromBigEndian(address)).toString() + u':' +
                              QString::number(port));
            } else {
                result.append(u'[' + QHostAddress(node->addr.addr6._S6_un._S6_u8).toString() +
                              u"]:" + QString::number(port));
            }
        }
        ares_free_data(nodes);
        return result.join(u',');
    }

    void query(const QByteArray& name, Reply reply) {
        ++m_inFlight;
        ares_query(m_channel, name.constData(), C_IN, T_NS, &Channel::answered,
                   new Ticket{this, std::move(reply)});
        rearm();
    }

private:
    struct Ticket {
        Channel* channel;
        Reply reply;
    };
    struct Watch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    // c-ares calls this exactly once per query, also when the channel is destroyed.
    static void answered(void* arg, int status, int, unsigned char* buffer, int length) {
        std::unique_ptr<Ticket> ticket(static_cast<Ticket*>(arg));
        --ticket->channel->m_inFlight;
        if (status == ARES_EDESTRUCTION)
            return;
        QByteArray reply(reinterpret_cast<const char*>(buffer), buffer ? length : 0);
        QMetaObject::invokeMethod(
            &ticket->channel->m_owner,
            [status, reply = std::move(reply), done = std::move(ticket->reply)] {
                done(status, reply);
            },
            Qt::QueuedConnection);
    }

    static void socketStateChanged(void* data, ares_socket_t socket, int readable, int writable) {
        auto* self = static_cast<Channel*>(data);
        Watch& watch = self->m_watches[socket];
        self->watch(watch.read, socket, QSocketNotifier::Read, readable != 0);
        self->watch(watch.write, socket, QSocketNotifier::Write, writable != 0);
        if (!readable && !writable)
            self->m_watches.erase(socket);
    }

    void watch(QSocketNotifier*& notifier, ares_socket_t socket, QSocketNotifier::Type type,
               bool wanted) {
        if (wanted && !notifier) {
            notifier = new QSocketNotifier(socket, type, &m_owner);
            QObject::connect(notifier, &QSocketNotifier::activated, &m_owner, [this, socket, type] {
                if (type == QSocketNotifier::Read)
                    process(socket, ARES_SOCKET_BAD);
                else
                    process(ARES_SOCKET_BAD, socket);
            });
        } else if (!wanted && notifier) {
            // It may be the very notifier whose signal is being delivered.
            notifier->setEnabled(false);
            notifier->deleteLater();
            notifier = nullptr;
        }
    }

    void process(ares_socket_t readable, ares_socket_t writable) {
        ares_process_fd(m_channel, readable, writable);
        rearm();
    }

    void rearm() {
        timeval wait{};
        if (ares_timeout(m_channel, nullptr, &wait))
            m_timer.start(int(wait.tv_sec * 1000 + (wait.tv_usec + 999) / 1000));
        else
            m_timer.stop();
    }

    QObject m_owner;
    QTimer m_timer;
    std::map<ares_socket_t, Watch> m_watches;
    ares_channel m_channel = nullptr;
    QString m_error;
    int m_inFlight = 0;
};

DnsCheck::DnsCheck(const DnsCheckOptions& options, QObject* parent)
    : QObject(parent)
    , m_options(options) {
    const std::optional<QByteArray> server =
        options.server.isEmpty() ? QByteArray() : resolverAddress(options.server);
    if (!server) {
        m_setupError = u"not an IP address with an optional port: "_s + options.server;
        return;
    }
    auto channel = std::make_unique<Channel>(*server, std::max(1, options.timeLimitMs / 2));
    m_setupError = channel->error();
    if (m_setupError.isEmpty()) {
        m_server = channel->servers();
        m_channel = std::move(channel);
    }
}

DnsCheck::~DnsCheck() = default;

void DnsCheck::check(const QString& aceName, Done done) {
    m_waiting.push_back(Query{aceName, std::move(done)});
    startWaiting();
}

void DnsCheck::startWaiting() {
    while (!m_waiting.empty() && m_running.size() < std::max(1, m_options.parallel)) {
        const quint64 id = ++m_lastId;
        const QByteArray name = m_waiting.front().name.toLatin1();
        m_running.insert(id, std::move(m_waiting.front()));
        m_waiting.pop_front();
        if (!m_channel) {
            QTimer::singleShot(0, this, [this, id] {
                queryEnded(id, DnsOutcome{DnsFinding::ResolverError, {}, m_setupError});
            });
            continue;
        }
        QTimer::singleShot(m_options.timeLimitMs, this, [this, id] { timeUp(id); });
        m_channel->query(name, [this, id, name](int status, const QByteArray& reply) {
            queryEnded(id, readNsReply(name, status, reply));
        });
    }
}

// The name is told at once; its slot stays taken until c-ares lets go of the
// query, so that a slow resolver never has more than `parallel` queries.
// c-ares can only cancel all of a channel's queries: that is done once every
// query still running has run out of time.
void DnsCheck::timeUp(quint64 id) {
    const auto found = m_running.find(id);
    if (found == m_running.end() || !found->done)
        return;
    const Done done = std::exchange(found->done, nullptr);
    const bool allOverdue = std::none_of(m_running.cbegin(), m_running.cend(),
                                         [](const Query& query) { return bool(query.done); });
    // Before the name is told: whoever hears it may start a query at once.
    if (allOverdue && m_channel)
        m_channel->cancelAll();
    done(DnsOutcome{DnsFinding::TimedOut, {}, u"no answer in time"_s});
}

void DnsCheck::queryEnded(quint64 id, const DnsOutcome& outcome) {
    const auto found = m_running.constFind(id);
    if (found == m_running.cend())
        return;
    const Done done = found->done;
    m_running.erase(found);
    startWaiting();
    if (done)
        done(outcome);
}

int DnsCheck::queriesInFlight() const {
    return m_channel ? m_channel->inFlight() : 0;
}

} // namespace ds
