#include "MessageBoxRecorder.h"
#include "WindowConfig.h"
#include "app/Form1.h"
#include "app/LineBox.h"
#include "app/LinkLabel.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;
using namespace ds::test;

// The results saved to a file in the batch mode's formats, a taken name's
// details with them and in its line's tooltip.
class TestExportResults final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportSavesBothBoxes_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("text") << u"out.txt"_s << QByteArray("b.pw|可注册\na.pw|已被注册\nx\n");
        QTest::newRow("csv") << u"out.CSV"_s
                             << QByteArray(
                                    "name,ascii,verdict,method,server,detail,tries,elapsed_ms,"
                                    "registrar,created,expires,status,releases\r\n"
                                    "b.pw,,free,registrar,,,0,0,,,,,\r\n"
                                    "a.pw,,taken,registrar,,,0,0,,,,,\r\n");
        QTest::newRow("a folder that does not exist") << u"none/out.txt"_s << QByteArray();
    }
    // A failed write says so and leaves the file that was there whole.
    void exportSavesBothBoxes() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath(fileName);
        MessageBoxRecorder boxes;
        Form1 window(configFor(QString(), QString()));
        window.Text1()->setPlainText(u"b.pw|可注册\n"_s);
        window.Text2()->setPlainText(u"a.pw|已被注册\nx\n"_s);
        window.setSavePathChooser([&](QWidget*) { return path; });
        QTest::mouseClick(window.exportLink(), Qt::LeftButton);
        QFile file(path);
        if (expected.isEmpty()) {
            QVERIFY(!file.exists());
            QVERIFY(boxes.texts().value(0).startsWith(u"导出失败："_s + path));
            return;
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected);
        QVERIFY(boxes.texts().value(0).startsWith(u"结果已导出到："_s + path));
    }

    void takenNamesShowTheirDetails_data() {
        QTest::addColumn<Verdict>("verdict");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("csv");
        const QString tip =
            u"注册商：Reg, Inc.（IANA 9）\n注册日期：2001-02-03\n到期日期：2027-02-03\n"_s;
        QTest::newRow("taken")
            << Verdict::Taken << u"t.pw|已被注册"_s << tip + u"状态：clientHold"_s
            << u"t.pw,,taken,rdap,r.test:443,HTTP 200,0,0,\"Reg, Inc.\",2001-02-03,2027-02-03,"
               "clientHold,"_s;
        QTest::newRow("redemption")
            << Verdict::Redemption << u"t.pw|赎回期"_s
            << tip + u"状态：redemptionPeriod, pendingDelete\n预计释放：2027-01-05"_s
            << u"t.pw,,redemption,rdap,r.test:443,HTTP 200,0,0,\"Reg, Inc.\",2001-02-03,"
               "2027-02-03,redemptionPeriod pendingDelete,2027-01-05"_s;
        QTest::newRow("pending delete")
            << Verdict::PendingDelete << u"t.pw|待删除"_s
            << tip + u"状态：pendingDelete\n预计释放：2026-12-06"_s
            << u"t.pw,,pending_delete,rdap,r.test:443,HTTP 200,0,0,\"Reg, Inc.\",2001-02-03,"
               "2027-02-03,pendingDelete,2026-12-06"_s;
    }
    // A taken name's registrar, dates and status in its line's tooltip and in
    // the export; the names about to be released with their date.
    void takenNamesShowTheirDetails() {
        QFETCH(Verdict, verdict);
        QFETCH(QString, line);
        QFETCH(QString, tip);
        QFETCH(QString, csv);
        LookupRecord record;
        record.entry = u"t.pw"_s;
        record.answer = {verdict, Method::Rdap, u"r.test:443"_s, u"HTTP 200"_s, 200};
        record.answer.requestsPerSecond = 8.54;
        Details& details = record.answer.details;
        details = {
            u"Reg, Inc."_s,    u"9"_s, QDate(2001, 2, 3), QDate(2027, 2, 3), QDate(2026, 12, 1),
            {u"clientHold"_s}, {}};
        if (verdict == Verdict::Redemption) {
            details.status = QStringList{u"redemptionPeriod"_s, u"pendingDelete"_s};
            details.releases = QDate(2027, 1, 5);
        } else if (verdict == Verdict::PendingDelete) {
            details.status = QStringList{u"pendingDelete"_s};
            details.releases = QDate(2026, 12, 6);
        }
        MessageBoxRecorder boxes;
        Form1 window(configFor(QString(), QString()));
        window.board().appendRecord(0, record);
        QCOMPARE(window.Text2()->toPlainText(), line + u'\n');
        const QString shown = window.board().lineTip(window.Text2()->tag(0));
        QVERIFY2(shown.endsWith(u'\n' + tip), qPrintable(shown));
        QVERIFY2(shown.contains(u"\n速率：8.5 次/秒\n"_s), qPrintable(shown));

        QTemporaryDir folder;
        const QString path = folder.filePath(u"out.csv"_s);
        window.setSavePathChooser([&](QWidget*) { return path; });
        QTest::mouseClick(window.exportLink(), Qt::LeftButton);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()).split(u"\r\n"_s).value(1), csv);
    }
};

QTEST_MAIN(TestExportResults)
#include "tst_exportresults.moc"
