#include "WhoisSamples.h"

#include "common/Error.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace ds::test {

namespace {

WhoisSample headerOf(const QString& line) {
    const QStringList fields = line.mid(2).split(u'|');
    const QStringList outcome = fields.value(3).simplified().split(u' ');
    const std::optional<Verdict> verdict = verdictFromKey(outcome.value(0));
    if (fields.size() != 4 || !verdict)
        throw Error(0, u"bad WHOIS sample header: "_s % line);
    WhoisSample sample;
    sample.tld = fields.at(0).trimmed();
    sample.kind = fields.at(1).trimmed();
    sample.name = fields.at(2).trimmed();
    sample.verdict = *verdict;
    if (outcome.size() > 1)
        sample.backoffSeconds = outcome.at(1).toInt();
    sample.blocked = outcome.value(2) == u"blocked"_s;
    return sample;
}

} // namespace

QList<WhoisSample> loadWhoisSamples() {
    QFile file(QStringLiteral(DOMAINSIEVE_WHOIS_SAMPLES));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Error(0, u"cannot read "_s % file.fileName() % u": "_s % file.errorString());
    QList<WhoisSample> samples;
    QStringList lines;
    const auto close = [&] {
        if (!samples.isEmpty())
            samples.last().reply = lines.join(u'\n').trimmed();
        lines.clear();
    };
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.startsWith(u"@@"_s)) {
            close();
            samples.append(headerOf(line));
        } else if (!samples.isEmpty()) {
            lines.append(line);
        }
    }
    close();
    return samples;
}

} // namespace ds::test
