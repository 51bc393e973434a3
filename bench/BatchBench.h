#pragma once

namespace ds::bench {

// The batch mode over a million names through the real executable (names per
// second, peak memory), the engine's own time per name in a batch run, and
// what the journal adds to each result line in the window.
void measureBatch();
void measureJournal();

} // namespace ds::bench
