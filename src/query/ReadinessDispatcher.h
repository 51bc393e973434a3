#pragma once

#include "lookup/RegistryLookup.h"
#include "query/RunScheduler.h"

#include <QHash>
#include <QTimer>

#include <deque>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

namespace ds {

class DnsPrecheck;
class LookupKit;
class RunLedger;

// The registries' scheduler. Names are taken in in list order and wait in
// their server's line, holding nothing; whenever a request may go out, the
// next name of a server that may be asked now goes. Within one server names
// go in list order; each server keeps its own pace, and the requests in
// flight across all servers stay within the cap the kit's queue sets. A
// server that refuses to be asked (held past the longest wait, or blocking
// us) ends its waiting names as failed, with its reason.
class ReadinessDispatcher final : public RunScheduler {
    Q_OBJECT
public:
    ReadinessDispatcher(RunLedger& ledger, LookupKit& kit, QObject* parent = nullptr);
    ~ReadinessDispatcher() override;

    // The DNS step's findings gate which entries are taken in; none when unset.
    void setDnsStep(DnsPrecheck* precheck) { m_dns = precheck; }

    void begin(qsizetype firstEntry, std::function<void()> finished) override;
    void setPaused(bool paused) override;
    void abandon() override;
    QList<ServiceQueue::Hold> holds() const override;
    QList<ServerLoad> busiestServers(int count) const override;

    // The first entry taken in that has not ended, or the next to take in.
    qsizetype oldestOpen() const;
    // Something outside changed (the DNS settled an entry): look again soon.
    void wake() { pumpSoon(); }

private:
    struct Waiting {
        qsizetype number;
        RegistryRoute route;
    };

    void pumpSoon();
    void pump();
    void takeIn();
    void lineUp(qsizetype number, const RegistryRoute& route);
    void startReady();
    void endLine(const QString& service, const QString& reason);
    void start(Waiting waiting);
    void onAnswered(RegistryLookup* lookup, qsizetype number, const LookupRecord& record);
    void ended(qsizetype number);
    void checkEnd();

    RunLedger& m_ledger;
    LookupKit& m_kit;
    RegistryRouter m_router;
    DnsPrecheck* m_dns = nullptr;
    std::function<void()> m_finished;
    QHash<QString, std::deque<Waiting>> m_lines;
    // Taken in, not yet ended: waiting, being routed or being asked.
    std::set<qsizetype> m_open;
    qsizetype m_next = 0;
    QSet<QString> m_paced;
    std::vector<std::unique_ptr<RegistryLookup>> m_idle;
    std::unordered_map<RegistryLookup*, std::unique_ptr<RegistryLookup>> m_asking;
    QTimer m_wake;
    quint64 m_run = 0;
    bool m_paused = false;
    bool m_pumpQueued = false;
};

} // namespace ds
