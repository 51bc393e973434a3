#include "lookup/ReplyVerdict.h"

#include "http/BytesToText.h"

using namespace Qt::StringLiterals;

namespace ds {

Verdict classifyReply(const ReplyFacts& reply) {
    if (!reply.arrived || reply.status < 200 || reply.status > 299) {
        return Verdict::Failed;
    }
    return reply.text.contains(u"rue"_s) ? Verdict::Free : Verdict::Taken;
}

QString replyText(const QByteArray& body, const QByteArray& contentType) {
    for (const QByteArray& param : contentType.split(';')) {
        const QByteArray trimmed = param.trimmed();
        if (!trimmed.toLower().startsWith("charset=")) {
            continue;
        }
        QByteArray name = trimmed.mid(8).trimmed();
        if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"')) {
            name = name.mid(1, name.size() - 2);
        }
        try {
            return BytesToText(body, QString::fromLatin1(name));
        } catch (const std::exception&) {
            break;
        }
    }
    return QString::fromUtf8(body);
}

} // namespace ds
