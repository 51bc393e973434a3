#include "common/Error.h"
#include "http/BytesToText.h"
#include "http/TimeoutSeconds.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The pure conversions of the page request component: reply bytes to text,
// and the time-out text to whole seconds.
class TestBytesToText final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodes_data();
    void decodes();
    void refuses_data();
    void refuses();
    void timeoutSeconds_data();
    void timeoutSeconds();
    void timeoutSecondsRefused_data();
    void timeoutSecondsRefused();
};

void TestBytesToText::decodes_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("expected");

    QTest::newRow("gb2312 two-byte character and ascii") << QByteArray("\xc4\xe3"
                                                                       "a")
                                                         << u"gb2312"_s << u"你a"_s;
    QTest::newRow("ascii") << QByteArray("<html>ok</html>") << u"gb2312"_s << u"<html>ok</html>"_s;
    QTest::newRow("empty body") << QByteArray() << u"gb2312"_s << QString();
    QTest::newRow("gbk characters under gb2312")
        << QByteArray("\x88\xd2\xe9\x46\x95\x4e") << u"gb2312"_s << u"堃镕昇"_s;
    QTest::newRow("gb18030 four-byte sequence under gb2312")
        << QByteArray("\x81\x30\x81\x30") << u"gb2312"_s << QString(QChar(0x80));
    QTest::newRow("label in upper case")
        << QByteArray("\xd6\xd0\xce\xc4") << u"GB2312"_s << u"中文"_s;
    QTest::newRow("gbk label") << QByteArray("\x86\xb4!") << u"GbK"_s << u"喆!"_s;
    QTest::newRow("utf-8") << QByteArray("\xe4\xbd\xa0"
                                         "abc")
                           << u"utf-8"_s << u"你abc"_s;
    QTest::newRow("latin-1 high bytes") << QByteArray("caf\xe9") << u"iso-8859-1"_s << u"café"_s;
    QTest::newRow("nul bytes are kept")
        << QByteArray("a\0b", 3) << u"utf-8"_s << QString::fromUtf8("a\0b", 3);
}

void TestBytesToText::decodes() {
    QFETCH(QByteArray, body);
    QFETCH(QString, charset);
    QFETCH(QString, expected);
    QCOMPARE(ds::BytesToText(body, charset), expected);
}

void TestBytesToText::refuses_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("charset");

    QTest::newRow("unknown name") << QByteArray("abc") << u"no-such-charset"_s;
    QTest::newRow("empty name") << QByteArray("abc") << QString();
    QTest::newRow("name cut by a nul") << QByteArray("abc") << QString::fromUtf8("utf-8\0x", 7);
    QTest::newRow("non-ascii name") << QByteArray("abc") << u"ＵＴＦ-8"_s;
    QTest::newRow("bytes invalid in gb18030") << QByteArray("\x80\xff"
                                                            "a")
                                              << u"gb2312"_s;
    QTest::newRow("gb2312 lead byte cut off at the end") << QByteArray("ab\xc4") << u"gb2312"_s;
    QTest::newRow("invalid utf-8") << QByteArray("ab\xff") << u"utf-8"_s;
    QTest::newRow("utf-8 sequence cut off at the end") << QByteArray("a\xe4\xbd") << u"utf-8"_s;
}

void TestBytesToText::refuses() {
    QFETCH(QByteArray, body);
    QFETCH(QString, charset);
    try {
        const QString text = ds::BytesToText(body, charset);
        QFAIL(qPrintable(u"decoded to \"%1\" instead of failing"_s.arg(text)));
    } catch (const ds::Error& error) {
        QCOMPARE(error.number(), ds::ErrorNumber::HttpFailure);
        QVERIFY(!error.text().isEmpty());
    }
}

void TestBytesToText::timeoutSeconds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("default") << u"10"_s << 10;
    QTest::newRow("zero") << u"0"_s << 0;
    QTest::newRow("negative") << u"-3"_s << -3;
    QTest::newRow("surrounding spaces") << u"  7 "_s << 7;
    QTest::newRow("explicit plus") << u"+4"_s << 4;
    QTest::newRow("fraction down") << u"2.4"_s << 2;
    QTest::newRow("fraction up") << u"2.6"_s << 3;
    QTest::newRow("half to even, down") << u"2.5"_s << 2;
    QTest::newRow("half to even, up") << u"3.5"_s << 4;
    QTest::newRow("negative half to even") << u"-0.5"_s << 0;
    QTest::newRow("exponent") << u"1e1"_s << 10;
    QTest::newRow("largest") << u"2147483647"_s << 2147483647;
    QTest::newRow("smallest") << u"-2147483648"_s << qint32{-2147483647 - 1};
    QTest::newRow("rounds into range") << u"2147483647.4"_s << 2147483647;
}

void TestBytesToText::timeoutSeconds() {
    QFETCH(QString, text);
    QFETCH(qint32, expected);
    QCOMPARE(ds::TimeoutSeconds(text), expected);
}

void TestBytesToText::timeoutSecondsRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("number");

    QTest::newRow("empty") << QString() << ds::ErrorNumber::TypeMismatch;
    QTest::newRow("word") << u"ten"_s << ds::ErrorNumber::TypeMismatch;
    QTest::newRow("trailing junk") << u"10s"_s << ds::ErrorNumber::TypeMismatch;
    QTest::newRow("decimal comma") << u"1,5"_s << ds::ErrorNumber::TypeMismatch;
    QTest::newRow("group separator") << u"1,000"_s << ds::ErrorNumber::TypeMismatch;
    QTest::newRow("not a number") << u"nan"_s << ds::ErrorNumber::TypeMismatch;
    QTest::newRow("infinity") << u"inf"_s << ds::ErrorNumber::Overflow;
    QTest::newRow("above range") << u"2147483647.5"_s << ds::ErrorNumber::Overflow;
    QTest::newRow("below range") << u"-2147483649"_s << ds::ErrorNumber::Overflow;
    QTest::newRow("huge") << u"1e300"_s << ds::ErrorNumber::Overflow;
}

void TestBytesToText::timeoutSecondsRefused() {
    QFETCH(QString, text);
    QFETCH(quint32, number);
    try {
        const qint32 seconds = ds::TimeoutSeconds(text);
        QFAIL(qPrintable(u"converted to %1 instead of failing"_s.arg(seconds)));
    } catch (const ds::Error& error) {
        QCOMPARE(error.number(), number);
        QVERIFY(error.text().contains(text));
    }
}

QTEST_GUILESS_MAIN(TestBytesToText)
#include "tst_bytestotext.moc"
