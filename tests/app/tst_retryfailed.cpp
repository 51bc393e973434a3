#include "LocalRdapServer.h"
#include "MessageBoxRecorder.h"
#include "app/Form1.h"
#include "app/LineBox.h"
#include "app/LinkLabel.h"
#include "journal/RunJournal.h"
#include "query/QueryEngine.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace ds;
using namespace ds::test;

namespace {

LocalHttpResponse refused() {
    LocalHttpResponse response;
    response.status = 403;
    return response;
}

QStringList lines(const LineBox* box) {
    return box->toPlainText().split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

// "重查失败" in the window against a local RDAP service that refuses some
// names the first time they are asked: only those are asked again, and each
// new answer takes its old line's place.
class TestRetryFailed final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_rdap = std::make_unique<LocalRdapServer>();
        QVERIFY(m_rdap->listen());
        const QByteArray list = LocalRdapServer::bootstrap({{{u"pw"_s}, m_rdap->baseUrl()}});
        QFile bootstrap(m_folder.filePath(u"bootstrap.json"_s));
        QVERIFY(bootstrap.open(QIODevice::WriteOnly) && bootstrap.write(list) == list.size());
        bootstrap.close();
        AppConfig config;
        config.rdapBootstrap = bootstrap.fileName();
        config.cacheFolder = m_folder.path();
        config.journalFolder = m_folder.filePath(u"journal"_s);
        config.dnsEnabled = false;
        config.restartIntervalMs = 0;
        config.serverIntervalMs = 0;
        m_form = std::make_unique<Form1>(config, [](const QUrl&) { return true; });
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_link = m_form->findChild<LinkLabel*>(u"retryFailedLink"_s);
        QVERIFY(m_link);
    }
    void cleanup() {
        m_form.reset();
        m_rdap.reset();
    }

    void failuresAreReplaced() {
        m_rdap->setTaken({u"a.pw"_s, u"f2.pw"_s});
        for (const QString& name : {u"f1.pw"_s, u"f2.pw"_s, u"f3.pw"_s})
            m_rdap->queueReplies(name, {refused()});
        m_rdap->queueReplies(u"f3.pw"_s, {refused()});
        m_form->Text4()->setPlainText(u"a.pw\nf1.pw\nb.pw\nf2.pw\nf3.pw\nlast.pw\n"_s);
        QVERIFY(!m_link->isEnabled());
        QTest::mouseClick(m_form->Command1(), Qt::LeftButton);
        QVERIFY(!m_link->isEnabled());
        QVERIFY(
            QTest::qWaitFor([&] { return m_form->engine().state() == QueryEngine::State::Ready; }));
        QVERIFY(m_link->isEnabled());
        const QStringList before = lines(m_form->Text2());
        QCOMPARE(m_form->Label3(1)->text(), u"6"_s);
        const qsizetype asked = m_rdap->asked().size();

        QTest::mouseClick(m_link, Qt::LeftButton);
        QVERIFY(m_form->Text4()->isReadOnly());
        QVERIFY(!m_link->isEnabled());
        QVERIFY(
            QTest::qWaitFor([&] { return m_form->engine().state() == QueryEngine::State::Ready; }));

        QStringList again = m_rdap->asked().mid(asked);
        again.sort();
        QCOMPARE(again, (QStringList{u"f1.pw"_s, u"f2.pw"_s, u"f3.pw"_s}));
        // Each new record where its old one stood; a name now free moves over.
        QStringList after = before;
        after.removeOne(u"f1.pw|查询失败"_s);
        after.replace(after.indexOf(u"f2.pw|查询失败"_s), u"f2.pw|已被注册"_s);
        QCOMPARE(lines(m_form->Text2()), after);
        QCOMPARE(lines(m_form->Text1()).last(), u"f1.pw|可注册"_s);
        QCOMPARE(m_form->Label3(0)->text(), u"6"_s);
        QCOMPARE(m_form->Label3(1)->text(), u"6"_s);
        const int f2 = m_form->Text2()->tag(after.indexOf(u"f2.pw|已被注册"_s));
        QVERIFY(m_form->board().lineTip(f2).contains(u"200"_s));
        // f3 failed again: the link asks about it once more.
        QVERIFY(m_link->isEnabled());
        QVERIFY(!m_form->Text4()->isReadOnly());

        const auto journal = RunJournal::read(m_form->board().journal()->fileName());
        QVERIFY(journal && journal->complete);
        QCOMPARE(journal->damagedLines, 0);
        QCOMPARE(journal->records.size(), 6);
        for (const auto& [number, record] : journal->records) {
            if (record.entry == "f1.pw"_L1)
                QCOMPARE(record.answer.verdict, Verdict::Free);
        }

        // A list edited since the run is no longer the one its results name.
        m_form->Text4()->appendPlainText(u"new.pw"_s);
        QVERIFY(!m_link->isEnabled());
    }

private:
    QTemporaryDir m_folder;
    MessageBoxRecorder m_boxes;
    std::unique_ptr<LocalRdapServer> m_rdap;
    std::unique_ptr<Form1> m_form;
    LinkLabel* m_link = nullptr;
};

QTEST_MAIN(TestRetryFailed)
#include "tst_retryfailed.moc"
