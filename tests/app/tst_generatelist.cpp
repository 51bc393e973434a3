#include "app/GeneratorDialog.h"
#include "app/ListFiller.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace ds {

// The "生成" dialog and the filling of the list: what the window makes is
// what `domainsieve gen` makes, and a fill replaces, appends or, cancelled,
// leaves the list as it was.
class GenerateListTest : public QObject {
    Q_OBJECT

private slots:
    void windowMakesWhatCommandLineMakes_data();
    void windowMakesWhatCommandLineMakes();
    void dialogCountsAsItIsTyped_data();
    void dialogCountsAsItIsTyped();
    void fillReplacesAppendsOrCancels_data();
    void fillReplacesAppendsOrCancels();

private:
    QTemporaryDir m_folder;
};

namespace {

void type(GeneratorDialog& dialog, const QString& field, const QString& text) {
    dialog.findChild<QLineEdit*>(field)->setText(text);
}

QString fill(QPlainTextEdit& box, const NameGenerator& generator, bool append) {
    ListFiller filler(&box, generator, append, nullptr);
    QSignalSpy finished(&filler, &ListFiller::finished);
    filler.start();
    if (!finished.wait(60'000))
        return u"(never finished)"_s;
    return box.toPlainText();
}

} // namespace

void GenerateListTest::windowMakesWhatCommandLineMakes_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("tlds");
    QTest::addColumn<QString>("exclusions");
    QTest::addColumn<QString>("prefixes");
    QTest::addColumn<QString>("suffixes");
    QTest::newRow("AABB") << u"{AABB:N}"_s << u".com"_s << QString() << QString() << QString();
    QTest::newRow("syllable and set")
        << u"P[a-c]"_s << u".cn,.net"_s << u"i"_s << QString() << QString();
    QTest::newRow("words around a keyword")
        << u"{ab,cd}N"_s << u"@gtld"_s << QString() << u"my,go"_s << u"hq"_s;
    QTest::newRow("IDN keyword") << u"中文NN"_s << u"中国,com"_s << QString() << QString()
                                 << QString();
    QTest::newRow("shape left out")
        << u"NNNN"_s << u"com"_s << u"AAA,7"_s << QString() << QString();
}

void GenerateListTest::windowMakesWhatCommandLineMakes() {
    QFETCH(QString, pattern);
    QFETCH(QString, tlds);
    QFETCH(QString, exclusions);
    QFETCH(QString, prefixes);
    QFETCH(QString, suffixes);

    GeneratorDialog dialog;
    type(dialog, u"patternEdit"_s, pattern);
    type(dialog, u"tldEdit"_s, tlds);
    type(dialog, u"exclusionEdit"_s, exclusions);
    type(dialog, u"prefixEdit"_s, prefixes);
    type(dialog, u"suffixEdit"_s, suffixes);
    QTRY_VERIFY(dialog.generator().has_value());
    QPlainTextEdit box;
    const QString inWindow = fill(box, *dialog.generator(), false);

    QStringList arguments{u"gen"_s, pattern, u"--tld"_s, tlds};
    if (!exclusions.isEmpty())
        arguments << u"--exclude"_s << exclusions;
    for (const auto& [option, words] :
         {std::pair{u"--prefix-file"_s, prefixes}, std::pair{u"--suffix-file"_s, suffixes}}) {
        if (words.isEmpty())
            continue;
        QFile file(m_folder.filePath(option.mid(2)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QString(words).replace(u',', u'\n').toUtf8());
        arguments << option << file.fileName();
    }
    QProcess process;
    process.start(QStringLiteral(DOMAINSIEVE_EXECUTABLE), arguments);
    QVERIFY(process.waitForFinished(60'000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), inWindow + u'\n');
}

void GenerateListTest::dialogCountsAsItIsTyped_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("firstName");
    QTest::newRow("AABB") << u"{AABB:N}"_s << u"将生成 90 个域名"_s << u"0011.com"_s;
    QTest::newRow("four letters") << u"LLLL"_s << u"将生成 456,976 个域名"_s << u"aaaa.com"_s;
    QTest::newRow("bad pattern") << u"N["_s << u"第 2 个字符：“[”没有配对的“]”"_s << QString();
    QTest::newRow("too many") << u"XXXXXX"_s << u"将生成 2,176,782,336 个域名，超过上限"_s
                              << QString();
}

void GenerateListTest::dialogCountsAsItIsTyped() {
    QFETCH(QString, pattern);
    QFETCH(QString, count);
    QFETCH(QString, firstName);
    GeneratorDialog dialog;
    type(dialog, u"patternEdit"_s, pattern);
    auto* label = dialog.findChild<QLabel*>(u"countLabel"_s);
    QTRY_VERIFY2(label->text().startsWith(count), qPrintable(label->text()));
    const QString preview = dialog.findChild<QPlainTextEdit*>(u"previewBox"_s)->toPlainText();
    QCOMPARE(preview.section(u'\n', 0, 0), firstName);
    QCOMPARE(dialog.findChild<QPushButton*>(u"generateButton"_s)->isEnabled(),
             !firstName.isEmpty());
}

void GenerateListTest::fillReplacesAppendsOrCancels_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("append");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("after");
    QTest::newRow("replace") << u"x.pw\ny.pw"_s << u"[ab].com"_s << false << false
                             << u"a.com\nb.com"_s;
    QTest::newRow("append after a last line")
        << u"x.pw"_s << u"[ab].com"_s << true << false << u"x.pw\na.com\nb.com"_s;
    QTest::newRow("append after a line break")
        << u"x.pw\n"_s << u"[ab].com"_s << true << false << u"x.pw\na.com\nb.com"_s;
    QTest::newRow("append to nothing")
        << QString() << u"[ab].com"_s << true << false << u"a.com\nb.com"_s;
    QTest::newRow("cancelled replace")
        << u"x.pw\ny.pw"_s << u"NNNNNNN.com"_s << false << true << u"x.pw\ny.pw"_s;
    QTest::newRow("cancelled append") << u"x.pw"_s << u"NNNNNNN.com"_s << true << true << u"x.pw"_s;
}

void GenerateListTest::fillReplacesAppendsOrCancels() {
    QFETCH(QString, before);
    QFETCH(QString, pattern);
    QFETCH(bool, append);
    QFETCH(bool, cancel);
    QFETCH(QString, after);
    const auto generator = NameGenerator::create({pattern, {}, {}, {}, {}}, nullptr);
    QVERIFY(generator);
    QPlainTextEdit box;
    box.setPlainText(before);
    if (!cancel) {
        QCOMPARE(fill(box, *generator, append), after);
        return;
    }
    ListFiller filler(&box, *generator, append, nullptr);
    QSignalSpy finished(&filler, &ListFiller::finished);
    filler.start();
    // Some names are in before the cancel comes.
    QTRY_VERIFY(box.toPlainText().contains(u"0000000.com"_s));
    filler.cancel();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QCOMPARE(box.toPlainText(), after);
}

} // namespace ds

QTEST_MAIN(ds::GenerateListTest)
#include "tst_generatelist.moc"
