#pragma once

namespace ds::bench {

// `domainsieve gen` making 10,000,000 names into nothing: the time and the
// process's peak memory.
void measureGenerate();
// The window's list filled with 1,000,000 generated names: the time, the
// longest the UI thread stayed busy, and the memory it took.
void measureWindowFill();

} // namespace ds::bench
