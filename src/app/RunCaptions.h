#pragma once

#include "query/RunState.h"

#include <QCoreApplication>
#include <QString>

namespace ds::RunCaptions {

// The start button's captions, which tell the user the run state.
inline QString ready() {
    return QCoreApplication::translate("RunCaptions", "开始查询");
}
inline QString querying() {
    return QCoreApplication::translate("RunCaptions", "暂 停");
}
inline QString paused() {
    return QCoreApplication::translate("RunCaptions", "继 续");
}
inline QString of(RunState state) {
    switch (state) {
    case RunState::Querying:
        return querying();
    case RunState::Paused:
        return paused();
    case RunState::Ready:
        break;
    }
    return ready();
}

} // namespace ds::RunCaptions
