#pragma once

#include "config/AppConfig.h"

namespace ds::test {

// A window asking `registrar` (none: the registries) and keeping its journal in
// `folder`, quick to restart a worker.
inline AppConfig configFor(const QString& registrar, const QString& folder) {
    AppConfig config;
    config.registrarAddress = registrar;
    config.restartIntervalMs = 10;
    config.journalFolder = folder;
    return config;
}

} // namespace ds::test
