#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace ds::platform {

// Turns a person's request to stop a console run into a call of `onStop` from
// the event loop of the calling thread, never from inside a signal handler or
// the system's handler thread: Ctrl+C everywhere, SIGTERM on Unix, Ctrl+Break
// on Windows. The system's default handling returns when the returned watch
// is destroyed. One watch at a time.
std::unique_ptr<QObject> watchStopRequests(std::function<void()> onStop);

} // namespace ds::platform
