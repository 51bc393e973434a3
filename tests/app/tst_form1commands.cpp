#include "Form1Test.h"
#include "UrlOpenerRecorder.h"
#include "app/ClipboardCopy.h"
#include "app/LineBox.h"
#include "app/Product.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// What the window's list, clear, copy, link and close commands do.
class TestForm1Commands final : public test::Form1Test {
    Q_OBJECT

private slots:
    void initTestCase() { speakChinese(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

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
};

void TestForm1Commands::startTidiesList_data() {
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

void TestForm1Commands::startTidiesList() {
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

void TestForm1Commands::startWritesBackOnlyChangedText() {
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

void TestForm1Commands::clearLeavesRunStateAlone() {
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

void TestForm1Commands::copyFreeDomains_data() {
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("three free lines")
        << u"a.pw|可注册\nb.pw|可注册\nc.pw|可注册\n"_s << u"a.pw\nb.pw\nc.pw\n"_s;
    QTest::newRow("empty list") << QString() << QString();
}

void TestForm1Commands::copyFreeDomains() {
    QFETCH(QString, text1);
    QFETCH(QString, clipboard);
    QGuiApplication::clipboard()->setText(u"left over"_s);
    m_form->Text1()->setPlainText(text1);
    click(u"Command4"_s);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QCOMPARE(m_form->Text1()->toPlainText(), text1);
    QCOMPARE(m_boxes->texts(), QStringList{u"全部域名复制成功，您可以粘贴到任意处！"_s});
}

void TestForm1Commands::copyWithoutClipboardFails() {
    QVERIFY(!ClipboardCopy::putOnClipboard(nullptr, u"a.pw\n"_s));
}

void TestForm1Commands::linksOpenTheirAddresses_data() {
    QTest::addColumn<bool>("opens");
    QTest::newRow("browser opened") << true;
    QTest::newRow("nothing could open it") << false;
}

void TestForm1Commands::linksOpenTheirAddresses() {
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

void TestForm1Commands::closeAsksOnce_data() {
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("OK") << QMessageBox::Ok;
    QTest::newRow("Cancel") << QMessageBox::Cancel;
}

void TestForm1Commands::closeAsksOnce() {
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

QTEST_MAIN(TestForm1Commands)
#include "tst_form1commands.moc"
