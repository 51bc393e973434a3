#pragma once

#include <QString>

namespace ds::RunCaptions {

// The start button's captions, which tell the user the run state.
inline QString ready() {
    return QStringLiteral("开始查询");
}
inline QString querying() {
    return QStringLiteral("暂 停");
}
inline QString paused() {
    return QStringLiteral("继 续");
}

} // namespace ds::RunCaptions
