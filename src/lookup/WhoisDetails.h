#pragma once

#include "lookup/Answer.h"

#include <QStringView>

namespace ds {

// What a WHOIS reply tells about a registered name, read from the lines most
// registries share ("Registrar:", "Creation Date:", "Registry Expiry Date:",
// "Domain Status:" ...) and from the registries' own forms of them (CNNIC's
// "Registration Time", JPRS's "[登録年月日]", CCTLD RU's "paid-till", a
// registrar's name on the line below "Registrar:" ...), each date in the
// registry's own format. The first readable value of a field counts; a field
// no line gives stays empty.
Details whoisDetails(QStringView reply);

} // namespace ds
