#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;

namespace ds {

struct CommandLineOptions;

// The options of how names are looked up, which the window and batch mode
// share: each sets for one start what the settings dialog sets for good.
// --registrar or --registries, --proxy, --workers, --interval,
// --registry-interval, --whois-interval, --time-limit, --rdap-bootstrap,
// --whois-referral, --whois-server, --server-pace, --no-dns and --dns-server.
QList<QCommandLineOption> lookupOptions();
// Reads them into `options`; the reason when a value cannot be used.
QString readLookupOptions(const QCommandLineParser& parser, CommandLineOptions& options);
// The options given that win over a setting of the dialog, e.g. "--proxy".
QStringList dialogOptionsGiven(const CommandLineOptions& options);

} // namespace ds
