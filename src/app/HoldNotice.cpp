#include "app/HoldNotice.h"

#include "query/QueryEngine.h"

#include <QLabel>

#include <algorithm>

namespace ds {

HoldNotice::HoldNotice(QLabel* line, std::function<QString()> methodText, QObject* parent)
    : QObject(parent)
    , m_line(line)
    , m_methodText(std::move(methodText)) {
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &HoldNotice::refresh);
}

void HoldNotice::watch(QueryEngine* engine) {
    m_engine = engine;
    connect(engine, &QueryEngine::stateChanged, this, [this](RunState state) {
        if (state == RunState::Ready)
            m_timer.stop();
        else if (!m_timer.isActive())
            m_timer.start();
        refresh();
    });
}

QString HoldNotice::text(const QList<ServiceQueue::Hold>& holds) {
    if (holds.isEmpty())
        return {};
    const auto first =
        std::min_element(holds.cbegin(), holds.cend(),
                         [](const auto& a, const auto& b) { return a.until < b.until; });
    const QDateTime now = QDateTime::currentDateTime();
    const QString when = first->until.date() == now.date() ? first->until.toString(u"HH:mm")
                                                           : first->until.toString(u"MM-dd HH:mm");
    return tr("%1 个服务器限流中，最早 %2 恢复").arg(holds.size()).arg(when);
}

void HoldNotice::refresh() {
    const QString held = m_engine ? text(m_engine->holds()) : QString();
    m_line->setText(held.isEmpty() ? m_methodText() : held);
    m_line->setStyleSheet(held.isEmpty() ? QString() : QStringLiteral("color: #c00000;"));
}

} // namespace ds
