#include "Launch.h"

#include "config/AppConfig.h"

#include <QCoreApplication>

#include <cstring>

using namespace Qt::StringLiterals;

namespace ds {

void describeApplication() {
    QCoreApplication::setApplicationName(u"domainsieve"_s);
    QCoreApplication::setOrganizationName(u"DomainSieve"_s);
    QCoreApplication::setApplicationVersion(u"" DOMAINSIEVE_VERSION ""_s);
}

LaunchMode launchMode(int argc, const char* const* argv) {
    if (argc > 1 && std::strcmp(argv[1], "check") == 0)
        return LaunchMode::Batch;
    if (argc > 1 && std::strcmp(argv[1], "gen") == 0)
        return LaunchMode::Generate;
    for (int n = 1; n < argc; ++n) {
        for (const char* word : {"-h", "-?", "--help", "-v", "--version"}) {
            if (std::strcmp(argv[n], word) == 0)
                return LaunchMode::Information;
        }
    }
    // A line the window refuses is refused without a display, which the
    // window would need before it could say why.
    QStringList arguments;
    for (int n = 0; n < argc; ++n)
        arguments.append(QString::fromLocal8Bit(argv[n]));
    return parseCommandLine(arguments).status == CommandLineOutcome::Status::Fail
               ? LaunchMode::Information
               : LaunchMode::Window;
}

int printInformation(const QStringList& arguments) {
    return parseCommandLine(arguments).printUnlessRun().value_or(0);
}

} // namespace ds
