#pragma once

#include <QString>

class QCoreApplication;

namespace ds::Translation {

// The window speaks Chinese whatever the locale; another language is used
// only when a person asks for it. Installs the embedded translation for
// `language` ("en"); "zh" and the empty string keep Chinese. Returns false for
// a language nobody translated into, leaving the Chinese texts in place.
// Call it before any window is built: texts are translated as they are set.
bool install(QCoreApplication& app, const QString& language);

} // namespace ds::Translation
