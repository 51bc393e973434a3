#include "lookup/AvailabilityRequest.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// What goes on the wire for one entry: a plain name byte for byte, anything
// that could forge or break a form field encoded.
class TestAvailabilityRequest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void body_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain name") << u"1234.pw"_s << QByteArray("domainName=1234.pw");
        QTest::newRow("dash, underscore") << u"a-b_c.pw"_s << QByteArray("domainName=a-b_c.pw");
        QTest::newRow("bare suffix") << u".pw"_s << QByteArray("domainName=.pw");
        QTest::newRow("blanks kept") << u" abc.pw "_s << QByteArray("domainName=+abc.pw+");
        QTest::newRow("forged field")
            << u"a.pw&domainName=b.pw"_s << QByteArray("domainName=a.pw%26domainName%3Db.pw");
        QTest::newRow("plus and percent")
            << u"a+b%20.pw"_s << QByteArray("domainName=a%2Bb%2520.pw");
        QTest::newRow("chinese, utf-8")
            << u"米筛.pw"_s << QByteArray("domainName=%E7%B1%B3%E7%AD%9B.pw");
        QTest::newRow("empty") << QString() << QByteArray("domainName=");
    }
    void body() {
        QFETCH(QString, entry);
        QFETCH(QByteArray, expected);
        QCOMPARE(AvailabilityRequest::body(entry), expected);
    }

    void checkUrl_data() {
        QTest::addColumn<QUrl>("registrar");
        QTest::addColumn<QString>("expected");
        QTest::newRow("host") << QUrl(u"http://registrar.example"_s)
                              << u"http://registrar.example/domain/check.do?method=check"_s;
        QTest::newRow("host and port") << QUrl(u"http://127.0.0.1:8080"_s)
                                       << u"http://127.0.0.1:8080/domain/check.do?method=check"_s;
        QTest::newRow("trailing slash")
            << QUrl(u"http://registrar.example/"_s)
            << u"http://registrar.example/domain/check.do?method=check"_s;
    }
    void checkUrl() {
        QFETCH(QUrl, registrar);
        QFETCH(QString, expected);
        QCOMPARE(AvailabilityRequest::checkUrl(registrar).toString(), expected);
    }
};

QTEST_GUILESS_MAIN(TestAvailabilityRequest)
#include "tst_availabilityrequest.moc"
