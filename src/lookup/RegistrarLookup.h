#pragma once

#include "lookup/Lookup.h"
#include "lookup/RegistrarClient.h"
#include "lookup/RetryPolicy.h"
#include "lookup/ServiceQueue.h"
#include "lookup/ServiceTurn.h"

#include <QElapsedTimer>
#include <QTimer>

namespace ds {

// Asks the registrar's availability service, sending the entry as written.
// All workers' lookups share one service in the queue, so one request is out
// at a time and turns go first come, first served; a failed request is tried
// again after the growing pause without giving up the turn.
class RegistrarLookup final : public Lookup {
    Q_OBJECT
public:
    RegistrarLookup(ServiceQueue& queue, const QUrl& registrar, int timeLimitMs, RetryPolicy retry,
                    QObject* parent = nullptr);

    // The entry is read when the turn comes, so that a list cut short while
    // the worker waited is seen.
    void ask(Entry entry, Done done) override;
    void abandon() override;
    void setProxy(const ProxyConfig& proxy) { m_client.setProxy(proxy); }

    // The one service every registrar lookup queues at.
    static QString service() { return QStringLiteral("registrar"); }

private:
    void beginTurn(const Entry& entry);
    void sendCheck();
    void onChecked(const RegistrarClient::Reply& reply);

    ServiceTurn m_turn;
    RegistrarClient m_client;
    RetryPolicy m_retry;
    QTimer m_retryTimer;
    LookupRecord m_record;
    QElapsedTimer m_clock;
    Done m_done;
};

} // namespace ds
