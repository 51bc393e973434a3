#include "lookup/RegistrarLookup.h"

#include <QDateTime>

#include <utility>

namespace ds {

RegistrarLookup::RegistrarLookup(ServiceQueue& queue, const QUrl& registrar, int timeLimitMs,
                                 RetryPolicy retry, QObject* parent)
    : Lookup(parent)
    , m_turn(queue)
    , m_client(registrar, timeLimitMs)
    , m_retry(retry) {
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &RegistrarLookup::sendCheck);
}

void RegistrarLookup::ask(Entry entry, Done done) {
    abandon();
    m_done = std::move(done);
    m_turn.wait(service(), [this, entry = std::move(entry)] { beginTurn(entry); });
}

void RegistrarLookup::beginTurn(const Entry& entry) {
    const std::optional<QString> text = entry();
    if (!text) {
        m_done = nullptr;
        m_turn.release(ServiceQueue::Outcome::Unanswered);
        return;
    }
    m_clock.start();
    m_record = LookupRecord();
    m_record.entry = *text;
    m_record.sentName = *text;
    sendCheck();
}

void RegistrarLookup::abandon() {
    m_done = nullptr;
    m_client.abandon();
    m_retryTimer.stop();
    m_turn.cancel();
}

void RegistrarLookup::sendCheck() {
    ++m_record.tries;
    m_client.check(m_record.sentName,
                   [this](const RegistrarClient::Reply& reply) { onChecked(reply); });
}

void RegistrarLookup::onChecked(const RegistrarClient::Reply& reply) {
    const int retries = m_record.tries - 1;
    if (reply.answer.verdict == Verdict::Failed && retries < m_retry.maxRetries) {
        m_retryTimer.start(
            m_retry.delayMs(retries + 1, reply.retryAfter, QDateTime::currentDateTimeUtc()));
        return;
    }
    m_record.answer = reply.answer;
    m_record.elapsedMs = m_clock.elapsed();
    // The record is told before the next turn begins, as the run has always
    // shown a result before the next request went out.
    m_turn.releaseAfter([done = std::exchange(m_done, nullptr), this] { done(m_record); });
}

} // namespace ds
