#include "TemporarySettings.h"
#include "config/AppConfig.h"
#include "config/Settings.h"
#include "config/SettingsTable.h"

#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// Where the program's addresses and limits come from: the stored settings
// with their defaults, the command line, and which of the two wins.
class TestSettings final : public QObject {
    Q_OBJECT

private slots:
    void everySettingDeclaredWhole();
    void renamedKeyReadFromFormerNameOnce_data();
    void renamedKeyReadFromFormerNameOnce();
    void defaultsStandInForMissingOrUnusableValues_data();
    void defaultsStandInForMissingOrUnusableValues();
    void registrarAddressNormalised_data();
    void registrarAddressNormalised();
    void lookupMethodKeepsOlderMeaning_data();
    void lookupMethodKeepsOlderMeaning();
    void commandLineRefusals_data();
    void commandLineRefusals();
    void optionsWinOverStoreWithoutWritingIt();
    void passwordMovesToKeyring_data();
    void passwordMovesToKeyring();
};

// A setting added without its default, range or measure would read as
// anything a hand-edited file holds.
void TestSettings::everySettingDeclaredWhole() {
    QSet<Settings::Key> keys;
    QSet<QString> names;
    QSet<QString> options;
    for (const SettingRow& row : settingRows()) {
        const QString what = row.name;
        QVERIFY2(!keys.contains(row.key), qPrintable(what));
        keys.insert(row.key);
        for (const QLatin1StringView name : {row.name, row.formerName}) {
            QVERIFY2(!names.contains(name), qPrintable(what));
            if (!name.isEmpty())
                names.insert(name);
        }
        QVERIFY2(row.fallback, qPrintable(what));
        const QVariant fallback = row.fallback();
        if (row.isNumber())
            QVERIFY2(fallback.toInt() >= row.minimum && fallback.toInt() <= row.maximum,
                     qPrintable(what));
        else if (fallback.typeId() != QMetaType::Bool)
            QVERIFY2(row.usable &&
                         (fallback.toString().isEmpty() || row.usable(fallback.toString())),
                     qPrintable(what));
        if (!row.option.isEmpty()) {
            QVERIFY2(!options.contains(row.option) && !row.optionText.isEmpty(), qPrintable(what));
            options.insert(row.option);
        }
        QVERIFY2(!row.numberOption || row.isNumber(), qPrintable(what));
        QVERIFY2(!row.textOption || row.usable, qPrintable(what));
        QVERIFY2(!row.label || !row.fieldName.isEmpty(), qPrintable(what));
    }
    QCOMPARE(keys.size(), int(Settings::Key::Details) + 1);
}

void TestSettings::renamedKeyReadFromFormerNameOnce_data() {
    QTest::addColumn<QVariant>("former");
    QTest::addColumn<QVariant>("current");
    QTest::addColumn<int>("read");
    QTest::newRow("only the former") << QVariant(7) << QVariant() << 7;
    QTest::newRow("both: the current wins") << QVariant(7) << QVariant(9) << 9;
    QTest::newRow("only the current") << QVariant() << QVariant(9) << 9;
}

void TestSettings::renamedKeyReadFromFormerNameOnce() {
    QFETCH(QVariant, former);
    QFETCH(QVariant, current);
    QFETCH(int, read);
    const SettingRow& row = settingRow(Settings::Key::RequestTimeLimitSeconds);
    test::TemporarySettings temporary;
    {
        QSettings raw(temporary.fileName(), QSettings::IniFormat);
        if (former.isValid())
            raw.setValue(row.formerName, former);
        if (current.isValid())
            raw.setValue(row.name, current);
    }
    QCOMPARE(temporary.reopen()->integer(row.key), read);
    const QSettings file(temporary.fileName(), QSettings::IniFormat);
    QVERIFY(!file.contains(row.formerName));
    QCOMPARE(file.value(row.name).toInt(), read);
}

void TestSettings::defaultsStandInForMissingOrUnusableValues_data() {
    QTest::addColumn<Settings::Key>("key");
    QTest::addColumn<QVariant>("stored");
    using Key = Settings::Key;
    QTest::newRow("nothing stored") << Key::ToolsUrl << QVariant();
    QTest::newRow("registrar of another scheme")
        << Key::RegistrarAddress << QVariant(u"ftp://h.test"_s);
    QTest::newRow("time limit not a number") << Key::RequestTimeLimitSeconds << QVariant(u"soon"_s);
    QTest::newRow("time limit zero") << Key::RequestTimeLimitSeconds << QVariant(0);
    QTest::newRow("interval just too long") << Key::RestartIntervalMs << QVariant(60001);
    QTest::newRow("tools address blank") << Key::ToolsUrl << QVariant(u"  "_s);
    QTest::newRow("language nobody translated into") << Key::Language << QVariant(u"fr"_s);
    QTest::newRow("no workers") << Key::Workers << QVariant(0);
    QTest::newRow("server interval negative") << Key::RegistryServerIntervalMs << QVariant(-1);
    QTest::newRow("WHOIS referral port too large") << Key::WhoisReferral << QVariant(u"h:65536"_s);
    QTest::newRow("WHOIS server without TLD") << Key::WhoisServers << QVariant(u"=h.test"_s);
    QTest::newRow("WHOIS interval too long") << Key::WhoisServerIntervalMs << QVariant(60001);
    QTest::newRow("server pace without a rate") << Key::ServerPaces << QVariant(u"h.test="_s);
    QTest::newRow("proxy of unknown type") << Key::ProxyType << QVariant(u"socks4"_s);
    // The DNS step asks IP addresses only; a name would need a resolver itself.
    QTest::newRow("DNS server by name") << Key::DnsServer << QVariant(u"resolver.test"_s);
    QTest::newRow("DNS parallel too many") << Key::DnsParallel << QVariant(1025);
}

// A hand-edited file must never keep the program from starting.
void TestSettings::defaultsStandInForMissingOrUnusableValues() {
    QFETCH(Settings::Key, key);
    QFETCH(QVariant, stored);
    test::TemporarySettings temporary;
    if (stored.isValid())
        temporary.settings().setValue(key, stored);
    const auto settings = temporary.reopen();
    QCOMPARE(settings->registrarAddress(), QString());
    QCOMPARE(settings->integer(Settings::Key::RequestTimeLimitSeconds), 30);
    QCOMPARE(settings->integer(Settings::Key::RestartIntervalMs), 100);
    QCOMPARE(settings->language(), u"zh"_s);
    QCOMPARE(settings->integer(Settings::Key::Workers), 3);
    QCOMPARE(settings->integer(Settings::Key::RegistryServerIntervalMs), 500);
    QCOMPARE(settings->text(Settings::Key::RdapBootstrap), QString());
    QCOMPARE(settings->text(Settings::Key::WhoisReferral), u"whois.iana.org:43"_s);
    QCOMPARE(settings->list(Settings::Key::WhoisServers), QStringList());
    QCOMPARE(settings->integer(Settings::Key::WhoisServerIntervalMs), 1000);
    QCOMPARE(settings->list(Settings::Key::ServerPaces), QStringList());
    QCOMPARE(settings->proxy().type, ProxyConfig::Type::None);
    QCOMPARE(settings->flag(Settings::Key::DnsEnabled), true);
    QCOMPARE(settings->text(Settings::Key::DnsServer), QString());
    QCOMPARE(settings->integer(Settings::Key::DnsParallel), 32);
    // Both addresses lead to the help page beside the program, which needs no network.
    const QString page = QCoreApplication::applicationDirPath() + u"/help/index.html"_s;
    QCOMPARE(settings->url(Settings::Key::ToolsUrl), QUrl::fromLocalFile(page));
    QCOMPARE(settings->url(Settings::Key::SupportUrl),
             QUrl::fromLocalFile(page).resolved(QUrl(u"#support"_s)));
}

void TestSettings::registrarAddressNormalised_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");
    // Without care "host:port" reads as a URL of scheme "host".
    QTest::newRow("bare host and port") << u"localhost:8080"_s << u"http://localhost:8080"_s;
    QTest::newRow("IPv6 with port") << u"[::1]:8080"_s << u"http://[::1]:8080"_s;
    QTest::newRow("case and blanks")
        << u"  HTTP://Check.Example.TEST/  "_s << u"http://check.example.test"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("https") << u"https://h.test"_s << QString();
    QTest::newRow("path") << u"http://h.test/domain/check.do"_s << QString();
    QTest::newRow("user info") << u"http://user:pw@h.test"_s << QString();
    QTest::newRow("port out of range") << u"h.test:70000"_s << QString();
    QTest::newRow("port not a number") << u"javascript:alert(1)"_s << QString();
}

void TestSettings::registrarAddressNormalised() {
    QFETCH(QString, address);
    QFETCH(QString, expected);
    QCOMPARE(normaliseRegistrarAddress(address), expected);
    // Typed as an option, an address that cannot be used stops the start
    // rather than leaving the window quietly without a registrar.
    const CommandLineOutcome outcome =
        parseCommandLine({u"domainsieve"_s, u"--registrar"_s, address});
    QCOMPARE(outcome.status, expected.isEmpty() ? CommandLineOutcome::Status::Fail
                                                : CommandLineOutcome::Status::Run);
    QCOMPARE(outcome.options.registrarAddress.value_or(QString()), expected);
}

void TestSettings::lookupMethodKeepsOlderMeaning_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("method"); // empty: not stored, as in older files
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("used");  // the registrar a run would ask
    QTest::addColumn<bool>("dnsFirst"); // whether the DNS is asked ahead of it
    const auto row = [](const char* name, const QString& address, const QString& method,
                        const QString& used, const QString& option = {}) {
        QTest::newRow(name) << address << method << option << used << used.isEmpty();
    };
    row("older file with an address", u"h.test"_s, {}, u"http://h.test"_s);
    row("older file without", {}, {}, {});
    row("registries chosen, address kept", u"h.test"_s, u"registries"_s, {});
    row("unknown method word", u"h.test"_s, u"dns"_s, u"http://h.test"_s);
    row("--registries over a stored registrar", u"h.test"_s, u"registrar"_s, {}, u"--registries"_s);
    row("--registrar over stored registries", {}, u"registries"_s, u"http://o.test"_s,
        u"--registrar=o.test"_s);
    QTest::newRow("--no-dns") << QString() << QString() << u"--no-dns"_s << QString() << false;
    // The DNS's "taken" has no details: who wants them asks every registry.
    QTest::newRow("--details") << QString() << QString() << u"--details"_s << QString() << false;
}

void TestSettings::lookupMethodKeepsOlderMeaning() {
    QFETCH(QString, address);
    QFETCH(QString, method);
    QFETCH(QString, option);
    QFETCH(QString, used);
    QFETCH(bool, dnsFirst);
    test::TemporarySettings temporary;
    temporary.settings().setValue(Settings::Key::RegistrarAddress, address);
    if (!method.isEmpty())
        temporary.settings().setValue(Settings::Key::LookupMethod, method);
    QStringList arguments{u"domainsieve"_s};
    if (!option.isEmpty())
        arguments.append(option);
    const CommandLineOutcome outcome = parseCommandLine(arguments);
    const AppConfig config = resolveConfig(*temporary.reopen(), outcome.options);
    QCOMPARE(config.registrarAddress, used);
    QCOMPARE(engineConfig(config).dns.has_value(), dnsFirst);
}

void TestSettings::commandLineRefusals_data() {
    QTest::addColumn<QString>("argument");
    QTest::newRow("tools address empty") << u"--tools-url="_s;
    QTest::newRow("support address blank") << u"--support-url= "_s;
    QTest::newRow("stray argument") << u"x.pw"_s;
    QTest::newRow("language nobody translated into") << u"--lang=fr"_s;
    QTest::newRow("no workers") << u"--workers=0"_s;
    QTest::newRow("workers not a number") << u"--workers=many"_s;
    QTest::newRow("bootstrap empty") << u"--rdap-bootstrap="_s;
    QTest::newRow("WHOIS referral port zero") << u"--whois-referral=h.test:0"_s;
    QTest::newRow("WHOIS server without host") << u"--whois-server=cn"_s;
    QTest::newRow("proxy of another scheme") << u"--proxy=https://p.test"_s;
    QTest::newRow("WHOIS interval too long") << u"--whois-interval=60001"_s;
    QTest::newRow("DNS server by name") << u"--dns-server=resolver.test"_s;
    QTest::newRow("server pace too fast") << u"--server-pace=h.test=1000"_s;
    QTest::newRow("DNS port out of range") << u"--dns-server=127.0.0.1:65536"_s;
}

void TestSettings::commandLineRefusals() {
    QFETCH(QString, argument);
    const CommandLineOutcome outcome = parseCommandLine({u"domainsieve"_s, argument});
    QCOMPARE(outcome.status, CommandLineOutcome::Status::Fail);
    QVERIFY(!outcome.message.isEmpty());
}

void TestSettings::optionsWinOverStoreWithoutWritingIt() {
    test::TemporarySettings temporary;
    temporary.settings().setValue(Settings::Key::RegistrarAddress, u"stored.test"_s);
    temporary.settings().setValue(Settings::Key::ToolsUrl, u"https://stored.test/tools"_s);
    temporary.settings().setValue(Settings::Key::RequestTimeLimitSeconds, 7);
    temporary.settings().setValue(Settings::Key::Language, u"EN"_s);

    temporary.settings().setValue(Settings::Key::Workers, 5);
    temporary.settings().setValue(Settings::Key::RdapBootstrap, u"/stored/list.json"_s);
    temporary.settings().setValue(Settings::Key::WhoisServers,
                                  QStringList{u"cn=stored.test"_s, u"de=stored.test"_s});
    temporary.settings().setValue(Settings::Key::ServerPaces,
                                  QStringList{u"h.test=2"_s, u"stored.test:8443=3/2"_s});
    temporary.settings().setValue(Settings::Key::ProxyType, u"http"_s);
    temporary.settings().setValue(Settings::Key::ProxyHost, u"stored.test"_s);
    temporary.settings().setValue(Settings::Key::DnsServer, u"192.0.2.1"_s);
    temporary.settings().setValue(Settings::Key::DnsParallel, 64);
    const CommandLineOutcome outcome = parseCommandLine({u"domainsieve"_s,
                                                         u"--registrar"_s,
                                                         u"option.test:81"_s,
                                                         u"--support-url"_s,
                                                         u"https://option.test/help"_s,
                                                         u"--lang"_s,
                                                         u"zh"_s,
                                                         u"--rdap-bootstrap"_s,
                                                         u"http://list.test/dns.json"_s,
                                                         u"--whois-server"_s,
                                                         u"中国=option.test"_s,
                                                         u"--whois-server=cn=option.test:4343"_s,
                                                         u"--whois-referral=referral.test:4343"_s,
                                                         u"--proxy"_s,
                                                         u"socks5://option.test"_s,
                                                         u"--whois-interval"_s,
                                                         u"0"_s,
                                                         u"--no-dns"_s,
                                                         u"--dns-server=[::1]:5353"_s,
                                                         u"--server-pace=H.test=20/8"_s});
    QCOMPARE(outcome.status, CommandLineOutcome::Status::Run);
    const AppConfig config = resolveConfig(temporary.settings(), outcome.options);

    QCOMPARE(config.registrarAddress, u"http://option.test:81"_s);
    QCOMPARE(config.toolsUrl, QUrl(u"https://stored.test/tools"_s));
    QCOMPARE(config.supportUrl, QUrl(u"https://option.test/help"_s));
    QCOMPARE(config.requestTimeLimitSeconds, 7);
    QCOMPARE(config.language, u"zh"_s);
    QCOMPARE(config.workers, 5);
    QCOMPARE(config.rdapBootstrap, u"http://list.test/dns.json"_s);
    const WhoisServersOptions whois = engineConfig(config).whois;
    QCOMPARE(whois.referral.toString(), u"referral.test:4343"_s);
    QCOMPARE(whois.overrides.value(u"cn"_s).toString(), u"option.test:4343"_s);
    QCOMPARE(whois.overrides.value(u"de"_s).toString(), u"stored.test:43"_s);
    QCOMPARE(whois.overrides.value(u"xn--fiqs8s"_s).toString(), u"option.test:43"_s);
    const QHash<QString, ServerPace> paces = engineConfig(config).serverPaces;
    QCOMPARE(paces.size(), 2);
    QCOMPARE(paces.value(u"h.test"_s).requestsPerSecond, 20.0);
    QCOMPARE(paces.value(u"h.test"_s).inFlight, 8);
    QCOMPARE(paces.value(u"stored.test:8443"_s).inFlight, 2);
    QCOMPARE(config.proxy.displayName(), u"socks5://option.test:1080"_s);
    QCOMPARE(config.whoisServerIntervalMs, 0);
    QCOMPARE(config.dnsEnabled, false);
    QCOMPARE(config.dnsServer, u"[::1]:5353"_s);
    QCOMPARE(config.dnsParallel, 64);

    const auto reopened = temporary.reopen();
    QCOMPARE(reopened->registrarAddress(), u"http://stored.test"_s);
    QCOMPARE(reopened->language(), u"en"_s);
    QCOMPARE(reopened->url(Settings::Key::SupportUrl),
             Settings::defaultValue(Settings::Key::SupportUrl).toUrl());
    QCOMPARE(reopened->proxy().displayName(), u"http://stored.test:8080"_s);
}

void TestSettings::passwordMovesToKeyring_data() {
    QTest::addColumn<bool>("keyringAnswers");
    QTest::addColumn<QString>("inFile"); // as an older version left it
    QTest::addColumn<QString>("fileAfter");
    QTest::addColumn<QString>("keyringAfter");
    QTest::newRow("moved") << true << u"pw"_s << QString() << u"pw"_s;
    // Never lost: it stays until a keyring answers, and still serves.
    QTest::newRow("no keyring: left in place") << false << u"pw"_s << u"pw"_s << QString();
    QTest::newRow("nothing to move") << true << QString() << QString() << QString();
}

void TestSettings::passwordMovesToKeyring() {
    QFETCH(bool, keyringAnswers);
    QFETCH(QString, inFile);
    QFETCH(QString, fileAfter);
    QFETCH(QString, keyringAfter);
    test::TemporarySettings temporary;
    {
        QSettings raw(temporary.fileName(), QSettings::IniFormat);
        raw.setValue(u"proxy/type"_s, u"socks5"_s);
        raw.setValue(u"proxy/host"_s, u"127.0.0.1"_s);
        raw.setValue(u"proxy/user"_s, u"me"_s);
        raw.setValue(u"proxy/rememberPassword"_s, true);
        if (!inFile.isEmpty())
            raw.setValue(u"proxy/password"_s, inFile);
    }
    temporary.keyring().answers = keyringAnswers;
    temporary.reopen()->movePasswordToKeyring();

    const QSettings file(temporary.fileName(), QSettings::IniFormat);
    QCOMPARE(file.value(u"proxy/password"_s).toString(), fileAfter);
    QCOMPARE(temporary.keyring().secrets.value(u"proxy/password"_s), keyringAfter);
    temporary.keyring().answers = true;
    QCOMPARE(temporary.reopen()->proxy().password, inFile);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
