#include "platform/CharsetDecoding.h"

#include <QStringDecoder>

#include <optional>
#include <windows.h>

namespace ds::platform {

namespace {

struct CodePage {
    const char* name;
    UINT number;
};

// Character sets Qt cannot decode without ICU, by the code page Windows
// decodes them with. GB18030 (54936) comes first as the one Chinese servers
// use most, under the labels gb2312 and gbk too.
constexpr CodePage CodePages[] = {
    {"gb18030", 54936},     {"big5", 950},          {"shift_jis", 932},     {"euc-jp", 20932},
    {"euc-kr", 51949},      {"koi8-r", 20866},      {"windows-1250", 1250}, {"windows-1251", 1251},
    {"windows-1252", 1252}, {"windows-1253", 1253}, {"windows-1254", 1254}, {"windows-1255", 1255},
    {"windows-1256", 1256}, {"windows-1257", 1257}, {"windows-1258", 1258}, {"iso-8859-2", 28592},
    {"iso-8859-5", 28595},  {"iso-8859-7", 28597},  {"iso-8859-15", 28605},
};

// GBK, the part of GB18030 without its four-byte sequences: what a system
// lacking code page 54936 (Wine) can still read. Four-byte sequences then
// fail as invalid instead of being read wrongly.
constexpr UINT Gbk = 936;

std::optional<UINT> codePageFor(const QByteArray& name) {
    const QByteArray lower = name.toLower();
    for (const CodePage& page : CodePages) {
        if (lower == page.name)
            return page.number;
    }
    return std::nullopt;
}

// -1 when the system has no such code page.
int convert(UINT codePage, const QByteArray& bytes, QString* text) {
    const int length = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.constData(),
                                             length, nullptr, 0);
    if (needed == 0)
        return ::GetLastError() == ERROR_NO_UNICODE_TRANSLATION ? 0 : -1;
    text->resize(needed);
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.constData(), length,
                          reinterpret_cast<wchar_t*>(text->data()), needed);
    return needed;
}

} // namespace

DecodedText decodeCharset(const QByteArray& bytes, const QByteArray& name) {
    DecodedText decoded;
    QStringDecoder qtDecoder(name.constData(), QStringDecoder::Flag::Stateless);
    if (qtDecoder.isValid()) {
        decoded.knownCharset = true;
        decoded.text = qtDecoder.decode(bytes);
        decoded.valid = !qtDecoder.hasError();
        return decoded;
    }
    const std::optional<UINT> codePage = codePageFor(name);
    if (!codePage)
        return decoded;
    decoded.knownCharset = true;
    if (bytes.isEmpty()) {
        decoded.valid = true;
        return decoded;
    }
    int converted = convert(*codePage, bytes, &decoded.text);
    if (converted < 0 && *codePage == 54936)
        converted = convert(Gbk, bytes, &decoded.text);
    if (converted < 0)
        decoded.knownCharset = false;
    decoded.valid = converted > 0;
    if (!decoded.valid)
        decoded.text.clear();
    return decoded;
}

} // namespace ds::platform
