#pragma once

namespace ds::bench {

// A server's own pace against the engine's: 600 names asked of one local RDAP
// server that admits 10 requests a second and 4 at once and answers 429 past
// that, once with a ceiling of 20 a second and 8 in flight set for it and once
// with none. Prints names per second, when the pace first reached 85 % of the
// server's, and the share of requests refused.
void measureServerPaces();

} // namespace ds::bench
