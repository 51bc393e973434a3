#include "query/DomainList.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

namespace {

// How many line breaks a run of k (index) consecutive breaks leaves after
// tidying, written out rather than computed so a wrong formula shows.
constexpr int kLeftAfterTidy[] = {0, 1, 1, 1, 1, 2, 1, 2, 2, 2, 2, 3};

QString breaks(int count, const QString& form = u"\n"_s) {
    return form.repeated(count);
}

} // namespace

class TestDomainList final : public QObject {
    Q_OBJECT

private slots:
    void tidyCollapsesRuns_data();
    void tidyCollapsesRuns();
    void tidyEdgeCases_data();
    void tidyEdgeCases();
    void tidyTwiceShrinksLongRunsFurther();
    void hasDot_data();
    void hasDot();
};

void TestDomainList::tidyCollapsesRuns_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const QString a = u"a.pw"_s;
    const QString b = u"b.pw"_s;
    for (int k = 1; k <= 11; ++k) {
        const QString left = breaks(kLeftAfterTidy[k]);
        for (const QString& form : {u"\n"_s, u"\r\n"_s, u"\r"_s}) {
            const QString name = form == u"\n"_s ? u"LF"_s : form == u"\r"_s ? u"CR"_s : u"CRLF"_s;
            const QString run = breaks(k, form);
            QTest::addRow("start k=%d %s", k, qPrintable(name)) << run + a << left + a + u'\n';
            QTest::addRow("middle k=%d %s", k, qPrintable(name))
                << a + run + b << a + left + b + u'\n';
            QTest::addRow("end k=%d %s", k, qPrintable(name)) << a + run << a + left;
        }
    }
}

void TestDomainList::tidyCollapsesRuns() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(DomainList::tidy(input), expected);
}

void TestDomainList::tidyEdgeCases_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<qsizetype>("highest");

    QTest::newRow("single domain gets a break") << u"x.pw"_s << u"x.pw\n"_s << qsizetype(1);
    const QString sample = u"1.pw\n2.pw\n3.pw\n4.pw\n5.pw\n6.pw\n7.pw\n"_s;
    QTest::newRow("seven tidy lines unchanged") << sample << sample << qsizetype(7);
    QTest::newRow("empty box") << QString() << u"\n"_s << qsizetype(1);
    QTest::newRow("four blank lines keep one")
        << u"a.pw\n\n\n\n\nb.pw"_s << u"a.pw\n\nb.pw\n"_s << qsizetype(3);
    QTest::newRow("leading blank line stays") << u"\na.pw\n"_s << u"\na.pw\n"_s << qsizetype(2);
    QTest::newRow("windows paste equals unix paste")
        << u"a.pw\r\nb.pw\r\n\r\nc.pw\r\n"_s << u"a.pw\nb.pw\nc.pw\n"_s << qsizetype(3);
    QTest::newRow("mixed break forms")
        << u"a.pw\rb.pw\r\nc.pw\u2028d.pw\u2029"_s << u"a.pw\nb.pw\nc.pw\nd.pw\n"_s << qsizetype(4);
}

void TestDomainList::tidyEdgeCases() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(qsizetype, highest);
    const QString tidied = DomainList::tidy(input);
    QCOMPARE(tidied, expected);
    // U, the number of lines: a tidied list ends with a line break.
    QCOMPARE(qsizetype(tidied.count(u'\n')), highest);
    QVERIFY(tidied.endsWith(u'\n'));
}

void TestDomainList::tidyTwiceShrinksLongRunsFurther() {
    // Every press tidies again, so a run of five breaks left as two by the
    // first press becomes one at the next.
    const QString once = DomainList::tidy(u"a.pw\n\n\n\n\nb.pw"_s);
    QCOMPARE(once, u"a.pw\n\nb.pw\n"_s);
    QCOMPARE(DomainList::tidy(once), u"a.pw\nb.pw\n"_s);
}

void TestDomainList::hasDot_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("domain") << u"abc.pw"_s << true;
    QTest::newRow("bare suffix") << u".pw"_s << true;
    QTest::newRow("dot deep in a text") << u"x\ny\nz.pw\n"_s << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("word") << u"word"_s << false;
    QTest::newRow("ideographic full stop is no dot") << u"名字。中国"_s << false;
}

void TestDomainList::hasDot() {
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(DomainList::hasDot(text), expected);
}

QTEST_APPLESS_MAIN(TestDomainList)
#include "tst_domainlist.moc"
