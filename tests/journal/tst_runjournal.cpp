#include "format/RecordLines.h"
#include "journal/RunJournal.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

namespace {

LookupRecord record(const QString& entry, Verdict verdict) {
    LookupRecord result;
    result.entry = entry;
    result.sentName = entry;
    result.answer = {verdict, Method::Registrar, u"127.0.0.1:81"_s, u"HTTP 200, \"ok\""_s, 200};
    result.answer.details = {u"Registrar, \"Inc.\""_s, u"9"_s,
                             QDate(2001, 2, 3),        QDate(2027, 2, 3),
                             QDate(2026, 12, 1),       {u"redemptionPeriod"_s, u"pendingDelete"_s},
                             QDate(2027, 1, 5)};
    result.tries = 1;
    return result;
}

} // namespace

// Lines that a crash may cut, and journals a crash or a hand may damage: what
// can be read comes back, the rest is counted, never fatal.
class TestRunJournal final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesReadBackWhatTheyWrite_data() {
        QTest::addColumn<RecordFormat>("format");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Verdict>("verdict");
        QTest::newRow("text") << RecordFormat::Text << u"a|b.pw"_s << Verdict::Free;
        QTest::newRow("text invalid") << RecordFormat::Text << u"nodot"_s << Verdict::Invalid;
        QTest::newRow("tsv") << RecordFormat::Tsv << u"例子.中国"_s << Verdict::Taken;
        QTest::newRow("csv quoted") << RecordFormat::Csv << u"a,\"b\".pw"_s << Verdict::Failed;
        QTest::newRow("jsonl") << RecordFormat::Jsonl << u"\"q\".pw"_s << Verdict::Free;
        QTest::newRow("text redemption") << RecordFormat::Text << u"a.pw"_s << Verdict::Redemption;
        QTest::newRow("csv pending delete")
            << RecordFormat::Csv << u"a.pw"_s << Verdict::PendingDelete;
        QTest::newRow("jsonl pending delete")
            << RecordFormat::Jsonl << u"a.pw"_s << Verdict::PendingDelete;
    }
    void linesReadBackWhatTheyWrite() {
        QFETCH(RecordFormat, format);
        QFETCH(QString, name);
        QFETCH(Verdict, verdict);
        const QString line = RecordLines::line(format, record(name, verdict));
        const auto read = RecordLines::read(format, line);
        QVERIFY(read);
        QCOMPARE(read->name, name);
        QCOMPARE(read->verdict, verdict);
        // Cut short, a line is no record (text cannot tell, its verdict word is
        // last; nor can TSV and CSV cut within their last column, which is why a
        // resumed file counts only lines with their line break).
        if (format != RecordFormat::Text)
            QVERIFY(!RecordLines::read(format, QStringView(line).left(line.size() / 3)));
        QVERIFY(!RecordLines::read(format, RecordLines::header(format)));
    }

    void damagedJournalsGiveWhatCanBeRead_data() {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("damaged");
        QTest::addColumn<bool>("complete");
        QTest::newRow("whole") << QByteArray("{\"complete\":true}\n") << 2 << 0 << true;
        QTest::newRow("killed: no end mark") << QByteArray() << 2 << 0 << false;
        QTest::newRow("last record cut") << QByteArray("{\"n\":2,\"name\":\"c") << 2 << 1 << false;
        QTest::newRow("garbage line") << QByteArray("\x01\xff garbage\n") << 2 << 1 << false;
        QTest::newRow("repeat and out of range")
            << QByteArray(
                   "{\"n\":0,\"name\":\"a.pw\",\"verdict\":\"taken\",\"method\":\"registrar\"}\n"
                   "{\"n\":9,\"name\":\"z.pw\",\"verdict\":\"taken\",\"method\":\"registrar\"}\n")
            << 2 << 2 << false;
    }
    void damagedJournalsGiveWhatCanBeRead() {
        QFETCH(QByteArray, tail);
        QFETCH(int, records);
        QFETCH(int, damaged);
        QFETCH(bool, complete);
        QTemporaryDir folder;
        RunJournal journal(folder.path());
        QVERIFY(journal.begin({u"a.pw"_s, u"b.pw"_s, u"c.pw"_s}));
        journal.append(0, record(u"a.pw"_s, Verdict::Taken));
        journal.append(1, record(u"b.pw"_s, Verdict::Free));
        QFile file(journal.fileName());
        QVERIFY(file.open(QIODevice::Append));
        file.write(tail);
        file.close();

        const auto contents = RunJournal::read(journal.fileName());
        QVERIFY(contents);
        QCOMPARE(contents->entries, (QStringList{u"a.pw"_s, u"b.pw"_s, u"c.pw"_s}));
        QCOMPARE(contents->records.size(), records);
        QCOMPARE(contents->records.at(1).second.answer.detail, u"HTTP 200, \"ok\""_s);
        QCOMPARE(contents->records.at(0).second.answer.details,
                 record(u"a.pw"_s, Verdict::Taken).answer.details);
        QCOMPARE(contents->damagedLines, damaged);
        QCOMPARE(contents->complete, complete);
        QVERIFY(!contents->listCut);
    }

    void listCutShortIsReported() {
        QTemporaryDir folder;
        QFile file(folder.filePath(u"run.journal"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"journal\":1,\"entries\":3}\na.pw\nb.p");
        file.close();
        const auto contents = RunJournal::read(file.fileName());
        QVERIFY(contents);
        QCOMPARE(contents->entries, QStringList{u"a.pw"_s});
        QVERIFY(contents->listCut);
        QVERIFY(!RunJournal::read(folder.filePath(u"none.journal"_s)));
    }
};

QTEST_GUILESS_MAIN(TestRunJournal)
#include "tst_runjournal.moc"
