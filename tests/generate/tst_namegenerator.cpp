#include "generate/NameGenerator.h"
#include "generate/PinyinTable.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace ds {

class NameGeneratorTest : public QObject {
    Q_OBJECT

private slots:
    void countMatchesClosedForm_data();
    void countMatchesClosedForm();
    void shapesBindLettersToCharacters_data();
    void shapesBindLettersToCharacters();
    void excludedShapesAreLeftOut_data();
    void excludedShapesAreLeftOut();
    void badRequestsAreNamed_data();
    void badRequestsAreNamed();
};

namespace {

GeneratorRequest request(const QString& pattern, const QString& tlds = {},
                         const QString& exclusions = {}) {
    return GeneratorRequest{pattern, tlds, exclusions, {}, {}};
}

QStringList allNames(NameGenerator generator) {
    QStringList names;
    QString name;
    while (generator.next(name))
        names.append(name);
    return names;
}

} // namespace

void NameGeneratorTest::countMatchesClosedForm_data() {
    QTest::addColumn<GeneratorRequest>("given");
    QTest::addColumn<quint64>("expected");
    QTest::newRow("digit") << request(u"N.com"_s) << quint64(10);
    QTest::newRow("letter") << request(u"L.com"_s) << quint64(26);
    QTest::newRow("letter or digit") << request(u"X.com"_s) << quint64(36);
    QTest::newRow("pinyin initial") << request(u"C.com"_s) << quint64(23);
    QTest::newRow("pinyin final") << request(u"V.com"_s) << quint64(24);
    QTest::newRow("pinyin syllable") << request(u"P.com"_s) << quint64(411);
    QTest::newRow("two syllables") << request(u"PP"_s, u"cn"_s) << quint64(411 * 411);
    QTest::newRow("range") << request(u"[a-f].com"_s) << quint64(6);
    QTest::newRow("set") << request(u"[13579].com"_s) << quint64(5);
    QTest::newRow("repeated set members") << request(u"[a-cb].com"_s) << quint64(3);
    QTest::newRow("alternatives") << request(u"{ab,cd,,ab}x.com"_s) << quint64(3);
    QTest::newRow("quoted literal") << request(u"\"Mi\"N.com"_s) << quint64(10);
    QTest::newRow("four digits") << request(u"NNNN"_s, u".com"_s) << quint64(10'000);
    QTest::newRow("four letters") << request(u"LLLL"_s, u"com"_s) << quint64(456'976);
    QTest::newRow("AABB") << request(u"{AABB:N}"_s, u"com"_s) << quint64(10 * 9);
    QTest::newRow("ABAB") << request(u"{ABAB:L}.net"_s) << quint64(26 * 25);
    QTest::newRow("ABCD") << request(u"{ABCD:N}.net"_s) << quint64(10 * 9 * 8 * 7);
    QTest::newRow("AAAB over a set") << request(u"{AAAB:[a-f]}.cn"_s) << quint64(6 * 5);
    QTest::newRow("shape of syllables") << request(u"{ABA:P}.cn"_s) << quint64(411 * 410);
    QTest::newRow("three TLDs") << request(u"NN"_s, u".com,.net, .cn"_s) << quint64(300);
    QTest::newRow("repeated TLD") << request(u"N"_s, u"com,COM,.com"_s) << quint64(10);
    QTest::newRow("no 4") << request(u"NNNN.com"_s, {}, u"4"_s) << quint64(9 * 9 * 9 * 9);
    QTest::newRow("no 4 in a shape") << request(u"{AABB:N}.com"_s, {}, u"4"_s) << quint64(9 * 8);
    QTest::newRow("no 4, no 7") << request(u"X.com"_s, {}, u"4,7 a"_s) << quint64(33);
    QTest::newRow("no i in syllables")
        << request(u"P.com"_s, {}, u"i"_s)
        << quint64(std::count_if(PinyinTable::builtIn().syllables.cbegin(),
                                 PinyinTable::builtIn().syllables.cend(),
                                 [](const QString& s) { return !s.contains(u'i'); }));
    GeneratorRequest words = request(u"N"_s, u"com,net"_s);
    words.prefixes = {u"my"_s, u"go"_s, u"my"_s};
    words.suffixes = {u"hq"_s};
    QTest::newRow("prefixes and suffixes") << words << quint64(2 * 10 * 2);
    QTest::newRow("IDN keyword") << request(u"中文N"_s, u"中国"_s) << quint64(10);
}

void NameGeneratorTest::countMatchesClosedForm() {
    QFETCH(GeneratorRequest, given);
    QFETCH(quint64, expected);
    QString error;
    const auto generator = NameGenerator::create(given, &error);
    QVERIFY2(generator, qPrintable(error));
    QCOMPARE(generator->count().value, expected);
    QVERIFY(generator->count().exact);
    const QStringList names = allNames(*generator);
    QCOMPARE(quint64(names.size()), expected);
    // Syllables run together can spell the same name twice ("xian" + "an" and
    // "xia" + "nan"): the count is of combinations, as the making is.
    if (!given.pattern.contains(u'P'))
        QCOMPARE(quint64(QSet<QString>(names.cbegin(), names.cend()).size()), expected);
}

void NameGeneratorTest::shapesBindLettersToCharacters_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shape");
    QTest::newRow("AABB") << u"{AABB:N}.com"_s << u"AABB"_s;
    QTest::newRow("ABAB") << u"{ABAB:L}.com"_s << u"ABAB"_s;
    QTest::newRow("ABBA") << u"{ABBA:[a-d]}.com"_s << u"ABBA"_s;
    QTest::newRow("AAAB") << u"{AAAB:X}.com"_s << u"AAAB"_s;
    QTest::newRow("ABCA") << u"{ABCA:[1-5]}.com"_s << u"ABCA"_s;
}

// Equal letters bind equal characters, different letters different ones:
// 1122.com, never 1111.com.
void NameGeneratorTest::shapesBindLettersToCharacters() {
    QFETCH(QString, pattern);
    QFETCH(QString, shape);
    const auto generator = NameGenerator::create(request(pattern), nullptr);
    QVERIFY(generator);
    const QStringList names = allNames(*generator);
    QVERIFY(!names.isEmpty());
    for (const QString& name : names) {
        const QString label = name.section(u'.', 0, 0);
        QCOMPARE(label.size(), shape.size());
        for (qsizetype i = 0; i < shape.size(); ++i) {
            for (qsizetype j = i + 1; j < shape.size(); ++j)
                QVERIFY2((shape.at(i) == shape.at(j)) == (label.at(i) == label.at(j)),
                         qPrintable(name));
        }
    }
}

void NameGeneratorTest::excludedShapesAreLeftOut_data() {
    QTest::addColumn<GeneratorRequest>("given");
    QTest::addColumn<quint64>("atMost");
    QTest::addColumn<quint64>("made");
    QTest::newRow("no AAAA") << request(u"NNNN.com"_s, {}, u"AAAA"_s) << quint64(10'000)
                             << quint64(9'990);
    QTest::newRow("no two alike in a row")
        << request(u"NNN.com"_s, {}, u"AA"_s) << quint64(1'000) << quint64(10 * 9 * 9);
    QTest::newRow("no ABAB anywhere in the label")
        << request(u"NNNNN"_s, u"com"_s, u"ABAB"_s) << quint64(100'000)
        << quint64(100'000 - 2 * 90 * 10 + 90);
    QTest::newRow("shapes and characters")
        << request(u"NN.com"_s, {}, u"AA,4"_s) << quint64(81) << quint64(72);
}

void NameGeneratorTest::excludedShapesAreLeftOut() {
    QFETCH(GeneratorRequest, given);
    QFETCH(quint64, atMost);
    QFETCH(quint64, made);
    const auto generator = NameGenerator::create(given, nullptr);
    QVERIFY(generator);
    QCOMPARE(generator->count().value, atMost);
    QVERIFY(!generator->count().exact);
    QCOMPARE(generator->countByMaking(), made);
    QCOMPARE(quint64(allNames(*generator).size()), made);
}

void NameGeneratorTest::badRequestsAreNamed_data() {
    QTest::addColumn<GeneratorRequest>("given");
    QTest::addColumn<QString>("message");
    QTest::newRow("unclosed set") << request(u"ab[cd.com"_s) << u"第 3 个字符：“[”没有配对的“]”"_s;
    QTest::newRow("unclosed braces") << request(u"{ab,cd.com"_s) << u"第 1 个字符：“{”没有"_s;
    QTest::newRow("stray brace") << request(u"ab}c.com"_s) << u"第 3 个字符：多余的“}”"_s;
    QTest::newRow("nested braces") << request(u"{a{b}}.com"_s) << u"第 3 个字符"_s;
    QTest::newRow("unclosed quote") << request(u"N\"ab.com"_s) << u"第 2 个字符：引号"_s;
    QTest::newRow("unknown class") << request(u"NQ.com"_s) << u"第 2 个字符：没有“Q”这个字符类"_s;
    QTest::newRow("unknown class in a shape")
        << request(u"N{AB:Z}.com"_s) << u"第 6 个字符：没有“Z”"_s;
    QTest::newRow("empty set") << request(u"x[4].com"_s, {}, u"4"_s)
                               << u"第 2 个字符：排除“4”之后"_s;
    QTest::newRow("empty braces") << request(u"{}.com"_s) << u"第 1 个字符"_s;
    QTest::newRow("reversed range") << request(u"[az-a].com"_s) << u"第 3 个字符：“z-a”"_s;
    QTest::newRow("mixed range") << request(u"[a-9].com"_s) << u"第 2 个字符"_s;
    QTest::newRow("shape wider than its class")
        << request(u"{ABC:[ab]}.com"_s)
        << u"第 1 个字符：形状 ABC 要 3 个不同的字符，可选的只有 2 个"_s;
    QTest::newRow("shape without class") << request(u"{AABB}.com"_s) << u"{AABB:N}"_s;
    QTest::newRow("space") << request(u"ab c.com"_s) << u"第 3 个字符"_s;
    QTest::newRow("not a name character") << request(u"a_b.com"_s) << u"第 2 个字符：“_”"_s;
    QTest::newRow("invalid IDN") << request(u"ab☃.com"_s) << u"第 1 个字符：“ab☃”不符合"_s;
    QTest::newRow("over the limit") << request(u"LLLLLL"_s, u"com,net,org,cn"_s)
                                    << u"将生成 1,235,663,104 个域名，超过上限 100,000,000 个"_s;
    QTest::newRow("far over the limit")
        << request(u"XXXXXXXXXXXXXXXX.com"_s) << u"远超上限 100,000,000 个"_s;
    QTest::newRow("no TLD") << request(u"NNNN"_s) << u"名字没有后缀"_s;
    QTest::newRow("unknown TLD set") << request(u"N"_s, u"com,@most"_s) << u"“@most”"_s;
    QTest::newRow("unusable TLD") << request(u"N"_s, u"c_m"_s) << u"后缀“c_m”不能用"_s;
    QTest::newRow("empty pattern") << request(u" "_s, u"com"_s) << u"模式是空的"_s;
    QTest::newRow("label too long")
        << request(u"NNNN"_s + QString(70, u'a') + u".com"_s) << u"不能作为域名"_s;
}

void NameGeneratorTest::badRequestsAreNamed() {
    QFETCH(GeneratorRequest, given);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!NameGenerator::create(given, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

} // namespace ds

QTEST_GUILESS_MAIN(ds::NameGeneratorTest)
#include "tst_namegenerator.moc"
