#include "app/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace ds::Translation {

namespace {

// Qt's own words (a message box's buttons, the file dialog) in the window's
// language, from Debian's qt6-translations-l10n; without it they stay English.
void installQtWords(QCoreApplication& app, const QString& language) {
    auto* translator = new QTranslator(&app);
    const QString locale = language == u"zh"_s ? u"zh_CN"_s : language;
    if (translator->load(u"qtbase_"_s + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

bool install(QCoreApplication& app, const QString& language) {
    if (language.isEmpty() || language == u"zh"_s) {
        installQtWords(app, u"zh"_s);
        return true;
    }
    auto* translator = new QTranslator(&app);
    if (!translator->load(u":/i18n/domainsieve_%1.qm"_s.arg(language))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace ds::Translation
