#include "lookup/RdapReply.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

namespace {

// A registered name's domain object with `parts` spliced in.
QByteArray domainWith(const QByteArray& parts) {
    return R"({"objectClassName":"domain","ldhName":"a.com")" +
           (parts.isEmpty() ? QByteArray() : "," + parts) + "}";
}

const QByteArray Registrar =
    R"("entities":[{"objectClassName":"entity","roles":["technical"],
        "vcardArray":["vcard",[["fn",{},"text","Not the registrar"]]]},
      {"objectClassName":"entity","roles":["sponsor","registrar"],
        "publicIds":[{"type":"IANA Registrar ID","identifier":"292"}],
        "vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","MarkMonitor Inc."]]]}])";

const QByteArray Events =
    R"("events":[{"eventAction":"registration","eventDate":"1997-09-15T04:00:00Z"},
        {"eventAction":"expiration","eventDate":"2028-09-14T04:00:00.000+08:00"},
        {"eventAction":"last changed","eventDate":"2026-11-20T10:00:00Z"}])";

} // namespace

// A taken name's reply to its details: what RFC 9083 puts where, and every
// malformed part left empty without touching the verdict.
class TestRdapDetails final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void details_data() {
        QTest::addColumn<QByteArray>("parts");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("registrar");
        QTest::addColumn<QString>("created");
        QTest::addColumn<QString>("expires");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("releases");

        QTest::newRow("registrar, events, statuses")
            << Registrar + "," + Events +
                   R"(,"status":["client delete prohibited","active","server hold"])"
            << u"taken"_s << u"MarkMonitor Inc. 292"_s << u"1997-09-15"_s << u"2028-09-14"_s
            << u"clientDeleteProhibited ok serverHold"_s << QString();
        QTest::newRow("nothing but the object") << QByteArray() << u"taken"_s << u" "_s << QString()
                                                << QString() << QString() << QString();
        QTest::newRow("redemption, dated by the last change")
            << Events + R"(,"status":["redemption period","pending delete"])" << u"redemption"_s
            << u" "_s << u"1997-09-15"_s << u"2028-09-14"_s << u"redemptionPeriod pendingDelete"_s
            << u"2026-12-25"_s;
        QTest::newRow("pending delete, dated by its own event")
            << QByteArray(R"("status":["pending delete"],"events":[
                   {"eventAction":"last changed","eventDate":"2026-01-01T00:00:00Z"},
                   {"eventAction":"pending delete","eventDate":"2026-12-01"}])")
            << u"pending_delete"_s << u" "_s << QString() << QString() << u"pendingDelete"_s
            << u"2026-12-06"_s;
        QTest::newRow("pending delete without a date")
            << QByteArray(R"("status":["pending delete"])") << u"pending_delete"_s << u" "_s
            << QString() << QString() << u"pendingDelete"_s << QString();
        QTest::newRow("odd date forms")
            << QByteArray(R"("events":[{"eventAction":"Registration","eventDate":"20010203"},
                   {"eventAction":"expiration","eventDate":"2027-02-30T00:00:00Z"}])")
            << u"taken"_s << u" "_s << u"2001-02-03"_s << QString() << QString() << QString();
        QTest::newRow("an id as a number, a vCard without fn")
            << QByteArray(R"("entities":[{"roles":["registrar"],"vcardArray":["vcard",[]],
                   "publicIds":[{"type":"IANA Registrar ID","identifier":146}]}])")
            << u"taken"_s << u" 146"_s << QString() << QString() << QString() << QString();
        QTest::newRow("malformed parts")
            << QByteArray(R"("status":"redemption period","events":{"eventAction":"expiration"},
                   "entities":[{"roles":"registrar","vcardArray":"fn"},7,null])")
            << u"taken"_s << u" "_s << QString() << QString() << QString() << QString();
        QTest::newRow("malformed inside arrays")
            << QByteArray(R"("status":[1,null,{"a":"b"},""],
                   "events":[{"eventAction":"expiration","eventDate":12},"registration"],
                   "entities":[{"roles":["registrar"],"vcardArray":["vcard",[["fn",{},"text"]]],
                      "publicIds":[{"type":"IANA Registrar ID"}]}])")
            << u"taken"_s << u" "_s << QString() << QString() << QString() << QString();
    }
    void details() {
        QFETCH(QByteArray, parts);
        QFETCH(QString, verdict);
        QFETCH(QString, registrar);
        QFETCH(QString, created);
        QFETCH(QString, expires);
        QFETCH(QString, status);
        QFETCH(QString, releases);
        const RdapJudgement judgement = judgeRdapReply({true, 200, domainWith(parts), QString()});
        const Details& details = judgement.details;
        QCOMPARE(QString(verdictKey(judgement.verdict)), verdict);
        QCOMPARE(details.registrar + u' ' + details.registrarIanaId, registrar);
        QCOMPARE(details.created.toString(Qt::ISODate), created);
        QCOMPARE(details.expires.toString(Qt::ISODate), expires);
        QCOMPARE(details.status.join(u' '), status);
        QCOMPARE(details.releases.toString(Qt::ISODate), releases);
    }
};

QTEST_GUILESS_MAIN(TestRdapDetails)
#include "tst_rdapdetails.moc"
