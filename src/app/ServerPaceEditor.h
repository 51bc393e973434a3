#pragma once

#include "app/SettingsForm.h"

#include <QColor>
#include <QGroupBox>
#include <QList>

class QTableWidget;

namespace ds {

// "单个服务器的速率上限" in the settings dialog: one row per server whose pace
// the person sets (server, requests per second, requests in flight), each
// saying in its last column what keeps it from being saved.
class ServerPaceEditor final : public QGroupBox {
    Q_OBJECT

public:
    explicit ServerPaceEditor(QWidget* parent = nullptr);

    void setRows(const QList<SettingsForm::ServerPaceRow>& rows);
    QList<SettingsForm::ServerPaceRow> rows() const;

Q_SIGNALS:
    // A row was typed into, added or removed.
    void edited();

private:
    void showProblems();

    QTableWidget* m_table = nullptr;
};

// The red of the words saying what is wrong with a value.
QColor problemColour();

} // namespace ds
