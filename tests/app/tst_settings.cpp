#include "TemporarySettings.h"
#include "app/AppConfig.h"
#include "app/Settings.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// Where the program's addresses and limits come from: the stored settings
// with their defaults, the command line, and which of the two wins.
class TestSettings final : public QObject {
    Q_OBJECT

private slots:
    void defaultsWhenNothingStored();
    void storedValuesSurviveReopening();
    void unusableStoredValuesReadAsDefaults_data();
    void unusableStoredValuesReadAsDefaults();
    void registrarAddressNormalised_data();
    void registrarAddressNormalised();
    void commandLine_data();
    void commandLine();
    void optionsWinOverStoreWithoutWritingIt();
};

void TestSettings::defaultsWhenNothingStored() {
    test::TemporarySettings temporary;
    const Settings& settings = temporary.settings();
    QCOMPARE(settings.registrarAddress(), QString());
    QCOMPARE(settings.requestTimeLimitSeconds(), 30);
    QCOMPARE(settings.restartIntervalMs(), 100);
    QVERIFY(settings.toolsUrl().isLocalFile());
    QVERIFY(settings.toolsUrl().path().endsWith(u"/help/index.html"_s));
    QCOMPARE(settings.supportUrl().adjusted(QUrl::RemoveFragment), settings.toolsUrl());
    QCOMPARE(settings.supportUrl().fragment(), u"support"_s);
}

void TestSettings::storedValuesSurviveReopening() {
    test::TemporarySettings temporary;
    Settings& settings = temporary.settings();
    settings.setValue(Settings::Key::RegistrarAddress, u"127.0.0.1:8080"_s);
    settings.setValue(Settings::Key::RequestTimeLimitSeconds, 12);
    settings.setValue(Settings::Key::RestartIntervalMs, 250);
    settings.setValue(Settings::Key::ToolsUrl, u"https://tools.example.test/"_s);
    settings.setValue(Settings::Key::SupportUrl, u"https://support.example.test/chat"_s);

    const auto reopened = temporary.reopen();
    QCOMPARE(reopened->registrarAddress(), u"http://127.0.0.1:8080"_s);
    QCOMPARE(reopened->requestTimeLimitSeconds(), 12);
    QCOMPARE(reopened->restartIntervalMs(), 250);
    QCOMPARE(reopened->toolsUrl(), QUrl(u"https://tools.example.test/"_s));
    QCOMPARE(reopened->supportUrl(), QUrl(u"https://support.example.test/chat"_s));
}

void TestSettings::unusableStoredValuesReadAsDefaults_data() {
    QTest::addColumn<Settings::Key>("key");
    QTest::addColumn<QVariant>("stored");
    using Key = Settings::Key;
    QTest::newRow("registrar of another scheme")
        << Key::RegistrarAddress << QVariant(u"ftp://h.test"_s);
    QTest::newRow("time limit not a number") << Key::RequestTimeLimitSeconds << QVariant(u"soon"_s);
    QTest::newRow("time limit zero") << Key::RequestTimeLimitSeconds << QVariant(0);
    QTest::newRow("time limit too long") << Key::RequestTimeLimitSeconds << QVariant(86400);
    QTest::newRow("interval too long") << Key::RestartIntervalMs << QVariant(3600000);
    QTest::newRow("tools address empty") << Key::ToolsUrl << QVariant(QString());
}

void TestSettings::unusableStoredValuesReadAsDefaults() {
    QFETCH(Settings::Key, key);
    QFETCH(QVariant, stored);
    test::TemporarySettings temporary;
    temporary.settings().setValue(key, stored);
    const auto reopened = temporary.reopen();
    QCOMPARE(reopened->registrarAddress(), QString());
    QCOMPARE(reopened->requestTimeLimitSeconds(), 30);
    QCOMPARE(reopened->restartIntervalMs(), 100);
    QCOMPARE(reopened->toolsUrl(), Settings::defaultValue(Settings::Key::ToolsUrl).toUrl());
    QCOMPARE(reopened->supportUrl(), Settings::defaultValue(Settings::Key::SupportUrl).toUrl());
}

void TestSettings::registrarAddressNormalised_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");
    QTest::newRow("http host") << u"http://check.example.test"_s << u"http://check.example.test"_s;
    QTest::newRow("http host and port") << u"http://127.0.0.1:8080"_s << u"http://127.0.0.1:8080"_s;
    QTest::newRow("bare host") << u"check.example.test"_s << u"http://check.example.test"_s;
    QTest::newRow("bare host and port") << u"localhost:8080"_s << u"http://localhost:8080"_s;
    QTest::newRow("IPv6 with port") << u"[::1]:8080"_s << u"http://[::1]:8080"_s;
    QTest::newRow("case and blanks")
        << u"  HTTP://Check.Example.TEST  "_s << u"http://check.example.test"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("https") << u"https://h.test"_s << QString();
    QTest::newRow("ftp") << u"ftp://h.test"_s << QString();
    QTest::newRow("path") << u"http://h.test/domain/check.do"_s << QString();
    QTest::newRow("user info") << u"http://user:pw@h.test"_s << QString();
    QTest::newRow("port out of range") << u"h.test:70000"_s << QString();
    QTest::newRow("port not a number") << u"javascript:alert(1)"_s << QString();
}

void TestSettings::registrarAddressNormalised() {
    QFETCH(QString, address);
    QFETCH(QString, expected);
    QCOMPARE(normaliseRegistrarAddress(address), expected);
}

void TestSettings::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLineOutcome::Status>("status");
    QTest::addColumn<QString>("registrar");
    QTest::addColumn<QUrl>("toolsUrl");
    using Status = CommandLineOutcome::Status;
    const QString program = u"domainsieve"_s;
    QTest::newRow("nothing") << QStringList{program} << Status::Run << QString() << QUrl();
    QTest::newRow("registrar bare") << QStringList{program, u"--registrar"_s, u"127.0.0.1:9"_s}
                                    << Status::Run << u"http://127.0.0.1:9"_s << QUrl();
    QTest::newRow("tools url") << QStringList{program, u"--tools-url"_s, u"https://t.test/x"_s}
                               << Status::Run << QString() << QUrl(u"https://t.test/x"_s);
    QTest::newRow("tools local file")
        << QStringList{program, u"--tools-url"_s, u"/opt/tools.html"_s} << Status::Run << QString()
        << QUrl::fromLocalFile(u"/opt/tools.html"_s);
    QTest::newRow("help") << QStringList{program, u"--help"_s} << Status::ShowHelp << QString()
                          << QUrl();
    QTest::newRow("registrar other scheme")
        << QStringList{program, u"--registrar"_s, u"ftp://h.test"_s} << Status::Fail << QString()
        << QUrl();
    QTest::newRow("tools url empty")
        << QStringList{program, u"--tools-url="_s} << Status::Fail << QString() << QUrl();
    QTest::newRow("unknown option")
        << QStringList{program, u"--verbose"_s} << Status::Fail << QString() << QUrl();
}

void TestSettings::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(CommandLineOutcome::Status, status);
    QFETCH(QString, registrar);
    QFETCH(QUrl, toolsUrl);
    const CommandLineOutcome outcome = parseCommandLine(arguments);
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.options.registrarAddress.value_or(QString()), registrar);
    QCOMPARE(outcome.options.toolsUrl.value_or(QUrl()), toolsUrl);
    if (status == CommandLineOutcome::Status::Run)
        QVERIFY(outcome.message.isEmpty());
    else
        QVERIFY(!outcome.message.isEmpty());
    if (status == CommandLineOutcome::Status::ShowHelp) {
        for (const QString& option : {u"--registrar"_s, u"--tools-url"_s, u"--support-url"_s})
            QVERIFY2(outcome.message.contains(option), qPrintable(option));
    }
}

void TestSettings::optionsWinOverStoreWithoutWritingIt() {
    test::TemporarySettings temporary;
    temporary.settings().setValue(Settings::Key::RegistrarAddress, u"stored.test"_s);
    temporary.settings().setValue(Settings::Key::ToolsUrl, u"https://stored.test/tools"_s);
    temporary.settings().setValue(Settings::Key::RequestTimeLimitSeconds, 7);

    const CommandLineOutcome outcome =
        parseCommandLine({u"domainsieve"_s, u"--registrar"_s, u"option.test:81"_s,
                          u"--support-url"_s, u"https://option.test/help"_s});
    QCOMPARE(outcome.status, CommandLineOutcome::Status::Run);
    const AppConfig config = resolveConfig(temporary.settings(), outcome.options);

    QCOMPARE(config.registrarAddress, u"http://option.test:81"_s);
    QCOMPARE(config.toolsUrl, QUrl(u"https://stored.test/tools"_s));
    QCOMPARE(config.supportUrl, QUrl(u"https://option.test/help"_s));
    QCOMPARE(config.requestTimeLimitSeconds, 7);
    QCOMPARE(config.restartIntervalMs, 100);

    const auto reopened = temporary.reopen();
    QCOMPARE(reopened->registrarAddress(), u"http://stored.test"_s);
    QCOMPARE(reopened->supportUrl(), Settings::defaultValue(Settings::Key::SupportUrl).toUrl());
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
