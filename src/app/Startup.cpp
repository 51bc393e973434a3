#include "app/Startup.h"

#include "app/AppConfig.h"
#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/Product.h"
#include "app/Settings.h"
#include "app/Skin.h"

#include <QApplication>
#include <QScreen>

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
    QApplication::setApplicationName(u"domainsieve"_s);
    QApplication::setOrganizationName(u"DomainSieve"_s);
    QApplication::setWindowIcon(programIcon());
    Fonts::install();

    const CommandLineOutcome outcome = parseCommandLine(QApplication::arguments());
    switch (outcome.status) {
    case CommandLineOutcome::Status::ShowHelp:
        std::fputs(qPrintable(outcome.message), stdout);
        return 0;
    case CommandLineOutcome::Status::Fail:
        std::fprintf(stderr, "%s\n", qPrintable(outcome.message));
        return 2;
    case CommandLineOutcome::Status::Run:
        break;
    }

    const Settings settings;
    Form1 window(resolveConfig(settings, outcome.options));
    Skin::attach(QApplication::applicationDirPath());
    centreOnScreen(window);
    window.show();
    return app.exec();
}

} // namespace ds
