#include "MessageBoxRecorder.h"

namespace ds::test {

MessageBoxRecorder::MessageBoxRecorder() {
    MessageBoxes::setHook([this](const MessageBoxRequest& request) {
        m_requests.append(request);
        return m_answers.isEmpty() ? request.defaultButton : m_answers.takeFirst();
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    MessageBoxes::setHook({});
}

void MessageBoxRecorder::answerNext(QMessageBox::StandardButton button) {
    m_answers.append(button);
}

QStringList MessageBoxRecorder::texts() const {
    QStringList result;
    for (const MessageBoxRequest& request : m_requests)
        result.append(request.text);
    return result;
}

} // namespace ds::test
