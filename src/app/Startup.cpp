#include "app/Startup.h"

#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/Product.h"
#include "app/RunRestore.h"
#include "app/Skin.h"
#include "app/Translation.h"
#include "common/DataFolders.h"
#include "config/AppConfig.h"
#include "config/Settings.h"
#include "http/HttpRequest.h"
#include "platform/Keyring.h"
#include "platform/OutputSignals.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QScreen>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Says which skin and help page were found, for anyone wondering why an
// installed copy looks or links the way it does.
Q_LOGGING_CATEGORY(lcStartup, "domainsieve.startup", QtWarningMsg)

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
    // A journal that cannot grow is then reported, not the end of the program.
    letFailedWritesReturnErrors();
    // Lets a Wayland desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(DOMAINSIEVE_APP_ID));
    QApplication::setWindowIcon(programIcon());
    Fonts::install();

    const CommandLineOutcome outcome = parseCommandLine(QApplication::arguments());
    if (const std::optional<int> code = outcome.printUnlessRun())
        return *code;

    const std::unique_ptr<Keyring> keyring = systemKeyring();
    Settings settings;
    settings.useKeyring(keyring.get());
    settings.movePasswordToKeyring();
    AppConfig config = resolveConfig(settings, outcome.options);
    config.journalFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // Texts are translated as they are set: the translator comes before the window.
    Translation::install(app, config.language);
    int code = 0;
    {
        Form1 window(config);
        window.useSettingsStore(settings, outcome.options);
        const QString skinFolder = DataFolders::holding(Skin::fileName());
        if (Skin::attach(skinFolder))
            qCInfo(lcStartup).noquote() << "skin:" << QDir(skinFolder).filePath(Skin::fileName());
        qCInfo(lcStartup).noquote() << "tools page:" << config.toolsUrl.toString();
        qCInfo(lcStartup).noquote() << "support page:" << config.supportUrl.toString();
        centreOnScreen(window);
        window.show();
        offerUnfinishedRun(window);
        code = app.exec();
    }
    // The window's requests are gone; what Qt's transfer thread still holds
    // goes now, while the application can still free it.
    releaseThreadNetwork();
    return code;
}

} // namespace ds
