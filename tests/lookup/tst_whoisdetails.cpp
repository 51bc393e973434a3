#include "lookup/RegistryDetails.h"
#include "lookup/WhoisDetails.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// Registries' WHOIS replies to details, each in its registry's own words and
// date format.
class TestWhoisDetails final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void details_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("registrar");
        QTest::addColumn<QString>("created");
        QTest::addColumn<QString>("expires");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("releases");
        QTest::addColumn<QString>("verdict");

        QTest::newRow("ICANN style")
            << u"   Domain Name: EXAMPLE.COM\r\n   Updated Date: 2026-08-14T07:01:39Z\r\n"
               "   Creation Date: 1995-08-14T04:00:00Z\r\n"
               "   Registry Expiry Date: 2027-08-13T04:00:00Z\r\n"
               "   Registrar: RESERVED-Internet Assigned Numbers Authority\r\n"
               "   Registrar IANA ID: 376\r\n"
               "   Domain Status: clientDeleteProhibited "
               "https://icann.org/epp#clientDeleteProhibited\r\n"
               "   Domain Status: clientTransferProhibited "
               "https://icann.org/epp#clientTransferProhibited\r\n"
               ">>> Last update of whois database: 2026-12-07T23:20:11Z <<<\r\n"_s
            << u"RESERVED-Internet Assigned Numbers Authority 376"_s << u"1995-08-14"_s
            << u"2027-08-13"_s << u"clientDeleteProhibited clientTransferProhibited"_s << QString()
            << u"taken"_s;
        QTest::newRow("ICANN style, redemption")
            << u"Domain Name: GONE.COM\nUpdated Date: 2026-12-01T10:00:00Z\n"
               "Registrar Registration Expiration Date:\n"
               "Registry Expiry Date: 2026-11-02T04:00:00Z\n"
               "Domain Status: redemptionPeriod https://icann.org/epp#redemptionPeriod\n"
               "Domain Status: pendingDelete https://icann.org/epp#pendingDelete\n"_s
            << u" "_s << QString() << u"2026-11-02"_s << u"redemptionPeriod pendingDelete"_s
            << u"2027-01-05"_s << u"redemption"_s;
        QTest::newRow("CNNIC")
            << u"Domain Name: example.cn\nROID: 20030311s10001s00033735-cn\n"
               "Domain Status: pendingDelete\nSponsoring Registrar: 阿里云计算有限公司（万网）\n"
               "Registration Time: 2003-03-17 12:20:05\nExpiration Time: 2026-03-17 12:48:36\n"_s
            << u"阿里云计算有限公司（万网） "_s << u"2003-03-17"_s << u"2026-03-17"_s
            << u"pendingDelete"_s << QString() << u"pending_delete"_s;
        QTest::newRow("JPRS, Japanese")
            << u"a. [ドメイン名]                 EXAMPLE.JP\n[状態]                          "
               u"Active\n"
               "[登録年月日]                    2001/01/01\n[有効期限]                      "
               "2027/01/31\n"
               "[最終更新]                      2026/02/01 01:05:05 (JST)\n"_s
            << u" "_s << u"2001-01-01"_s << u"2027-01-31"_s << u"active"_s << QString()
            << u"taken"_s;
        QTest::newRow("JPRS, English")
            << u"[Domain Name]                   EXAMPLE.JP\n[Status]                        "
               u"Active\n"
               "[Created on]                    2001/01/01\n[Expires on]                    2027/01/31\n"_s
            << u" "_s << u"2001-01-01"_s << u"2027-01-31"_s << u"active"_s << QString()
            << u"taken"_s;
        QTest::newRow("DENIC")
            << u"Domain: example.de\nNserver: a.iana-servers.net\nStatus: connect\n"
               "Changed: 2018-03-12T21:44:25+01:00\n"_s
            << u" "_s << QString() << QString() << u"connect"_s << QString() << u"taken"_s;
        QTest::newRow("Nominet, the registrar below its key")
            << u"    Domain name:\n        example.co.uk\n\n    Registrar:\n"
               "        Tucows Inc t/a OpenSRS [Tag = OPENSRS]\n        URL: "
               "http://www.opensrs.net\n\n"
               "    Relevant dates:\n        Registered on: 26-Nov-1996\n"
               "        Expiry date:  26-Nov-2027\n        Last updated:  01-Oct-2026\n"_s
            << u"Tucows Inc t/a OpenSRS [Tag = OPENSRS] "_s << u"1996-11-26"_s << u"2027-11-26"_s
            << QString() << QString() << u"taken"_s;
        QTest::newRow("EURid, the name below its key")
            << u"Domain: example.eu\n\nRegistrar:\n        Name: Gandi SAS\n"
               "        Website: www.gandi.net\n"_s
            << u"Gandi SAS "_s << QString() << QString() << QString() << QString() << u"taken"_s;
        QTest::newRow("CCTLD RU")
            << u"domain:        EXAMPLE.RU\nstate:         REGISTERED, DELEGATED, VERIFIED\n"
               "registrar:     RU-CENTER-RU\ncreated:       1999-06-01T20:00:00Z\n"
               "paid-till:     2027-07-01T21:00:00Z\nfree-date:     2027-08-02\n"_s
            << u"RU-CENTER-RU "_s << u"1999-06-01"_s << u"2027-07-01"_s
            << u"registered delegated verified"_s << QString() << u"taken"_s;
        QTest::newRow("KISA, dotted dates")
            << u"Domain Name                 : example.kr\n"
               "Registered Date             : 2003. 08. 20.\n"
               "Expiration Date             : 2027. 08. 20.\n"_s
            << u" "_s << u"2003-08-20"_s << u"2027-08-20"_s << QString() << QString() << u"taken"_s;
        QTest::newRow("HKIRC, day first")
            << u"Domain Name:  EXAMPLE.HK\nDomain Name Commencement Date: 17-04-2001\n"
               "Expiry Date: 17-04-2027\n"_s
            << u" "_s << u"2001-04-17"_s << u"2027-04-17"_s << QString() << QString() << u"taken"_s;
        QTest::newRow("DNS Belgium, a weekday and a month's name")
            << u"Domain:\texample.be\nStatus:\tNOT AVAILABLE\nRegistered:\tTue Oct 6 2020\n"_s
            << u" "_s << u"2020-10-06"_s << QString() << u"notAvailable"_s << QString()
            << u"taken"_s;
        QTest::newRow("dates that cannot be read")
            << u"Creation Date: 14/08/95\nRegistry Expiry Date: soon\nUpdated Date: 2026-13-01\n"
               "Domain Status: pendingDelete\n"_s
            << u" "_s << QString() << QString() << u"pendingDelete"_s << QString()
            << u"pending_delete"_s;
    }
    void details() {
        QFETCH(QString, reply);
        QFETCH(QString, registrar);
        QFETCH(QString, created);
        QFETCH(QString, expires);
        QFETCH(QString, status);
        QFETCH(QString, releases);
        QFETCH(QString, verdict);
        const Details details = whoisDetails(reply);
        QCOMPARE(details.registrar + u' ' + details.registrarIanaId, registrar);
        QCOMPARE(details.created.toString(Qt::ISODate), created);
        QCOMPARE(details.expires.toString(Qt::ISODate), expires);
        QCOMPARE(details.status.join(u' '), status);
        QCOMPARE(details.releases.toString(Qt::ISODate), releases);
        QCOMPARE(QString(verdictKey(RegistryDetails::refinedVerdict(Verdict::Taken, details))),
                 verdict);
    }
};

QTEST_GUILESS_MAIN(TestWhoisDetails)
#include "tst_whoisdetails.moc"
