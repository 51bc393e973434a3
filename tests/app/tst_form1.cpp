#include "MessageBoxRecorder.h"
#include "UrlOpenerRecorder.h"
#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/Product.h"
#include "app/ResultExport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace ds;

namespace {

const QUrl kToolsUrl(u"https://tools.example.test/page"_s);
const QUrl kSupportUrl(u"https://support.example.test/chat"_s);

bool drawsChinese(const QFont& font) {
    return QFontDatabase::writingSystems(QFontInfo(font).family())
        .contains(QFontDatabase::SimplifiedChinese);
}

} // namespace

// The window as a person meets it: what it shows at first, where each control
// sits, and what the list, clear, copy, link and close commands do.
class TestForm1 final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void initialState();
    void layout_data();
    void layout();
    void fonts_data();
    void fonts();
    void focusOrder();

    void startTidiesList_data();
    void startTidiesList();
    void startWritesBackOnlyChangedText();
    void pastedLineBreaksGiveSameLines_data();
    void pastedLineBreaksGiveSameLines();

    void clearLeavesRunStateAlone();
    void copyFreeDomains_data();
    void copyFreeDomains();
    void copyWithoutClipboardFails();
    void toolsButtonAlwaysShowsAddress_data();
    void toolsButtonAlwaysShowsAddress();
    void supportLinkOpensQuietly();

    void closeAsksOnce_data();
    void closeAsksOnce();
    void closeWhileAskingDoesNotAskAgain();

private:
    QWidget* child(const QString& name) const { return m_form->findChild<QWidget*>(name); }
    void clickStart() { QTest::mouseClick(m_form->Command1(), Qt::LeftButton); }

    std::unique_ptr<test::UrlOpenerRecorder> m_opener;
    std::unique_ptr<test::MessageBoxRecorder> m_boxes;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::initTestCase() {
    Fonts::install();
}

void TestForm1::init() {
    m_opener = std::make_unique<test::UrlOpenerRecorder>();
    m_boxes = std::make_unique<test::MessageBoxRecorder>();
    AppConfig config;
    config.toolsUrl = kToolsUrl;
    config.supportUrl = kSupportUrl;
    m_form = std::make_unique<Form1>(config, m_opener->opener());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestForm1::cleanup() {
    m_form.reset();
    m_boxes.reset();
    m_opener.reset();
}

void TestForm1::initialState() {
    QCOMPARE(m_form->windowTitle(), productTitle());
    QCOMPARE(m_form->size(), QSize(621, 373));
    QVERIFY(!m_form->windowIcon().isNull());

    const QString list = m_form->Text4()->toPlainText();
    QVERIFY(list.endsWith(u'\n'));
    const QStringList lines = list.split(u'\n');
    QCOMPARE(lines.size(), 8);
    for (const QString& line : lines.first(7))
        QVERIFY2(line.endsWith(u".pw"_s), qPrintable(line));

    QCOMPARE(m_form->Text1()->toPlainText(), QString());
    QCOMPARE(m_form->Text2()->toPlainText(), QString());
    QCOMPARE(m_form->Label3(0)->text(), u"0"_s);
    QCOMPARE(m_form->Label3(1)->text(), u"0"_s);
    QCOMPARE(m_form->Command1()->text(), u"开始查询"_s);
    QCOMPARE(m_form->Command3()->text(), u"停  止"_s);
    QVERIFY(!m_form->Check1()->isChecked());
    QVERIFY(!m_form->Check1()->isVisible());
    QVERIFY(m_boxes->requests().isEmpty());

    const auto* qiyevv = qobject_cast<QLabel*>(child(u"qiyevv"_s));
    QVERIFY(qiyevv);
    QCOMPARE(qiyevv->pixmap().size(), QSize(23, 16));
}

void TestForm1::layout_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("exactSize");

    auto row = [](const char* name, const QString& parent, QRect rect, bool exact = true) {
        QTest::newRow(name) << parent << rect << exact;
    };
    const QString form = u"Form1"_s;
    const QString top = u"Frame2"_s;
    const QString panel = u"Frame1"_s;
    row("Frame2", form, {120, 0, 9135, 615});
    row("qiyevv", top, {7800, 120, 345, 240});
    // Room below for the underline: only the top-left corner and the width are fixed.
    row("wenticc", top, {8160, 240, 780, 180}, false);
    row("Frame1", form, {120, 720, 9135, 4815});
    row("Label1_0", panel, {120, 240, 1575, 210});
    row("Label2_0", panel, {2040, 120, 540, 180});
    row("Label3_0", panel, {2640, 120, 90, 180}, false);
    row("Label2_1", panel, {2040, 360, 540, 180});
    row("Label3_1", panel, {2640, 360, 90, 180}, false);
    row("Label1_1", panel, {3600, 240, 1125, 210});
    row("Label1_2", panel, {6360, 240, 900, 210});
    row("Text4", panel, {120, 600, 3255, 3255});
    row("Text2", panel, {3600, 600, 2655, 3255});
    row("Text1", panel, {6360, 600, 2535, 3255});
    row("Command1", panel, {120, 3960, 1455, 615});
    row("Command3", panel, {2040, 3960, 1215, 615});
    row("Command2", panel, {3600, 3960, 1695, 615});
    row("Command4", panel, {6360, 3960, 1095, 615});
    row("Command5", panel, {7920, 3960, 975, 615});
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
        QVERIFY(widget->width() >= widget->sizeHint().width());
    }
}

void TestForm1::fonts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::newRow("wenticc") << u"问题处理"_s << 9.0 << true << true;
    QTest::newRow("Label1_0") << u"输入查询域名："_s << 10.5 << true << false;
    QTest::newRow("Label2_0") << u"共有："_s << 9.0 << false << false;
}

void TestForm1::fonts() {
    QFETCH(QString, text);
    QFETCH(qreal, pointSize);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    const auto* label = qobject_cast<QLabel*>(child(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->font().family(), u"宋体"_s);
    QCOMPARE(label->font().pointSizeF(), pointSize);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->font().underline(), underline);
    QVERIFY2(drawsChinese(label->font()), qPrintable(QFontInfo(label->font()).family()));
    QVERIFY(label->width() >= label->sizeHint().width());
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

void TestForm1::startTidiesList_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("refused");
    QTest::newRow("single domain") << u"x.pw"_s << u"x.pw\n"_s << false;
    QTest::newRow("empty box") << QString() << u"\n"_s << true;
    QTest::newRow("word before a domain") << u"word\nx.pw"_s << u"word\nx.pw\n"_s << false;
}

void TestForm1::startTidiesList() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(bool, refused);
    m_form->Text4()->setPlainText(input);
    clickStart();
    QCOMPARE(m_form->Text4()->toPlainText(), expected);
    QCOMPARE(m_form->Command1()->text(), u"开始查询"_s);
    QCOMPARE(m_boxes->requests().size(), 1);
    const MessageBoxRequest& box = m_boxes->requests().constFirst();
    if (!refused) {
        // No registrar is set here: the press says how to set one and starts nothing.
        QVERIFY2(box.text.contains(u"--registrar"_s), qPrintable(box.text));
        QCOMPARE(m_form->Check1()->isChecked(), false);
        return;
    }
    QCOMPARE(box.text, u"请先输入域名！"_s);
    QCOMPARE(box.title, productTitle());
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestForm1::startWritesBackOnlyChangedText() {
    QTextDocument* list = m_form->Text4()->document();
    clickStart();
    QCOMPARE(list->availableUndoSteps(), 0);

    m_form->Text4()->setPlainText(u"a.pw\n\n\n\nb.pw"_s);
    QTextCursor caret = m_form->Text4()->textCursor();
    caret.setPosition(2);
    m_form->Text4()->setTextCursor(caret);
    clickStart();
    QCOMPARE(m_form->Text4()->toPlainText(), u"a.pw\nb.pw\n"_s);
    QCOMPARE(m_form->Text4()->textCursor().position(), 2);
    list->undo();
    QCOMPARE(m_form->Text4()->toPlainText(), u"a.pw\n\n\n\nb.pw"_s);
}

void TestForm1::pastedLineBreaksGiveSameLines_data() {
    QTest::addColumn<QString>("pasted");
    QTest::newRow("LF") << u"a.pw\nb.pw\n\n\nc.pw\n"_s;
    QTest::newRow("CR LF") << u"a.pw\r\nb.pw\r\n\r\n\r\nc.pw\r\n"_s;
    QTest::newRow("CR") << u"a.pw\rb.pw\r\r\rc.pw\r"_s;
}

void TestForm1::pastedLineBreaksGiveSameLines() {
    QFETCH(QString, pasted);
    QGuiApplication::clipboard()->setText(pasted);
    m_form->Text4()->clear();
    m_form->Text4()->paste();
    clickStart();
    QCOMPARE(m_form->Text4()->toPlainText(), u"a.pw\nb.pw\nc.pw\n"_s);
}

void TestForm1::clearLeavesRunStateAlone() {
    m_form->Text1()->setPlainText(u"a.pw|可注册\n"_s);
    m_form->Text2()->setPlainText(u"b.pw|已被注册\n"_s);
    m_form->Label3(0)->setText(u"12"_s);
    m_form->Label3(1)->setText(u"5"_s);
    m_form->Command1()->setText(u"暂 停"_s);
    m_form->Check1()->setChecked(true);

    QTest::mouseClick(qobject_cast<QPushButton*>(child(u"Command2"_s)), Qt::LeftButton);

    QCOMPARE(m_form->Text4()->toPlainText(), QString());
    QCOMPARE(m_form->Text1()->toPlainText(), QString());
    QCOMPARE(m_form->Text2()->toPlainText(), QString());
    QCOMPARE(m_form->Label3(0)->text(), u"12"_s);
    QCOMPARE(m_form->Label3(1)->text(), u"5"_s);
    QCOMPARE(m_form->Command1()->text(), u"暂 停"_s);
    QVERIFY(m_form->Check1()->isChecked());
    QVERIFY(m_boxes->requests().isEmpty());
}

void TestForm1::copyFreeDomains_data() {
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("three free lines")
        << u"a.pw|可注册\nb.pw|可注册\nc.pw|可注册\n"_s << u"a.pw\nb.pw\nc.pw\n"_s;
    QTest::newRow("empty list") << QString() << QString();
    QTest::newRow("only the exact verdict goes")
        << u"a.pw|可注册x\nb.pw| 可注册\n"_s << u"a.pwx\nb.pw| 可注册\n"_s;
}

void TestForm1::copyFreeDomains() {
    QFETCH(QString, text1);
    QFETCH(QString, clipboard);
    QGuiApplication::clipboard()->setText(u"left over"_s);
    m_form->Text1()->setPlainText(text1);
    QTest::mouseClick(qobject_cast<QPushButton*>(child(u"Command4"_s)), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QCOMPARE(m_form->Text1()->toPlainText(), text1);
    QCOMPARE(m_boxes->texts(), QStringList{u"全部域名复制成功，您可以粘贴到任意处！"_s});
}

void TestForm1::copyWithoutClipboardFails() {
    QVERIFY(!ResultExport::putOnClipboard(nullptr, u"a.pw\n"_s));
}

void TestForm1::toolsButtonAlwaysShowsAddress_data() {
    QTest::addColumn<bool>("opens");
    QTest::newRow("browser opened") << true;
    QTest::newRow("nothing could open it") << false;
}

void TestForm1::toolsButtonAlwaysShowsAddress() {
    QFETCH(bool, opens);
    test::UrlOpenerRecorder opener(opens);
    Form1 form(m_form->config(), opener.opener());
    QTest::mouseClick(form.findChild<QPushButton*>(u"Command5"_s), Qt::LeftButton);
    QCOMPARE(opener.urls(), QList<QUrl>{kToolsUrl});
    QCOMPARE(m_boxes->texts(),
             QStringList{u"如果打开不正常，请手动输入："_s + kToolsUrl.toString()});
}

void TestForm1::supportLinkOpensQuietly() {
    QWidget* link = child(u"wenticc"_s);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_opener->urls(), QList<QUrl>{kSupportUrl});
    QVERIFY(m_boxes->requests().isEmpty());
}

void TestForm1::closeAsksOnce_data() {
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("OK") << QMessageBox::Ok << true;
    QTest::newRow("Cancel") << QMessageBox::Cancel << false;
}

void TestForm1::closeAsksOnce() {
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, closes);
    m_form->Text1()->setPlainText(u"a.pw|可注册\n"_s);
    m_boxes->answerNext(answer);

    QCOMPARE(m_form->close(), closes);

    QCOMPARE(m_boxes->requests().size(), 1);
    const MessageBoxRequest& box = m_boxes->requests().constFirst();
    QCOMPARE(box.text, u"真的退出吗?"_s);
    QCOMPARE(box.title, u"退出"_s);
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.defaultButton, QMessageBox::Ok);
    QCOMPARE(box.escapeButton, QMessageBox::Cancel);
    QCOMPARE(m_form->isVisible(), !closes);
    QCOMPARE(m_form->Text1()->toPlainText(), u"a.pw|可注册\n"_s);
}

void TestForm1::closeWhileAskingDoesNotAskAgain() {
    int asked = 0;
    MessageBoxes::setHook([&](const MessageBoxRequest&) {
        ++asked;
        // A second close arriving while the first question is open.
        m_form->close();
        return QMessageBox::Cancel;
    });
    QVERIFY(!m_form->close());
    QCOMPARE(asked, 1);
    QVERIFY(m_form->isVisible());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
