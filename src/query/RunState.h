#pragma once

namespace ds {

// Where a run stands: what the start button's caption tells the user.
enum class RunState { Ready, Querying, Paused };

} // namespace ds
