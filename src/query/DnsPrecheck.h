#pragma once

#include "lookup/Answer.h"
#include "lookup/DnsCheck.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace ds {

class RunBoard;

// Asks the DNS about a run's names ahead of the registries, in list order, up
// to the parallel limit at once. A name with name servers of its own is taken:
// its record is handed over at once and the scheduler passes it by, so the
// registries, which allow a few requests a second, only hear of the names that
// might be free. Any other finding proves nothing and leaves the name to its
// registry, as without this step.
class DnsPrecheck final : public QObject {
public:
    enum class Finding {
        // Not asked yet, or no answer yet.
        Pending,
        // Delegated: the record has been handed over.
        Taken,
        // Anything else: the registry must be asked.
        AskRegistry,
    };
    struct Hooks {
        // A record the DNS settled; the precheck is done with the entry.
        std::function<void(qsizetype number, const LookupRecord& record)> taken;
        // The entry's finding is no longer Pending, whatever it is.
        std::function<void(qsizetype number)> settled;
        // The first entry the scheduler has not ended: the precheck stays
        // within a window ahead of it, so that a stream holds few names.
        std::function<qsizetype()> oldestOpen;
        // Said once a run, when the resolver answers none of the first names;
        // the rest of the run then asks the registries straight away.
        std::function<void()> silent;
    };

    DnsPrecheck(DnsCheckOptions options, RunBoard& board, Hooks hooks, QObject* parent = nullptr);
    ~DnsPrecheck() override;

    void start(qsizetype firstEntry);
    // While paused no new name is asked; answers on their way still count.
    void setPaused(bool paused);
    // Answers still on their way are dropped.
    void stop();
    // Asks further names when the run has moved on.
    void moreRoom();

    Finding finding(qsizetype number) const;
    // The one call a scheduler makes before it takes an entry in: asks
    // further names when there is room, and says what the DNS found.
    Finding admit(qsizetype number);

private:
    enum class State : quint8 { Waiting, Asking, Taken, AskRegistry };

    void askMore();
    void onOutcome(quint64 run, qsizetype number, const LookupRecord& base,
                   const DnsOutcome& outcome);
    void settle(qsizetype number, State state);
    State stateOf(qsizetype number) const;

    DnsCheckOptions m_options;
    RunBoard& m_board;
    Hooks m_hooks;
    std::unique_ptr<DnsCheck> m_check;
    // Entries from m_first on; later ones are Waiting. A byte each: a million
    // names take a megabyte.
    std::vector<State> m_states;
    qsizetype m_first = 0;
    qsizetype m_next = 0;
    int m_asking = 0;
    quint64 m_run = 0;
    bool m_paused = false;
    bool m_running = false;
    bool m_delivering = false;
    // Until the resolver answers once, how many names got no answer at all.
    int m_unanswered = 0;
    bool m_heard = false;
    bool m_gaveUp = false;
};

} // namespace ds
