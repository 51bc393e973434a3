#pragma once

#include "lookup/Answer.h"

namespace ds {

// Guesses, from a run's first RDAP answers, that the registries cannot be
// reached at all: the first few came without any reply, before any reply came.
class ReachabilityWatch {
public:
    void reset() {
        m_silent = 0;
        m_heard = false;
    }
    // True once a run, on the answer that makes the network look down.
    bool looksDown(const Answer& answer) {
        // A proxy that fails is said on its own, naming the proxy.
        if (answer.method != Method::Rdap || m_heard || answer.proxyFailed)
            return false;
        if (answer.httpStatus != 0 || answer.verdict != Verdict::Failed) {
            m_heard = answer.httpStatus != 0;
            return false;
        }
        return ++m_silent == SilentAnswers;
    }

private:
    static constexpr int SilentAnswers = 3;
    int m_silent = 0;
    bool m_heard = false;
};

} // namespace ds
