#include "common/Error.h"
#include "http/BytesToText.h"
#include "http/TimeoutSeconds.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The pure conversions of the page request component: reply bytes to text,
// and the time-out text to whole seconds. A null expected text, or an error
// number other than 0, marks a row that must be refused.
class TestBytesToText final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodes_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QString>("expected");

        QTest::newRow("gb2312 and ascii") << "\xc4\xe3\x61"_ba << u"gb2312"_s << u"你a"_s;
        // Servers labelled gb2312 send GBK characters; they must not be refused.
        QTest::newRow("gbk under gb2312") << "\x88\xd2\xe9\x46"_ba << u"gb2312"_s << u"堃镕"_s;
        QTest::newRow("gbk label in any case") << "\x86\xb4!"_ba << u"GbK"_s << u"喆!"_s;
        QTest::newRow("utf-8") << "\xe4\xbd\xa0\x61"_ba << u"utf-8"_s << u"你a"_s;
        // Windows decodes these through its code pages (54936, 950), not ICU.
        QTest::newRow("gb18030 four-byte sequence")
            << "\x81\x30\x81\x30!"_ba << u"GB18030"_s << u"\u0080!"_s;
        QTest::newRow("big5") << "\xa4\xa4\xa4\xe5"_ba << u"Big5"_s << u"中文"_s;
        QTest::newRow("empty body") << ""_ba << u"gb2312"_s << u""_s;
        QTest::newRow("unknown name") << "abc"_ba << u"no-such-charset"_s << QString();
        // The decoder would read the name only up to the NUL, as "utf-8".
        QTest::newRow("name cut by a nul") << "abc"_ba << u"utf-8\0x"_s << QString();
        QTest::newRow("bytes invalid in gb18030") << "\x80\xff\x61"_ba << u"gb2312"_s << QString();
        QTest::newRow("utf-8 cut off at the end") << "a\xe4\xbd"_ba << u"utf-8"_s << QString();
    }

    void decodes() {
        QFETCH(QByteArray, body);
        QFETCH(QString, charset);
        QFETCH(QString, expected);
        try {
            const QString text = ds::BytesToText(body, charset);
            QVERIFY2(!expected.isNull(), qPrintable(u"decoded to \"%1\""_s.arg(text)));
            QCOMPARE(text, expected);
        } catch (const ds::Error& error) {
            QVERIFY(expected.isNull());
            QCOMPARE(error.number(), ds::ErrorNumber::HttpFailure);
        }
    }

    void timeoutSeconds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint32>("expected");
        QTest::addColumn<quint32>("error");

        using namespace ds::ErrorNumber;
        QTest::newRow("surrounding spaces") << u"  7 "_s << 7 << 0u;
        QTest::newRow("half to even, down") << u"2.5"_s << 2 << 0u;
        QTest::newRow("half to even, up") << u"3.5"_s << 4 << 0u;
        QTest::newRow("smallest") << u"-2147483648"_s << qint32{-2147483647 - 1} << 0u;
        QTest::newRow("rounds into range") << u"2147483647.4"_s << 2147483647 << 0u;
        QTest::newRow("trailing junk") << u"10s"_s << 0 << TypeMismatch;
        QTest::newRow("group separator") << u"1,000"_s << 0 << TypeMismatch;
        QTest::newRow("not a number") << u"nan"_s << 0 << TypeMismatch;
        QTest::newRow("infinity") << u"inf"_s << 0 << Overflow;
        QTest::newRow("rounds out of range") << u"2147483647.5"_s << 0 << Overflow;
        QTest::newRow("below range") << u"-2147483649"_s << 0 << Overflow;
    }

    void timeoutSeconds() {
        QFETCH(QString, text);
        QFETCH(qint32, expected);
        QFETCH(quint32, error);
        try {
            const qint32 seconds = ds::TimeoutSeconds(text);
            QCOMPARE(error, 0u);
            QCOMPARE(seconds, expected);
        } catch (const ds::Error& refusal) {
            QCOMPARE(refusal.number(), error);
            QVERIFY(refusal.text().contains(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestBytesToText)
#include "tst_bytestotext.moc"
