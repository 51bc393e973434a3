#pragma once

#include <QUrl>

#include <memory>
#include <vector>

class QTemporaryDir;

namespace ds {
class RdapBootstrapStore;
}

namespace ds::bench {

// A bootstrap naming one server per TLD, tld0, tld1 ..., kept in `folder`.
std::shared_ptr<RdapBootstrapStore> bootstrapFor(const QTemporaryDir& folder,
                                                 const std::vector<QUrl>& servers);

// The registries' pacing: names per second against three and against one
// local RDAP server, each answering after 50 ms with 200 ms between requests,
// set beside the per-server limits; and the engine's own time per name over
// lists of 1,000 to 1,000,000 names asked of the registries.
void measureRdapPacing();
// Thirty servers at the default settings, names interleaved: names per second
// against the servers' sum, then again with one server holding everything
// back for an hour.
void measureDispatch();
void measureRdapStepCost();
// What reading a registered name's details adds to reading its reply.
void measureRdapReplyReading();

} // namespace ds::bench
