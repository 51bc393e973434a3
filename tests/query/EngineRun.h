#pragma once

#include "FakeRegistrar.h"
#include "MemoryRunBoard.h"
#include "query/QueryEngine.h"
#include "timer/XTimerSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace ds::test {

// One engine over a board in memory, talking to its own registrar service,
// paced fast enough for a test unless the test asks for the real pacing.
struct EngineRun {
    explicit EngineRun(const QString& list, int restartIntervalMs = 20,
                       XTimerSupport& timers = XTimerSupport::instance()) {
        board.setList(list);
        EngineConfig config;
        config.registrar = registrar.url();
        config.restartIntervalMs = restartIntervalMs;
        config.requestTimeLimitMs = 300;
        config.retry.baseDelayMs = 30;
        engine = std::make_unique<QueryEngine>(board, config, timers);
        ended = std::make_unique<QSignalSpy>(engine.get(), &QueryEngine::runEnded);
    }

    bool finishes(int timeoutMs = 10000) {
        return QTest::qWaitFor([this] { return engine->state() == QueryEngine::State::Ready; },
                               timeoutMs);
    }
    bool requestsReach(qsizetype count) {
        return QTest::qWaitFor([&] { return registrar.server().requests().size() >= count; });
    }

    FakeRegistrar registrar;
    MemoryRunBoard board;
    std::unique_ptr<QueryEngine> engine;
    std::unique_ptr<QSignalSpy> ended;
};

inline QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

inline QString numberedList(int first, int count) {
    using namespace Qt::StringLiterals;
    QString text;
    for (int n = first; n < first + count; ++n) {
        text += u"n%1.pw\n"_s.arg(n);
    }
    return text;
}

} // namespace ds::test
