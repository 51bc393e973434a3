#include "app/Startup.h"

#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/Product.h"
#include "app/RunRestore.h"
#include "app/Skin.h"
#include "config/AppConfig.h"
#include "config/Settings.h"

#include <QApplication>
#include <QScreen>
#include <QStandardPaths>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace

int runProgram(QApplication& app) {
    describeApplication();
    QApplication::setWindowIcon(programIcon());
    Fonts::install();

    const CommandLineOutcome outcome = parseCommandLine(QApplication::arguments());
    switch (outcome.status) {
    case CommandLineOutcome::Status::ShowHelp:
    case CommandLineOutcome::Status::ShowVersion:
        std::fputs(qPrintable(outcome.message), stdout);
        return 0;
    case CommandLineOutcome::Status::Fail:
        std::fprintf(stderr, "%s\n", qPrintable(outcome.message));
        return 2;
    case CommandLineOutcome::Status::Run:
        break;
    }

    const Settings settings;
    AppConfig config = resolveConfig(settings, outcome.options);
    config.journalFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    Form1 window(std::move(config));
    Skin::attach(QApplication::applicationDirPath());
    centreOnScreen(window);
    window.show();
    offerUnfinishedRun(window);
    return app.exec();
}

} // namespace ds
