#include "MessageBoxRecorder.h"
#include "app/Form1.h"
#include "app/GeneratorDialog.h"
#include "app/Translation.h"
#include "format/RecordLines.h"
#include "lookup/WhoisPatterns.h"
#include "lookup/WhoisServers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

namespace {

// Any Han character or full-width punctuation left over means a text that
// escaped translation.
bool looksEnglish(const QString& text) {
    static const QRegularExpression chinese(
        u"[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"_s);
    return !text.trimmed().isEmpty() && !text.contains(chinese);
}

} // namespace

// With English asked for, nothing a person reads in the window or its
// messages is left in Chinese.
class TestTranslation final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(!Translation::install(*qApp, u"xx"_s));
        QVERIFY(Translation::install(*qApp, u"en"_s));
    }

    void windowTexts();
    void generatorTexts();
    void messages_data();
    void messages();
    void windowLinesReadBack_data();
    void windowLinesReadBack();
    void whoisReasons_data();
    void whoisReasons();
    void whoisServerUnknown();
};

void TestTranslation::windowTexts() {
    Form1 form(AppConfig{}, [](const QUrl&) { return true; });
    QStringList texts{form.windowTitle()};
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        if (label->pixmap().isNull())
            texts << label->text();
    }
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(&form))
            texts << button->text();
    }
    QCOMPARE(texts.size(), 19);
    for (const QString& text : std::as_const(texts))
        QVERIFY2(looksEnglish(text), qPrintable(text));
}

void TestTranslation::generatorTexts() {
    GeneratorDialog dialog;
    QStringList texts{dialog.windowTitle()};
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        texts << button->text();
    for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        texts << edit->placeholderText();
    dialog.findChild<QLineEdit*>(u"patternEdit"_s)->setText(u"N["_s);
    QTRY_VERIFY(!dialog.findChild<QAbstractButton*>(u"generateButton"_s)->isEnabled());
    texts << dialog.findChild<QLabel*>(u"countLabel"_s)->text();
    for (const QString& text : std::as_const(texts))
        QVERIFY2(looksEnglish(text), qPrintable(text));
}

void TestTranslation::messages_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("registrar");
    QTest::addColumn<QString>("button"); // empty: close the window
    QTest::newRow("no names") << u"abc"_s << u"http://127.0.0.1:9"_s << u"Command1"_s;
    // Asked of the registries, here a port where nobody listens.
    QTest::newRow("registries unreachable") << u"a.pw\nb.pw\nc.pw"_s << QString() << u"Command1"_s;
    QTest::newRow("copied") << QString() << QString() << u"Command4"_s;
    QTest::newRow("tools") << QString() << QString() << u"Command5"_s;
    QTest::newRow("close") << QString() << QString() << QString();
}

void TestTranslation::messages() {
    QFETCH(QString, list);
    QFETCH(QString, registrar);
    QFETCH(QString, button);
    test::MessageBoxRecorder boxes;
    boxes.answerNext(QMessageBox::Cancel);
    QTemporaryDir folder;
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QByteArray bootstrap = "{\"services\": [[[\"pw\"], [\"http://127.0.0.1:" +
                                 QByteArray::number(closed.serverPort()) + "/\"]]]}";
    closed.close();
    QFile file(folder.filePath(u"bootstrap.json"_s));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bootstrap) == bootstrap.size());
    file.close();
    AppConfig config;
    config.registrarAddress = registrar;
    config.rdapBootstrap = file.fileName();
    config.cacheFolder = folder.path();
    // Not the system's resolver: the names go straight to the closed port.
    config.dnsEnabled = false;
    Form1 form(config, [](const QUrl&) { return true; });
    form.findChild<QPlainTextEdit*>(u"Text4"_s)->setPlainText(list);
    if (button.isEmpty())
        form.close();
    else
        QTest::mouseClick(form.findChild<QWidget*>(button), Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(boxes.requests().size(), 1, 20000);
    const MessageBoxRequest& shown = boxes.requests().constFirst();
    QVERIFY2(looksEnglish(shown.title), qPrintable(shown.title));
    QVERIFY2(looksEnglish(shown.text), qPrintable(shown.text));
}

// The export reads the result boxes back: lines shown in English and lines
// written in Chinese (an older export, the batch mode's text) both count.
void TestTranslation::windowLinesReadBack_data() {
    QTest::addColumn<QString>("line");
    QTest::newRow("as shown") << u"a.pw|"_s + RecordLines::verdictWord(Verdict::Free);
    QTest::newRow("in Chinese") << u"a.pw|可注册"_s;
}

void TestTranslation::windowLinesReadBack() {
    QFETCH(QString, line);
    const auto read = RecordLines::read(RecordFormat::Text, line);
    QVERIFY(read);
    QCOMPARE(read->verdict, Verdict::Free);
}

// The reasons a WHOIS reply gave no verdict show in a result's tooltip.
void TestTranslation::whoisReasons_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reply");
    QTest::newRow("empty") << u"example.cn"_s << QString();
    QTest::newRow("about another name")
        << u"example.xyz"_s << u"Domain Name: other.xyz\nRegistrar: Example"_s;
    QTest::newRow("a known registry's unknown layout")
        << u"example.cn"_s << u"Welcome to this service."_s;
    QTest::newRow("any other server's unknown layout")
        << u"example.xyz"_s << u"Welcome to this service."_s;
    QTest::newRow("free and taken at once") << u"example.xyz"_s << u"NOT FOUND\nRegistrar: X"_s;
    QTest::newRow("invalid query") << u"example.xyz"_s << u"Invalid query"_s;
    QTest::newRow("throttled") << u"example.xyz"_s << u"Rate limit exceeded"_s;
    QTest::newRow("blocked") << u"example.xyz"_s << u"Access denied."_s;
    QTest::newRow("no port-43 service") << u"example.vn"_s << QString();
    QTest::newRow("none for the zone itself") << u"example.za"_s << QString();
}

void TestTranslation::whoisReasons() {
    QFETCH(QString, name);
    QFETCH(QString, reply);
    const WhoisPatterns& table = WhoisPatterns::builtIn();
    const QString detail = table.read(table.entryFor(name), name, reply).detail;
    QVERIFY2(looksEnglish(detail), qPrintable(detail));
}

// A TLD whose server the referral cannot name: the reason comes from the
// server lookup and the connection, not from a reply.
void TestTranslation::whoisServerUnknown() {
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    WhoisServersOptions options;
    options.referral = {u"127.0.0.1"_s, closed.serverPort()};
    closed.close();
    QTemporaryDir cache;
    options.cacheDir = cache.path();
    WhoisServers servers(WhoisPatterns::builtIn(), options);
    std::optional<WhoisServerLookup> found;
    servers.find(u"example.xyz"_s, [&](const WhoisServerLookup& lookup) { found = lookup; });
    QTRY_VERIFY_WITH_TIMEOUT(found.has_value(), 10000);
    QCOMPARE(found->outcome, WhoisServerLookup::Outcome::Failed);
    QVERIFY2(looksEnglish(found->detail), qPrintable(found->detail));
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
