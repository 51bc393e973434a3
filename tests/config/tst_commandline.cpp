#include "TemporarySettings.h"
#include "config/AppConfig.h"
#include "config/Settings.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// The command line: what it refuses, and how its options and the stored
// settings make one configuration, the options winning.
class TestCommandLine final : public QObject {
    Q_OBJECT

private slots:
    void registrarAddressNormalised_data();
    void registrarAddressNormalised();
    void lookupMethodKeepsOlderMeaning_data();
    void lookupMethodKeepsOlderMeaning();
    void commandLineRefusals_data();
    void commandLineRefusals();
    void optionsWinOverStoreWithoutWritingIt();
};

void TestCommandLine::registrarAddressNormalised_data() {
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

void TestCommandLine::registrarAddressNormalised() {
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

void TestCommandLine::lookupMethodKeepsOlderMeaning_data() {
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

void TestCommandLine::lookupMethodKeepsOlderMeaning() {
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

void TestCommandLine::commandLineRefusals_data() {
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

void TestCommandLine::commandLineRefusals() {
    QFETCH(QString, argument);
    const CommandLineOutcome outcome = parseCommandLine({u"domainsieve"_s, argument});
    QCOMPARE(outcome.status, CommandLineOutcome::Status::Fail);
    QVERIFY(!outcome.message.isEmpty());
}

void TestCommandLine::optionsWinOverStoreWithoutWritingIt() {
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

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
