#include "TemporarySettings.h"
#include "config/Settings.h"
#include "config/SettingsTable.h"

#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// The stored settings: each declared whole, read with its default standing in
// for what cannot be used, and renamed or moved without losing a value.
class TestSettings final : public QObject {
    Q_OBJECT

private slots:
    void everySettingDeclaredWhole();
    void renamedKeyReadFromFormerNameOnce_data();
    void renamedKeyReadFromFormerNameOnce();
    void defaultsStandInForMissingOrUnusableValues_data();
    void defaultsStandInForMissingOrUnusableValues();
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
