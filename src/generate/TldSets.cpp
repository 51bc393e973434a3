#include "generate/TldSets.h"

#include "lookup/DomainName.h"
#include "lookup/RdapBootstrap.h"
#include "lookup/WhoisPatterns.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ds::TldSets {

namespace {

// The generic TLDs most lists are made for; the full set is "@all".
const QStringList kCommonGeneric = {u"com"_s,  u"net"_s,    u"org"_s,   u"info"_s,  u"biz"_s,
                                    u"xyz"_s,  u"top"_s,    u"vip"_s,   u"club"_s,  u"shop"_s,
                                    u"site"_s, u"online"_s, u"store"_s, u"tech"_s,  u"app"_s,
                                    u"dev"_s,  u"live"_s,   u"fun"_s,   u"pro"_s,   u"name"_s,
                                    u"mobi"_s, u"asia"_s,   u"ltd"_s,   u"group"_s, u"work"_s};

// Every single-label zone of the shipped bootstrap and the WHOIS table, sorted.
const QStringList& knownTlds() {
    static const QStringList tlds = [] {
        QStringList all;
        QFile file(u":/domainsieve/rdap/dns.json"_s);
        if (file.open(QIODevice::ReadOnly)) {
            if (const auto bootstrap = RdapBootstrap::parse(file.readAll()))
                all = bootstrap->zones();
        }
        for (const WhoisEntry& entry : WhoisPatterns::builtIn().entries())
            all += entry.zones;
        // Zones below a TLD ("co.za") and the table's catch-all are no TLDs.
        static const QRegularExpression tld(u"^[a-z0-9-]+$"_s);
        all.erase(std::remove_if(all.begin(), all.end(),
                                 [](const QString& zone) { return !tld.match(zone).hasMatch(); }),
                  all.end());
        all.sort();
        all.removeDuplicates();
        return all;
    }();
    return tlds;
}

QStringList countryCodes() {
    QStringList codes;
    for (const QString& tld : knownTlds()) {
        if (tld.size() == 2 && tld.at(0).isLower() && tld.at(1).isLower())
            codes.append(tld);
    }
    return codes;
}

std::optional<QStringList> namedSet(const QString& name) {
    if (name == "@all"_L1)
        return knownTlds();
    if (name == "@gtld"_L1)
        return kCommonGeneric;
    if (name == "@cctld"_L1)
        return countryCodes();
    return std::nullopt;
}

} // namespace

QStringList setNames() {
    return {u"@all"_s, u"@gtld"_s, u"@cctld"_s};
}

std::optional<QStringList> parse(const QString& text, QString* error) {
    const auto fail = [error](const QString& reason) -> std::optional<QStringList> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    QStringList tlds;
    static const QRegularExpression separators(u"[,，;；\\s]+"_s);
    for (const QString& item : text.split(separators, Qt::SkipEmptyParts)) {
        const QString tld = (item.startsWith(u'.') ? item.sliced(1) : item).toLower();
        if (tld.startsWith(u'@')) {
            const auto set = namedSet(tld);
            if (!set)
                return fail(
                    QCoreApplication::translate("TldSets", "没有“%1”这个后缀集合（可用 %2）")
                        .arg(item, setNames().join(u' ')));
            tlds += *set;
            continue;
        }
        const DomainName name = DomainName::fromEntry(u"a."_s + tld);
        if (!name.isValid() || tld.endsWith(u'.'))
            return fail(QCoreApplication::translate("TldSets", "后缀“%1”不能用（%2）")
                            .arg(item, name.isValid() ? u"empty label"_s : name.problem));
        tlds.append(tld);
    }
    tlds.removeDuplicates();
    return tlds;
}

} // namespace ds::TldSets
