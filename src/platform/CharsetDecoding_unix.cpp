#include "platform/CharsetDecoding.h"

#include <QStringDecoder>

namespace ds::platform {

DecodedText decodeCharset(const QByteArray& bytes, const QByteArray& name) {
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return {};
    DecodedText decoded;
    decoded.knownCharset = true;
    decoded.text = decoder.decode(bytes);
    decoded.valid = !decoder.hasError();
    return decoded;
}

} // namespace ds::platform
