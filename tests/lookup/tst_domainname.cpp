#include "lookup/DomainName.h"

#include <QTest>

using namespace Qt::StringLiterals;
using ds::DomainName;

// Names as the registries are asked about them: the ACE form, or no request.
class TestDomainName final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fromEntry_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("ace"); // empty: invalid

        const QString label63(63, u'a');
        const QString labels249 = QStringList(50, u"abcd"_s).join(u'.');
        QTest::newRow("plain") << u"example.com"_s << u"example.com"_s;
        QTest::newRow("blanks and mixed case") << u"  ExAmple.COM \t"_s << u"example.com"_s;
        QTest::newRow("one trailing dot") << u"example.com."_s << u"example.com"_s;
        QTest::newRow("two trailing dots") << u"example.com.."_s << QString();
        QTest::newRow("chinese labels") << u"中国.公司"_s << u"xn--fiqs8s.xn--55qx5d"_s;
        QTest::newRow("sharp s stays") << u"faß.de"_s << u"xn--fa-hia.de"_s;
        QTest::newRow("sharp s, mixed case") << u"Straße.DE"_s << u"xn--strae-oqa.de"_s;
        QTest::newRow("capital sharp s maps to ss") << u"ẞ.de"_s << u"ss.de"_s;
        QTest::newRow("ace kept") << u"XN--FIQS8S.com"_s << u"xn--fiqs8s.com"_s;
        QTest::newRow("made-up ace") << u"xn--abc.com"_s << QString();
        QTest::newRow("emoji") << u"😀.com"_s << QString();
        QTest::newRow("63-octet label") << label63 + u".com"_s << label63 + u".com"_s;
        QTest::newRow("64-octet label") << label63 + u"a.com"_s << QString();
        QTest::newRow("253 octets") << labels249 + u".com"_s << labels249 + u".com"_s;
        QTest::newRow("254 octets") << labels249 + u".comx"_s << QString();
        QTest::newRow("empty label") << u"a..com"_s << QString();
        QTest::newRow("underscore") << u"a_b.com"_s << QString();
        QTest::newRow("space inside") << u"a b.com"_s << QString();
        QTest::newRow("leading hyphen") << u"-ab.com"_s << QString();
        QTest::newRow("empty") << u" . "_s << QString();
    }
    void fromEntry() {
        QFETCH(QString, entry);
        QFETCH(QString, ace);
        const DomainName name = DomainName::fromEntry(entry);
        QCOMPARE(name.ace, ace);
        QCOMPARE(name.isValid(), !ace.isEmpty());
    }

    // The registrar gets the entry as written, so only these rules stand
    // between a mistyped line and the wire.
    void askableEntry_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("askable");
        QTest::newRow("unicode as written") << u"例子.中国"_s << true;
        QTest::newRow("bare word") << u"nodot"_s << false;
        QTest::newRow("only dots and blanks") << u" . ."_s << false;
        QTest::newRow("control character") << u"a\u0001.pw"_s << false;
        QTest::newRow("undecodable bytes") << u"a\ufffd.pw"_s << false;
        QTest::newRow("253 characters") << QString(249, u'a') + u".com"_s << true;
        QTest::newRow("254 characters") << QString(250, u'a') + u".com"_s << false;
    }
    void askableEntry() {
        QFETCH(QString, entry);
        QFETCH(bool, askable);
        QCOMPARE(ds::isAskableEntry(entry), askable);
    }
};

QTEST_GUILESS_MAIN(TestDomainName)
#include "tst_domainname.moc"
