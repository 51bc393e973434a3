#include "app/ResultFacts.h"

#include "format/RecordLines.h"
#include "lookup/AdaptivePace.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace ds {

int ResultFacts::note(qsizetype entry, const LookupRecord& record) {
    const Answer& answer = record.answer;
    int details = -1;
    if (const Details& given = answer.details; !given.isEmpty()) {
        m_details.push_back({textIndex(given.registrar), textIndex(given.registrarIanaId),
                             textIndex(given.status.join(u' ')), given.created, given.expires,
                             given.lastChanged, given.releases});
        details = int(m_details.size() - 1);
    }
    m_facts.push_back(
        {std::int32_t(entry), textIndex(answer.server), textIndex(answer.detail), details,
         std::int16_t(answer.httpStatus), std::uint8_t(answer.method), std::uint8_t(answer.verdict),
         std::uint16_t(std::lround(std::clamp(answer.requestsPerSecond, 0.0, 600.0) * 100))});
    return int(m_facts.size() - 1);
}

void ResultFacts::clear() {
    m_facts = {};
    m_details = {};
    m_texts.clear();
    m_textIndex.clear();
}

int ResultFacts::textIndex(const QString& text) {
    const auto found = m_textIndex.constFind(text);
    if (found != m_textIndex.cend())
        return found.value();
    m_texts.append(text);
    return *m_textIndex.insert(text, int(m_texts.size() - 1));
}

qsizetype ResultFacts::failedEntry(int facts) const {
    if (!known(facts) || Verdict(m_facts[std::size_t(facts)].verdict) != Verdict::Failed)
        return -1;
    return m_facts[std::size_t(facts)].entry;
}

std::optional<Answer> ResultFacts::answer(int facts) const {
    if (!known(facts))
        return std::nullopt;
    const Facts& f = m_facts[std::size_t(facts)];
    Answer answer;
    answer.method = Method(f.method);
    answer.httpStatus = f.httpStatus;
    answer.requestsPerSecond = f.rateHundredths / 100.0;
    answer.server = m_texts.at(f.server);
    answer.detail = m_texts.at(f.detail);
    if (f.details >= 0) {
        const KeptDetails& d = m_details[std::size_t(f.details)];
        answer.details = {m_texts.at(d.registrar),
                          m_texts.at(d.registrarIanaId),
                          d.created,
                          d.expires,
                          d.lastChanged,
                          m_texts.at(d.status).split(u' ', Qt::SkipEmptyParts),
                          d.releases};
    }
    return answer;
}

QString ResultFacts::tip(int facts) const {
    const std::optional<Answer> answer = this->answer(facts);
    if (!answer)
        return {};
    QStringList parts{tr("查询方式：%1").arg(RecordLines::methodWord(answer->method))};
    if (!answer->server.isEmpty())
        parts.append(tr("服务器：%1").arg(answer->server));
    if (answer->requestsPerSecond > 0)
        parts.append(tr("速率：%1 次/秒").arg(requestsPerSecondText(answer->requestsPerSecond)));
    if (answer->httpStatus != 0)
        parts.append(tr("HTTP 状态：%1").arg(answer->httpStatus));
    const QString& detail = answer->detail;
    // The DNS's detail is the name servers that show the name taken.
    if (!detail.isEmpty() && answer->method == Method::Dns)
        parts.append(tr("域名服务器：%1").arg(detail));
    else if (!detail.isEmpty() && detail != u"HTTP %1"_s.arg(answer->httpStatus))
        parts.append(tr("说明：%1").arg(detail));
    parts.append(detailsTip(answer->details));
    return parts.join(u'\n');
}

QStringList ResultFacts::detailsTip(const Details& details) {
    QStringList parts;
    if (!details.registrar.isEmpty() && !details.registrarIanaId.isEmpty())
        parts.append(tr("注册商：%1（IANA %2）").arg(details.registrar, details.registrarIanaId));
    else if (!details.registrar.isEmpty())
        parts.append(tr("注册商：%1").arg(details.registrar));
    const auto date = [&parts](const QString& label, QDate value) {
        if (value.isValid())
            parts.append(label.arg(value.toString(Qt::ISODate)));
    };
    date(tr("注册日期：%1"), details.created);
    date(tr("到期日期：%1"), details.expires);
    if (!details.status.isEmpty())
        parts.append(tr("状态：%1").arg(details.status.join(u", "_s)));
    date(tr("预计释放：%1"), details.releases);
    return parts;
}

} // namespace ds
