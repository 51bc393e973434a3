#pragma once

#include "lookup/ServiceQueue.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QLabel;

namespace ds {

class QueryEngine;

// While servers hold a run's names back, the top strip's method line says how
// many and when the first is free again; otherwise it names the method.
class HoldNotice final : public QObject {
    Q_OBJECT
public:
    HoldNotice(QLabel* line, std::function<QString()> methodText, QObject* parent = nullptr);

    // Follows this engine's runs from now on.
    void watch(QueryEngine* engine);
    // "3 个服务器限流中，最早 12:40 恢复"; empty when none holds.
    static QString text(const QList<ServiceQueue::Hold>& holds);

private:
    void refresh();

    QLabel* m_line;
    std::function<QString()> m_methodText;
    QPointer<QueryEngine> m_engine;
    QTimer m_timer;
};

} // namespace ds
