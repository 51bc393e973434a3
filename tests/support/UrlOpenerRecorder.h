#pragma once

#include <QList>
#include <QUrl>

#include <functional>

namespace ds::test {

// Stands in for the system's URL handler: keeps every address it is given
// and reports the outcome the test chose. Must outlive the opener it hands out.
class UrlOpenerRecorder final {
public:
    explicit UrlOpenerRecorder(bool succeeds = true);

    std::function<bool(const QUrl&)> opener();
    const QList<QUrl>& urls() const { return m_urls; }

private:
    bool m_succeeds;
    QList<QUrl> m_urls;
};

} // namespace ds::test
