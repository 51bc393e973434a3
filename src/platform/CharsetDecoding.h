#pragma once

#include <QByteArray>
#include <QString>

namespace ds::platform {

struct DecodedText {
    bool knownCharset = false;
    bool valid = false;
    QString text;
};

// Decodes `bytes` as a whole in the character set a decoder knows as `name`
// ("GB18030", "Big5", "UTF-8", ...). Linux has Qt's ICU decoders for every
// name; Windows has Qt's own Unicode and Latin-1 decoders and the system's
// code pages for the rest, since Qt is built there without ICU.
DecodedText decodeCharset(const QByteArray& bytes, const QByteArray& name);

} // namespace ds::platform
