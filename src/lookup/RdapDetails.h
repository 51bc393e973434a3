#pragma once

#include "lookup/Answer.h"

#include <QJsonObject>

namespace ds {

// What an RDAP domain object (RFC 9083) tells about a registered name: its
// status array as EPP codes, its registration, expiration and last-changed
// events, and the entity with the role "registrar" (its vCard "fn" and IANA
// id). A part that is missing or not of the form RFC 9083 gives leaves its
// field empty; nothing here can fail.
Details rdapDetails(const QJsonObject& domain);

} // namespace ds
