#include "UrlOpenerRecorder.h"

namespace ds::test {

UrlOpenerRecorder::UrlOpenerRecorder(bool succeeds)
    : m_succeeds(succeeds) {}

std::function<bool(const QUrl&)> UrlOpenerRecorder::opener() {
    return [this](const QUrl& url) {
        m_urls.append(url);
        return m_succeeds;
    };
}

} // namespace ds::test
