#include "Launch.h"
#include "app/Startup.h"
#include "batch/BatchRun.h"
#include "batch/GenerateCommand.h"
#include "platform/WindowConsole.h"

#include <QApplication>
#include <QCoreApplication>

// The application object is chosen before one exists: a batch run and the
// help or version text need no display, so they never start the GUI.
int main(int argc, char* argv[]) {
    switch (ds::launchMode(argc, argv)) {
    case ds::LaunchMode::Batch: {
        QCoreApplication app(argc, argv);
        ds::describeApplication();
        return ds::runBatch(QCoreApplication::arguments());
    }
    case ds::LaunchMode::Generate: {
        QCoreApplication app(argc, argv);
        ds::describeApplication();
        return ds::runGenerate(QCoreApplication::arguments());
    }
    case ds::LaunchMode::Information: {
        QCoreApplication app(argc, argv);
        ds::describeApplication();
        return ds::printInformation(QCoreApplication::arguments());
    }
    case ds::LaunchMode::Window:
        break;
    }
    ds::platform::releaseConsoleOfWindow();
    QApplication app(argc, argv);
    ds::describeApplication();
    return ds::runProgram(app);
}
