#include "MessageBoxRecorder.h"
#include "UrlOpenerRecorder.h"
#include "app/ClipboardCopy.h"
#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/LineBox.h"
#include "app/Product.h"
#include "app/Translation.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace ds;

// The window as a person meets it: what it shows at first, where each control
// sits, and what the list, clear, copy, link and close commands do.
class TestForm1 final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Fonts::install();
        // Qt's own words, a message box's buttons say, speak Chinese too.
        QVERIFY(Translation::install(*qApp, u"zh"_s));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), u"确定"_s);
    }
    void init();
    void cleanup();

    void initialState();
    void layout_data();
    void layout();
    void focusOrder();

    void startTidiesList_data();
    void startTidiesList();
    void startWritesBackOnlyChangedText();

    void clearLeavesRunStateAlone();
    void copyFreeDomains_data();
    void copyFreeDomains();
    void copyWithoutClipboardFails();
    void linksOpenTheirAddresses_data();
    void linksOpenTheirAddresses();
    void closeAsksOnce_data();
    void closeAsksOnce();

private:
    QWidget* child(const QString& name) const { return m_form->findChild<QWidget*>(name); }
    void click(const QString& name) { QTest::mouseClick(child(name), Qt::LeftButton); }

    QTemporaryDir m_folder;
    std::unique_ptr<test::MessageBoxRecorder> m_boxes;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::init() {
    m_boxes = std::make_unique<test::MessageBoxRecorder>();
    // No registrar: the registries are asked, here a port where nobody listens,
    // and no DNS step, which would ask the system's resolver.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QByteArray list = R"({"services": [[["pw"], ["http://127.0.0.1:)" +
                            QByteArray::number(closed.serverPort()) + R"(/"]]]})";
    closed.close();
    QFile bootstrap(m_folder.filePath(u"bootstrap.json"_s));
    QVERIFY(bootstrap.open(QIODevice::WriteOnly) && bootstrap.write(list) == list.size());
    bootstrap.close();
    const AppConfig config{.registrarAddress = QString(),
                           .toolsUrl = QUrl(u"https://tools.example.test/page"_s),
                           .supportUrl = QUrl(u"https://support.example.test/chat"_s),
                           .journalFolder = QString(),
                           .rdapBootstrap = bootstrap.fileName(),
                           .cacheFolder = m_folder.path(),
                           .dnsEnabled = false};
    m_form = std::make_unique<Form1>(config, [](const QUrl&) { return true; });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestForm1::cleanup() {
    m_form.reset();
    m_boxes.reset();
}

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

void TestForm1::startTidiesList_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("told");
    QTest::newRow("nothing to look up") << QString() << u"\n"_s << u"请先输入域名！"_s;
    // Whatever breaks the paste came with, the same lines come out.
    const QString lines = u"a.pw\nb.pw\nc.pw\n"_s;
    QTest::newRow("LF") << u"a.pw\nb.pw\n\n\nc.pw\n"_s << lines << QString();
    QTest::newRow("CR LF") << u"a.pw\r\nb.pw\r\n\r\n\r\nc.pw\r\n"_s << lines << QString();
    QTest::newRow("CR") << u"a.pw\rb.pw\r\r\rc.pw\r"_s << lines << QString();
}

void TestForm1::startTidiesList() {
    QFETCH(QString, pasted);
    QFETCH(QString, expected);
    QFETCH(QString, told);
    QGuiApplication::clipboard()->setText(pasted);
    m_form->Text4()->clear();
    m_form->Text4()->paste();
    click(u"Command1"_s);
    QCOMPARE(m_form->Text4()->toPlainText(), expected);
    if (told.isEmpty()) {
        // A list with names starts a run, registrar or not.
        QCOMPARE(m_form->Command1()->text(), u"暂 停"_s);
        QVERIFY(m_boxes->requests().isEmpty());
        return;
    }
    QCOMPARE(m_form->Command1()->text(), u"开始查询"_s);
    QCOMPARE(m_boxes->requests().size(), 1);
    QVERIFY2(m_boxes->texts().constFirst().contains(told), qPrintable(m_boxes->texts().join(u'|')));
    QCOMPARE(m_boxes->requests().constFirst().title, productTitle());
}

void TestForm1::startWritesBackOnlyChangedText() {
    QTextDocument* list = m_form->Text4()->document();
    click(u"Command1"_s);
    QCOMPARE(list->availableUndoSteps(), 0);
    click(u"Command3"_s);

    m_form->Text4()->setPlainText(u"a.pw\n\n\n\nb.pw"_s);
    QTextCursor caret = m_form->Text4()->textCursor();
    caret.setPosition(2);
    m_form->Text4()->setTextCursor(caret);
    click(u"Command1"_s);
    QCOMPARE(m_form->Text4()->toPlainText(), u"a.pw\nb.pw\n"_s);
    QCOMPARE(m_form->Text4()->textCursor().position(), 2);
    list->undo();
    QCOMPARE(m_form->Text4()->toPlainText(), u"a.pw\n\n\n\nb.pw"_s);
}

void TestForm1::clearLeavesRunStateAlone() {
    m_form->Text1()->setPlainText(u"a.pw|可注册\n"_s);
    m_form->Text2()->setPlainText(u"b.pw|已被注册\n"_s);
    m_form->Label3(0)->setText(u"12"_s);
    m_form->Command1()->setText(u"暂 停"_s);
    click(u"Command2"_s);
    const QString lists = m_form->Text4()->toPlainText() + m_form->Text1()->toPlainText() +
                          m_form->Text2()->toPlainText();
    QCOMPARE(lists, QString());
    QCOMPARE(m_form->Label3(0)->text(), u"12"_s);
    QCOMPARE(m_form->Command1()->text(), u"暂 停"_s);
    QVERIFY(m_boxes->requests().isEmpty());
}

void TestForm1::copyFreeDomains_data() {
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("three free lines")
        << u"a.pw|可注册\nb.pw|可注册\nc.pw|可注册\n"_s << u"a.pw\nb.pw\nc.pw\n"_s;
    QTest::newRow("empty list") << QString() << QString();
}

void TestForm1::copyFreeDomains() {
    QFETCH(QString, text1);
    QFETCH(QString, clipboard);
    QGuiApplication::clipboard()->setText(u"left over"_s);
    m_form->Text1()->setPlainText(text1);
    click(u"Command4"_s);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QCOMPARE(m_form->Text1()->toPlainText(), text1);
    QCOMPARE(m_boxes->texts(), QStringList{u"全部域名复制成功，您可以粘贴到任意处！"_s});
}

void TestForm1::copyWithoutClipboardFails() {
    QVERIFY(!ClipboardCopy::putOnClipboard(nullptr, u"a.pw\n"_s));
}

void TestForm1::linksOpenTheirAddresses_data() {
    QTest::addColumn<bool>("opens");
    QTest::newRow("browser opened") << true;
    QTest::newRow("nothing could open it") << false;
}

void TestForm1::linksOpenTheirAddresses() {
    QFETCH(bool, opens);
    test::UrlOpenerRecorder opener(opens);
    const AppConfig& config = m_form->config();
    Form1 form(config, opener.opener());
    // Whether the page really came up cannot be known: the address is always shown.
    QTest::mouseClick(form.findChild<QWidget*>(u"Command5"_s), Qt::LeftButton);
    QCOMPARE(m_boxes->texts(),
             QStringList{u"如果打开不正常，请手动输入："_s + config.toolsUrl.toString()});
    QTest::mouseClick(form.findChild<QWidget*>(u"wenticc"_s), Qt::LeftButton);
    QCOMPARE(opener.urls(), (QList<QUrl>{config.toolsUrl, config.supportUrl}));
    QCOMPARE(m_boxes->requests().size(), 1);
}

void TestForm1::closeAsksOnce_data() {
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("OK") << QMessageBox::Ok;
    QTest::newRow("Cancel") << QMessageBox::Cancel;
}

void TestForm1::closeAsksOnce() {
    QFETCH(QMessageBox::StandardButton, answer);
    QList<MessageBoxRequest> asked;
    MessageBoxes::setHook([&asked, answer, this](const MessageBoxRequest& request) {
        asked.append(request);
        // A second close arriving while the question is open; close() itself
        // would be turned away by Qt before reaching the window.
        if (asked.size() == 1) {
            QCloseEvent again;
            QCoreApplication::sendEvent(m_form.get(), &again);
        }
        return answer;
    });
    QCOMPARE(m_form->close(), answer == QMessageBox::Ok);
    MessageBoxes::setHook({});
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.constFirst().text, u"真的退出吗?"_s);
    QCOMPARE(asked.constFirst().title, u"退出"_s);
    QCOMPARE(asked.constFirst().escapeButton, QMessageBox::Cancel);
    QCOMPARE(m_form->isVisible(), answer == QMessageBox::Cancel);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
