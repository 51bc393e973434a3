#pragma once

namespace ds::bench {

// The DNS step's gain: 10,000 names, nine in ten delegated at a local DNS
// service answering after 5 ms, against one local RDAP server with 200 ms
// between requests; the time with and without the DNS step, and how many
// names still reached the registry.
void measureDnsStep();

} // namespace ds::bench
