#include "app/MessageBoxes.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace ds;

namespace {

// Runs `answer` on the box as soon as it is on screen. Should a check inside
// `answer` fail before the box is answered, the watchdog closes it so that
// the failure is reported instead of the test hanging.
void whenBoxShown(std::function<void(QMessageBox*)> answer) {
    QTimer::singleShot(10000, qApp, [] {
        if (QWidget* left = QApplication::activeModalWidget())
            left->close();
    });
    QTimer::singleShot(0, qApp, [answer = std::move(answer)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        answer(box);
    });
}

MessageBoxRequest closeQuestion() {
    MessageBoxRequest request;
    request.text = u"真的退出吗?"_s;
    request.title = u"退出"_s;
    request.icon = QMessageBox::Question;
    request.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    request.escapeButton = QMessageBox::Cancel;
    return request;
}

} // namespace

// The real boxes the program shows when no test hook answers them.
class TestMessageBoxes final : public QObject {
    Q_OBJECT

private slots:
    void keysAnswerTheBox_data();
    void keysAnswerTheBox();
    void timersKeepRunningWhileBoxIsOpen();
    void hookMayRemoveItselfWhileAnswering();
};

void TestMessageBoxes::keysAnswerTheBox_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QMessageBox::StandardButton>("expected");
    QTest::newRow("Enter takes the default") << int(Qt::Key_Return) << QMessageBox::Ok;
    QTest::newRow("Esc is Cancel") << int(Qt::Key_Escape) << QMessageBox::Cancel;
}

void TestMessageBoxes::keysAnswerTheBox() {
    QFETCH(int, key);
    QFETCH(QMessageBox::StandardButton, expected);
    QString shownTitle;
    whenBoxShown([&](QMessageBox* box) {
        shownTitle = box->windowTitle();
        QCOMPARE(box->icon(), QMessageBox::Question);
        QCOMPARE(box->text(), u"真的退出吗?"_s);
        QCOMPARE(box->defaultButton(), box->button(QMessageBox::Ok));
        QTest::keyClick(box, Qt::Key(key));
    });
    QCOMPARE(MessageBoxes::show(nullptr, closeQuestion()), expected);
    QCOMPARE(shownTitle, u"退出"_s);
}

void TestMessageBoxes::timersKeepRunningWhileBoxIsOpen() {
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(1);
    whenBoxShown([&](QMessageBox* box) {
        QTRY_VERIFY(ticks >= 3);
        box->button(QMessageBox::Cancel)->click();
    });
    QCOMPARE(MessageBoxes::show(nullptr, closeQuestion()), QMessageBox::Cancel);
}

void TestMessageBoxes::hookMayRemoveItselfWhileAnswering() {
    MessageBoxes::setHook([](const MessageBoxRequest& request) {
        MessageBoxes::setHook({});
        return request.escapeButton;
    });
    QCOMPARE(MessageBoxes::show(nullptr, closeQuestion()), QMessageBox::Cancel);
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
