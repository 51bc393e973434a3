#pragma once

namespace ds::bench {

// Reads every WHOIS reply written for the tests against the shipped pattern
// table and prints, for each TLD, whether its free, taken, reserved and
// throttled replies are recognised, and how many traps were read as failures.
void printWhoisCoverage();

} // namespace ds::bench
