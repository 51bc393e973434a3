#pragma once

#include "app/MessageBoxes.h"

#include <QList>
#include <QStringList>

namespace ds::test {

// Answers the program's message boxes for as long as it lives and keeps what
// each box asked. A box is answered with the next queued button, or with its
// own default button when nothing is queued.
class MessageBoxRecorder final {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();

    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void answerNext(QMessageBox::StandardButton button);

    const QList<MessageBoxRequest>& requests() const { return m_requests; }
    QStringList texts() const;
    void clear() { m_requests.clear(); }

private:
    QList<MessageBoxRequest> m_requests;
    QList<QMessageBox::StandardButton> m_answers;
};

} // namespace ds::test
