#include "app/Translation.h"

#include <QCoreApplication>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace ds::Translation {

bool install(QCoreApplication& app, const QString& language) {
    if (language.isEmpty() || language == u"zh"_s)
        return true;
    auto* translator = new QTranslator(&app);
    if (!translator->load(u":/i18n/domainsieve_%1.qm"_s.arg(language))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace ds::Translation
