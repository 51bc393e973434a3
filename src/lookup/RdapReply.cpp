#include "lookup/RdapReply.h"

#include "lookup/RdapDetails.h"
#include "lookup/RegistryDetails.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace ds {

RdapJudgement judgeRdapReply(const RdapReplyFacts& reply) {
    if (!reply.arrived)
        return {Verdict::Failed, false, reply.failure};
    const QString status = u"HTTP %1"_s.arg(reply.status);
    if (reply.status == 429 || reply.status == 503)
        return {Verdict::Failed, true, status};
    if (reply.status == 404)
        return {Verdict::Free, false, status};
    if (reply.status != 200)
        return {Verdict::Failed, false, status};
    const QJsonObject object = QJsonDocument::fromJson(reply.body).object();
    if (object.value("objectClassName"_L1).toString() == "domain"_L1) {
        Details details = rdapDetails(object);
        const Verdict verdict = RegistryDetails::refinedVerdict(Verdict::Taken, details);
        return {verdict, false, status, std::move(details)};
    }
    return {Verdict::Failed, false, status + u", not an RDAP domain object"_s};
}

} // namespace ds
