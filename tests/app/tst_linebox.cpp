#include "app/LineBox.h"
#include "app/LineStore.h"
#include "app/ListText.h"
#include "query/DomainList.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// The result boxes' own line store and view, and the start press's reading of
// the list box.
class TestLineBox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storeSplitsText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("LF") << u"a.pw|可注册\nb.pw|已被注册\n"_s
                            << QStringList{u"a.pw|可注册"_s, u"b.pw|已被注册"_s};
        QTest::newRow("CR LF, last line unended")
            << u"a\r\n\r\nb"_s << QStringList{u"a"_s, {}, u"b"_s};
        QTest::newRow("CR and separators")
            << u"a\rb\u2029c\u2028"_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
        QTest::newRow("Chinese name")
            << u"中文.中国|查询失败\n"_s << QStringList{u"中文.中国|查询失败"_s};
        QTest::newRow("empty") << QString() << QStringList();
    }
    void storeSplitsText() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        LineStore store;
        store.setText(text);
        QCOMPARE(store.size(), lines.size());
        for (qsizetype n = 0; n < lines.size(); ++n)
            QCOMPARE(store.line(n), lines.at(n));
        QCOMPARE(store.text(), lines.isEmpty() ? QString() : lines.join(u'\n') + u'\n');
    }

    // Enough lines for several chunks, then every line rewritten so the old
    // bytes are dropped on the way, and lines removed above the ones sought.
    void storeKeepsAMillionLines() {
        constexpr int Lines = 1'000'000;
        LineStore store;
        for (int n = 0; n < Lines; ++n)
            store.append(u"n%1.pw|已被注册"_s.arg(n), n);
        for (int n = 0; n < Lines; n += 2)
            store.replace(n, u"n%1.pw|可注册"_s.arg(n), Lines + n);
        store.remove(0);
        store.remove(10); // n11.pw
        QCOMPARE(store.size(), Lines - 2);
        QCOMPARE(store.line(0), u"n1.pw|已被注册"_s);
        QCOMPARE(store.line(Lines - 3), u"n999999.pw|已被注册"_s);
        QCOMPARE(store.find(Lines + 500'000, 500'000), 499'998);
        QCOMPARE(store.find(11, Lines), -1); // removed
        QCOMPARE(store.find(Lines + 12, Lines), 10);
        QCOMPARE(store.find(13, 11), 11);
        QCOMPARE(store.find(-1, Lines), -1);
    }

    void dragCopiesLines_data() {
        QTest::addColumn<int>("pressLine");
        QTest::addColumn<int>("releaseLine");
        QTest::addColumn<QString>("copied");
        QTest::newRow("two lines") << 0 << 1 << u"a.pw|可注册\n中文.中国|已被注册"_s;
        QTest::newRow("upwards") << 2 << 1 << u"中文.中国|已被注册\nc.pw|查询失败"_s;
        QTest::newRow("past the last line") << 1 << 9 << u"中文.中国|已被注册\nc.pw|查询失败\n"_s;
    }
    // The mouse goes from the start of one line to the end of another (or
    // the other way round), then Ctrl+C.
    void dragCopiesLines() {
        QFETCH(int, pressLine);
        QFETCH(int, releaseLine);
        QFETCH(QString, copied);
        LineBox box;
        box.resize(300, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setPlainText(u"a.pw|可注册\n中文.中国|已被注册\nc.pw|查询失败\n"_s);
        const int height = QFontMetrics(box.font()).lineSpacing();
        const auto at = [&](int line, bool start) {
            return QPoint(start ? 1 : 290, 4 + line * height + height / 2);
        };
        const bool down = pressLine <= releaseLine;
        QTest::mousePress(box.viewport(), Qt::LeftButton, {}, at(pressLine, down));
        QTest::mouseMove(box.viewport(), at(releaseLine, !down));
        QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, at(releaseLine, !down));
        QCOMPARE(box.selectedText(), copied);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box.selectedText(), box.toPlainText());
    }

    void listTidiness_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<bool>("tidy");
        QTest::newRow("tidy") << u"a.pw\u2029中文.中国\u2029"_s << true;
        QTest::newRow("no last break") << u"a.pw\u2029b.pw"_s << false;
        QTest::newRow("empty line") << u"a.pw\u2029\u2029b.pw\u2029"_s << false;
        QTest::newRow("CR inside") << u"a.pw\rb.pw\u2029"_s << false;
        QTest::newRow("line separator") << u"a.pw\u2028b.pw\u2029"_s << false;
        QTest::newRow("nothing") << QString() << false;
    }
    // What is called tidy is left as it is by tidying.
    void listTidiness() {
        QFETCH(QString, raw);
        QFETCH(bool, tidy);
        QCOMPARE(ListText::isTidy(raw), tidy);
        if (tidy) {
            const QString plain = QString(raw).replace(QChar::ParagraphSeparator, u'\n');
            QCOMPARE(DomainList::tidy(plain), plain);
        }
    }

    void journalLines_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QByteArray>("lines");
        QTest::newRow("ended") << u"a.pw\u2029中文.中国\u2029"_s << "a.pw\n中文.中国\n"_ba;
        QTest::newRow("unended") << u"a.pw\u2029b.pw"_s << "a.pw\nb.pw\n"_ba;
        QTest::newRow("one empty line") << u"\u2029"_s << "\n"_ba;
        QTest::newRow("nothing") << QString() << QByteArray();
    }
    void journalLines() {
        QFETCH(QString, raw);
        QFETCH(QByteArray, lines);
        QCOMPARE(ListText::journalLines(raw), lines);
    }
};

QTEST_MAIN(TestLineBox)
#include "tst_linebox.moc"
