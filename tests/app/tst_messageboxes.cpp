#include "app/MessageBoxes.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace ds;

namespace {

const MessageBoxRequest kQuestion{.text = u"真的退出吗?"_s,
                                  .title = u"退出"_s,
                                  .buttons = QMessageBox::Ok | QMessageBox::Cancel,
                                  .escapeButton = QMessageBox::Cancel};

} // namespace

// The real boxes the program shows when no test hook answers them.
class TestMessageBoxes final : public QObject {
    Q_OBJECT

private slots:
    void escCancelsWhileTimersTick();
    void hookMayRemoveItselfWhileAnswering();
};

void TestMessageBoxes::escCancelsWhileTimersTick() {
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(1);
    // Should a check fail before the box is answered, this closes it so that
    // the failure is reported instead of the test hanging.
    QTimer::singleShot(10000, qApp, [] {
        if (QWidget* left = QApplication::activeModalWidget())
            left->close();
    });
    QString shownTitle;
    QTimer::singleShot(0, qApp, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shownTitle = box->windowTitle();
        // A query run lives on timers: the box must not hold them up.
        QTRY_VERIFY(ticks >= 3);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(MessageBoxes::show(nullptr, kQuestion), QMessageBox::Cancel);
    QCOMPARE(shownTitle, u"退出"_s);
}

void TestMessageBoxes::hookMayRemoveItselfWhileAnswering() {
    // The answer is read from the hook's own captures after it has removed
    // itself: those must still be alive then.
    MessageBoxes::setHook([answers = QList{QMessageBox::Cancel}](const MessageBoxRequest&) {
        MessageBoxes::setHook({});
        return answers.constFirst();
    });
    QCOMPARE(MessageBoxes::show(nullptr, kQuestion), QMessageBox::Cancel);
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
