#include "http/BytesToText.h"

#include "common/Error.h"
#include "platform/CharsetDecoding.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

// Decoder names are printable ASCII; anything else (a NUL above all, which would
// cut the name short on its way to the decoder) names no character set.
bool isPrintableAscii(const QString& name) {
    return std::all_of(name.begin(), name.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7f; });
}

QByteArray decoderName(const QString& charsetName) {
    if (charsetName.compare(u"gb2312"_s, Qt::CaseInsensitive) == 0 ||
        charsetName.compare(u"gbk"_s, Qt::CaseInsensitive) == 0)
        return "GB18030";
    return charsetName.toLatin1();
}

} // namespace

QString BytesToText(const QByteArray& body, const QString& charsetName) {
    const QByteArray name = isPrintableAscii(charsetName) ? decoderName(charsetName) : QByteArray();
    platform::DecodedText decoded;
    if (!name.isEmpty())
        decoded = platform::decodeCharset(body, name);
    if (!decoded.knownCharset)
        throw Error(ErrorNumber::HttpFailure,
                    u"The character set \"%1\" is not known."_s.arg(charsetName));
    if (!decoded.valid)
        throw Error(
            ErrorNumber::HttpFailure,
            u"The reply body is not valid text in the character set \"%1\"."_s.arg(charsetName));
    return decoded.text;
}

} // namespace ds
