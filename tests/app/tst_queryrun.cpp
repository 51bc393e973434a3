#include "FakeRegistrar.h"
#include "MessageBoxRecorder.h"
#include "UrlOpenerRecorder.h"
#include "app/Form1.h"
#include "app/LineBox.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace ds;
using namespace ds::test;

namespace {

QStringList sortedLines(const QString& text) {
    QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

} // namespace

// A run as a person drives it: the buttons of the real window against a local
// registrar, at the program's own pacing.
class TestQueryRun final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_registrar = std::make_unique<FakeRegistrar>();
        m_boxes = std::make_unique<MessageBoxRecorder>();
        m_opener = std::make_unique<UrlOpenerRecorder>();
        AppConfig config;
        config.registrarAddress = m_registrar->url().toString(QUrl::RemovePath);
        m_form = std::make_unique<Form1>(config, m_opener->opener());
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() {
        m_form.reset();
        m_opener.reset();
        m_boxes.reset();
        m_registrar.reset();
    }

    void sampleListRunsToTheEnd() {
        const QString sample = m_form->Text4()->toPlainText();
        m_registrar->setBehaviour([](const QString& entry, int) {
            return FakeRegistrar::answer(entry.startsWith(u"1314"_s) ||
                                         entry.startsWith(u"sieve"_s));
        });
        press(m_form->Command1());
        QCOMPARE(m_form->Command1()->text(), u"暂 停"_s);
        QVERIFY(runEnds());

        QCOMPARE(m_form->Text4()->toPlainText(), sample);
        QCOMPARE(sortedLines(m_form->Text1()->toPlainText()),
                 (QStringList{u"1314.pw|可注册"_s, u"sieve.pw|可注册"_s}));
        QStringList taken = sortedLines(m_form->Text2()->toPlainText());
        QCOMPARE(taken.size(), 5);
        for (const QString& line : taken) {
            QVERIFY2(line.endsWith(u"|已被注册"_s), qPrintable(line));
        }
        QCOMPARE(m_form->Label3(0)->text(), u"7"_s);
        QCOMPARE(m_form->Label3(1)->text(), u"7"_s);
        QCOMPARE(m_form->Check1()->isChecked(), false);
        QCOMPARE(m_registrar->server().maxConcurrent(), 1);
        QVERIFY(m_boxes->requests().isEmpty());

        // What a run found free is what the copy hands on.
        press(m_form->findChild<QPushButton*>(u"Command4"_s));
        QCOMPARE(sortedLines(QGuiApplication::clipboard()->text()),
                 (QStringList{u"1314.pw"_s, u"sieve.pw"_s}));
    }

    void pauseAndContinueLeaveTheListAlone() {
        m_registrar->setBehaviour(
            [](const QString&, int) { return FakeRegistrar::answer(false, 100); });
        press(m_form->Command1());
        QVERIFY(QTest::qWaitFor([&] { return !m_registrar->server().requests().isEmpty(); }));

        // Lines a re-tidy would collapse stay as they are while the run goes on.
        m_form->Text4()->appendPlainText(u"\n\n\nlate.pw"_s);
        const QString edited = m_form->Text4()->toPlainText();
        press(m_form->Command1());
        QCOMPARE(m_form->Command1()->text(), u"继 续"_s);
        QCOMPARE(m_form->Check1()->isChecked(), true);
        QCOMPARE(m_form->Text4()->toPlainText(), edited);

        // The three steps under way still end; after them nothing moves.
        QVERIFY(QTest::qWaitFor([&] { return m_form->Text2()->lineCount() == 3; }));
        QTest::qWait(300);
        QCOMPARE(m_registrar->server().requests().size(), 3);

        press(m_form->Command1());
        QCOMPARE(m_form->Command1()->text(), u"暂 停"_s);
        QCOMPARE(m_form->Check1()->isChecked(), false);
        QVERIFY(runEnds());
        QCOMPARE(m_form->Text4()->toPlainText(), edited);
        const QStringList requested = m_registrar->requestedEntries();
        QCOMPARE(requested.size(), 8);
        QCOMPARE(requested.count(u"late.pw"_s), 1);
    }

    void stopEndsTheRunWhileARequestIsOut() {
        m_registrar->setBehaviour(
            [](const QString&, int) { return FakeRegistrar::answer(true, 200); });
        press(m_form->Command1());
        QVERIFY(QTest::qWaitFor([&] { return !m_registrar->server().requests().isEmpty(); }));
        press(m_form->Command3());
        QCOMPARE(m_form->Command1()->text(), u"开始查询"_s);
        QCOMPARE(m_form->Check1()->isChecked(), true);
        const QString doneAtStop = m_form->Label3(1)->text();
        QTest::qWait(400);
        QCOMPARE(m_registrar->server().requests().size(), 1);
        QVERIFY(m_form->Text1()->toPlainText().isEmpty());
        QCOMPARE(m_form->Label3(1)->text(), doneAtStop);

        // A new start begins afresh: every line once, nothing of the old run.
        m_registrar->setBehaviour([](const QString&, int) { return FakeRegistrar::answer(true); });
        press(m_form->Command1());
        QVERIFY(runEnds());
        QCOMPARE(m_form->Text1()->lineCount(), 7);
        QCOMPARE(m_form->Label3(1)->text(), u"7"_s);
    }

    void windowAnswersWhileARequestIsOut() {
        m_registrar->setBehaviour(
            [](const QString&, int) { return FakeRegistrar::answer(false, 400); });
        press(m_form->Command1());
        QVERIFY(QTest::qWaitFor([&] { return !m_registrar->server().requests().isEmpty(); }));
        // Clearing works at once and leaves the workers nothing to do.
        press(m_form->findChild<QPushButton*>(u"Command2"_s));
        QVERIFY(m_form->Text4()->toPlainText().isEmpty());
        QVERIFY(runEnds());
        QCOMPARE(m_registrar->server().requests().size(), 1);
    }

    void listIsReadOnlyWhileARunHoldsIt() {
        m_registrar->setBehaviour(
            [](const QString&, int) { return FakeRegistrar::answer(false, 100); });
        QPlainTextEdit* list = m_form->Text4();
        const QString sample = list->toPlainText();
        press(m_form->Command1());
        QVERIFY(m_form->runHoldsList());
        QVERIFY(list->isReadOnly());
        QVERIFY(!list->toolTip().isEmpty());
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_Delete);
        QTest::keyClicks(list, u"x.pw"_s);
        QCOMPARE(list->toPlainText(), sample);

        // A pause keeps every line where continue will look for it.
        press(m_form->Command1());
        QVERIFY(list->isReadOnly());
        press(m_form->Command1());
        QVERIFY(list->isReadOnly());

        press(m_form->Command3());
        QVERIFY(!m_form->runHoldsList());
        QVERIFY(!list->isReadOnly());
        QVERIFY(list->toolTip().isEmpty());
        QTest::keyClicks(list, u"x"_s);
        QVERIFY(list->toPlainText() != sample);
    }

    void everyLineSeenIsOneEntry_data() {
        QTest::addColumn<QString>("typed"); // '|' stands for Shift+Enter
        QTest::addColumn<QString>("pasted");
        QTest::newRow("typed with Shift+Enter") << u"free1.pw|b.pw|c.pw"_s << QString();
        QTest::newRow("pasted line separator") << QString() << u"free1.pw\u2028b.pw\u2028c.pw\n"_s;
        QTest::newRow("pasted paragraph separator") << QString() << u"free1.pw\u2029b.pw\rc.pw\n"_s;
    }
    void everyLineSeenIsOneEntry() {
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QPlainTextEdit* list = m_form->Text4();
        list->clear();
        list->setFocus();
        const QStringList parts = typed.split(u'|', Qt::SkipEmptyParts);
        for (qsizetype n = 0; n < parts.size(); ++n) {
            if (n > 0)
                QTest::keyClick(list, Qt::Key_Return, Qt::ShiftModifier);
            QTest::keyClicks(list, parts.at(n));
        }
        // A list that ends with a line break needs no tidying of its own.
        if (!parts.isEmpty())
            QTest::keyClick(list, Qt::Key_Return);
        list->insertPlainText(pasted);
        press(m_form->Command1());
        QVERIFY(runEnds());
        QCOMPARE(m_form->Text1()->toPlainText(), u"free1.pw|可注册\n"_s);
        QCOMPARE(sortedLines(m_form->Text2()->toPlainText()),
                 (QStringList{u"b.pw|已被注册"_s, u"c.pw|已被注册"_s}));
        QCOMPARE(m_form->Label3(0)->text(), u"3"_s);
        QCOMPARE(m_form->Label3(1)->text(), u"3"_s);
    }

    // Every name fails at a proxy that is down: the window names it once per run.
    void deadProxyIsToldOnce() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 deadPort = probe.serverPort();
        probe.close();
        AppConfig config;
        config.registrarAddress = u"http://127.0.0.2:%1"_s.arg(deadPort);
        config.proxy = {ProxyConfig::Type::Http, u"127.0.0.1"_s, deadPort, {}, {}};
        Form1 window(config, m_opener->opener());
        window.Text4()->setPlainText(u"a.pw\nb.pw\nc.pw\nd.pw\n"_s);
        press(window.Command1());
        QVERIFY(QTest::qWaitFor([&] { return window.Command1()->text() == u"开始查询"_s; }, 30000));
        QCOMPARE(window.Text2()->toPlainText().count(u"|查询失败"_s), 4);
        QTRY_COMPARE(m_boxes->texts().size(), 1);
        QVERIFY2(m_boxes->texts().constFirst().startsWith(
                     u"代理 127.0.0.1:%1 无法连接：连接被拒绝"_s.arg(deadPort)),
                 qPrintable(m_boxes->texts().constFirst()));
    }

private:
    static void press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    bool runEnds() {
        return QTest::qWaitFor([&] { return m_form->Command1()->text() == u"开始查询"_s; }, 10000);
    }

    std::unique_ptr<FakeRegistrar> m_registrar;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<UrlOpenerRecorder> m_opener;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestQueryRun)
#include "tst_queryrun.moc"
