#include "Form1Test.h"
#include "app/LineBox.h"
#include "app/Product.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// The window as a person meets it: what it shows at first, and where each
// control sits.
class TestForm1 final : public test::Form1Test {
    Q_OBJECT

private slots:
    void initTestCase() { speakChinese(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void initialState();
    void layout_data();
    void layout();
    void focusOrder();
};

void TestForm1::initialState() {
    QCOMPARE(m_form->windowTitle(), productTitle());
    QCOMPARE(m_form->size(), QSize(621, 373));
    // The sample ends in a line break, so that a typed domain starts a line of its own.
    const QString list = m_form->Text4()->toPlainText();
    QVERIFY2(list.endsWith(u".pw\n"_s), qPrintable(list));
    QCOMPARE(list.count(u'\n'), 7);
    QCOMPARE(m_form->Text1()->toPlainText() + m_form->Text2()->toPlainText(), QString());
    QCOMPARE(m_form->Label3(0)->text() + m_form->Label3(1)->text(), u"00"_s);
    QCOMPARE(m_form->Command1()->text(), u"开始查询"_s);
    QVERIFY(!m_form->Check1()->isChecked());
    QVERIFY(!m_form->Check1()->isVisible());
    QCOMPARE(qobject_cast<QLabel*>(child(u"methodLabel"_s))->text(), u"查询方式：注册局（RDAP）"_s);
    QVERIFY(!qobject_cast<QLabel*>(child(u"qiyevv"_s))->pixmap().isNull());

    // Without a face that has the glyphs every caption turns into boxes; a
    // label narrower than its text cuts the end off.
    for (const QWidget* widget : m_form->findChildren<QWidget*>()) {
        const QString family = QFontInfo(widget->font()).family();
        QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese),
                 qPrintable(widget->objectName() + u' ' + family));
        if (qobject_cast<const QLabel*>(widget))
            QVERIFY2(widget->width() >= widget->sizeHint().width(),
                     qPrintable(widget->objectName()));
    }
}

void TestForm1::layout_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("exactSize");

    auto row = [](const char* name, const char* parent, QRect rect, bool exact = true) {
        QTest::newRow(name) << QString::fromLatin1(parent) << rect << exact;
    };
    row("Frame2", "Form1", {120, 0, 9135, 615});
    row("qiyevv", "Frame2", {7800, 120, 345, 240});
    // Room below for the underline: only the top-left corner and the width are fixed.
    row("wenticc", "Frame2", {8160, 240, 780, 180}, false);
    row("Frame1", "Form1", {120, 720, 9135, 4815});
    row("Label1_0", "Frame1", {120, 240, 1575, 210});
    row("Label2_0", "Frame1", {2040, 120, 540, 180});
    row("Label3_0", "Frame1", {2640, 120, 90, 180}, false);
    row("Label2_1", "Frame1", {2040, 360, 540, 180});
    row("Label3_1", "Frame1", {2640, 360, 90, 180}, false);
    row("Label1_1", "Frame1", {3600, 240, 1125, 210});
    row("Label1_2", "Frame1", {6360, 240, 900, 210});
    row("Text4", "Frame1", {120, 600, 3255, 3255});
    row("Text2", "Frame1", {3600, 600, 2655, 3255});
    row("Text1", "Frame1", {6360, 600, 2535, 3255});
    row("Command1", "Frame1", {120, 3960, 1455, 615});
    row("Command3", "Frame1", {2040, 3960, 1215, 615});
    row("Command2", "Frame1", {3600, 3960, 1695, 615});
    row("Command4", "Frame1", {6360, 3960, 1095, 615});
    row("Command5", "Frame1", {7920, 3960, 975, 615});
}

void TestForm1::layout() {
    QFETCH(QString, parent);
    QFETCH(QRect, twips);
    QFETCH(bool, exactSize);

    const QWidget* widget = child(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    const QRect expected(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(widget->pos(), expected.topLeft());
    if (exactSize) {
        QCOMPARE(widget->size(), expected.size());
    } else {
        QVERIFY(widget->width() >= expected.width());
        QVERIFY(widget->height() >= expected.height());
    }
}

void TestForm1::focusOrder() {
    const QStringList expected{u"Text2"_s, u"Text1"_s,    u"Command3"_s, u"Command2"_s,
                               u"Text4"_s, u"Command1"_s, u"Command4"_s, u"Command5"_s};
    QStringList seen;
    QWidget* start = child(expected.constFirst());
    QWidget* widget = start;
    do {
        if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus))
            seen.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != start && seen.size() <= expected.size());
    QCOMPARE(seen, expected);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
