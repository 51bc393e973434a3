#include "FakeRegistrar.h"
#include "MessageBoxRecorder.h"
#include "WindowConfig.h"
#include "app/Form1.h"
#include "app/LineBox.h"
#include "app/RunRestore.h"
#include "query/QueryEngine.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace ds;
using namespace ds::test;

namespace {

constexpr int ListSize = 30;
const char* const ChildFolder = "DOMAINSIEVE_TEST_JOURNAL_FOLDER";
const char* const ChildRegistrar = "DOMAINSIEVE_TEST_REGISTRAR";

QString numberedList() {
    QString text;
    for (int n = 0; n < ListSize; ++n)
        text += (n % 4 == 0 ? u"free%1.pw\n"_s : u"n%1.pw\n"_s).arg(n);
    return text;
}

// The window a person started a run in, until the test kills it.
int runChild(int argc, char** argv) {
    QApplication app(argc, argv);
    Form1 window(
        configFor(qEnvironmentVariable(ChildRegistrar), qEnvironmentVariable(ChildFolder)));
    window.Text4()->setPlainText(numberedList());
    window.Command1()->click();
    return QApplication::exec();
}

void startChild(QProcess& child, const QString& folder, const QString& registrar) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(ChildFolder), folder);
    environment.insert(QString::fromLatin1(ChildRegistrar), registrar);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath());
}

qsizetype lineCount(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
}

QStringList sortedNames(const QString& text1, const QString& text2) {
    QStringList names;
    for (const QString& line : QString(text1 + text2).split(u'\n', Qt::SkipEmptyParts))
        names.append(line.section(u'|', 0, 0));
    names.sort();
    return names;
}

} // namespace

// Results outlive the window: a run killed outright is offered back at the
// next start and goes on with nothing lost and nothing asked twice.
class TestKeptResults final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedRunIsOfferedBack_data() {
        QTest::addColumn<bool>("restore");
        QTest::newRow("yes: restored and finished") << true;
        QTest::newRow("no: kept aside, nothing restored") << false;
    }
    void killedRunIsOfferedBack() {
        QFETCH(bool, restore);
        FakeRegistrar registrar;
        registrar.setBehaviour([](const QString& entry, int) {
            return FakeRegistrar::answer(entry.startsWith(u"free"_s), 20);
        });
        QTemporaryDir folder;
        const QString journal = folder.filePath(u"run.journal"_s);
        const QString address = registrar.url().toString(QUrl::RemovePath);

        QProcess child;
        startChild(child, folder.path(), address);
        // Header, list and a few records on disk, then SIGKILL: no chance to tidy up.
        QVERIFY(QTest::qWaitFor([&] { return lineCount(journal) >= 1 + ListSize + 8; }, 30000));
        child.kill();
        QVERIFY(child.waitForFinished());
        const auto left = RunJournal::read(journal);
        QVERIFY(left && !left->complete);
        const qsizetype answered = left->records.size();
        const qsizetype askedBefore = registrar.server().requests().size();

        MessageBoxRecorder boxes;
        boxes.answerNext(restore ? QMessageBox::Yes : QMessageBox::No);
        Form1 window(configFor(address, folder.path()));
        offerUnfinishedRun(window);
        QCOMPARE(boxes.texts().value(0),
                 u"上次查询未完成（已完成 %1 / 共 %2），是否恢复结果并继续？"_s.arg(answered).arg(
                     ListSize));
        QVERIFY(QTest::qWaitFor(
            [&] { return window.engine().state() == QueryEngine::State::Ready; }, 30000));

        if (!restore) {
            QVERIFY(window.Text1()->toPlainText().isEmpty());
            QCOMPARE(registrar.server().requests().size(), askedBefore);
            QVERIFY(!QFile::exists(journal));
            QCOMPARE(QDir(folder.path()).entryList({u"run.journal.*"_s}).size(), 1);
            return;
        }
        QStringList expected = numberedList().split(u'\n', Qt::SkipEmptyParts);
        expected.sort();
        QCOMPARE(sortedNames(window.Text1()->toPlainText(), window.Text2()->toPlainText()),
                 expected);
        QCOMPARE(window.Label3(0)->text(), QString::number(ListSize));
        QCOMPARE(window.Label3(1)->text(), QString::number(ListSize));
        QCOMPARE(registrar.server().requests().size() - askedBefore, ListSize - answered);
        const auto finished = RunJournal::read(journal);
        QVERIFY(finished && finished->complete);
        QCOMPARE(finished->records.size(), ListSize);
    }

    // A second window while the first one's run is under way: it is offered
    // nothing, runs without a journal and says so once, and leaves the first
    // run's journal whole, which is offered back once that window is gone.
    void secondWindowLeavesLiveJournalAlone() {
        FakeRegistrar registrar;
        registrar.setBehaviour([](const QString& entry, int) {
            return FakeRegistrar::answer(entry.startsWith(u"free"_s), 150);
        });
        QTemporaryDir folder;
        const QString journal = folder.filePath(u"run.journal"_s);
        const QString address = registrar.url().toString(QUrl::RemovePath);
        QProcess first;
        startChild(first, folder.path(), address);
        QVERIFY(QTest::qWaitFor([&] { return lineCount(journal) >= 1 + ListSize + 2; }, 30000));

        MessageBoxRecorder boxes;
        {
            Form1 second(configFor(address, folder.path()));
            offerUnfinishedRun(second);
            QCOMPARE(boxes.texts(), QStringList());
            second.Text4()->setPlainText(u"other1.pw\nother2.pw\n"_s);
            second.Command1()->click();
            QVERIFY(QTest::qWaitFor(
                [&] { return second.engine().state() == QueryEngine::State::Ready; }, 30000));
            QTRY_COMPARE(boxes.texts().size(), 1);
            QVERIFY(boxes.texts().constFirst().startsWith(u"另一个米筛窗口的查询正在使用日志"_s));
            QCOMPARE(second.Text2()->toPlainText().count(u'\n'), 2);
        }
        first.kill();
        QVERIFY(first.waitForFinished());
        const auto left = RunJournal::read(journal);
        QVERIFY(left && !left->complete);
        QCOMPARE(left->entries, numberedList().split(u'\n', Qt::SkipEmptyParts));
        QCOMPARE(left->damagedLines, 0);

        boxes.clear();
        boxes.answerNext(QMessageBox::Yes);
        Form1 third(configFor(address, folder.path()));
        offerUnfinishedRun(third);
        QVERIFY(boxes.texts().value(0).startsWith(u"上次查询未完成"_s));
        QVERIFY(QTest::qWaitFor([&] { return third.engine().state() == QueryEngine::State::Ready; },
                                30000));
        const auto finished = RunJournal::read(journal);
        QVERIFY(finished && finished->complete);
        QCOMPARE(finished->records.size(), ListSize);
    }

    // Nowhere to write the journal: said once, and the run still ends whole.
    void unwritableJournalIsToldOnce() {
        FakeRegistrar registrar;
        QTemporaryDir folder;
        QFile blocker(folder.filePath(u"not-a-folder"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        MessageBoxRecorder boxes;
        Form1 window(configFor(registrar.url().toString(QUrl::RemovePath),
                               folder.filePath(u"not-a-folder/journal"_s)));
        window.Text4()->setPlainText(numberedList());
        window.Command1()->click();
        QVERIFY(QTest::qWaitFor(
            [&] { return window.engine().state() == QueryEngine::State::Ready; }, 30000));
        QTRY_COMPARE(boxes.texts().size(), 1);
        QVERIFY2(boxes.texts().constFirst().startsWith(u"查询日志无法写入"_s),
                 qPrintable(boxes.texts().constFirst()));
        QStringList expected = numberedList().split(u'\n', Qt::SkipEmptyParts);
        expected.sort();
        QCOMPARE(sortedNames(window.Text1()->toPlainText(), window.Text2()->toPlainText()),
                 expected);
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(ChildFolder))
        return runChild(argc, argv);
    QApplication app(argc, argv);
    TestKeptResults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keptresults.moc"
