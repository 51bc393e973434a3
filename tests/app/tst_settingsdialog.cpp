#include "TemporarySettings.h"
#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/SettingsDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace ds;

// An edit made in the dialog: a widget by name and the text typed into it,
// or an empty text for a button to press.
using Edits = QList<QPair<QString, QString>>;

// The settings dialog offscreen: what it shows, what it refuses, and what OK,
// Cancel and Esc leave in the store; and the window handing it over.
class TestSettingsDialog final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Fonts::install(); }
    void opensWithStoredValues();
    void closing_data();
    void closing();
    void serverPaceRows_data();
    void serverPaceRows();
    void windowUsesSavedValuesForNextRun();
    void rememberedPasswordGoesToKeyring_data();
    void rememberedPasswordGoesToKeyring();

private:
    static void apply(QDialog& dialog, const Edits& edits) {
        for (const auto& [name, text] : edits) {
            QWidget* widget = dialog.findChild<QWidget*>(name);
            QVERIFY2(widget, qPrintable(name));
            if (auto* edit = qobject_cast<QLineEdit*>(widget))
                edit->setText(text);
            else
                qobject_cast<QAbstractButton*>(widget)->click();
        }
    }
    static QString text(const QDialog& dialog, const QString& name) {
        if (const auto* edit = dialog.findChild<QLineEdit*>(name))
            return edit->text();
        return dialog.findChild<QLabel*>(name)->text();
    }
};

void TestSettingsDialog::opensWithStoredValues() {
    // A file from before the dialog existed: it held only the address, and
    // that meant the registrar.
    test::TemporarySettings temporary;
    temporary.settings().setValue(Settings::Key::RegistrarAddress, u"check.test:81"_s);
    temporary.settings().setValue(Settings::Key::RestartIntervalMs, 250);
    temporary.settings().setValue(Settings::Key::ServerPaces, QStringList{u"h.test:8443=20/8"_s});
    const auto store = temporary.reopen();
    SettingsDialog dialog(*store, SettingsForm::load(*store), true, {u"--proxy"_s});
    QVERIFY(dialog.findChild<QAbstractButton*>(u"registrarChoice"_s)->isChecked());
    QCOMPARE(text(dialog, u"registrarAddress"_s), u"http://check.test:81"_s);
    QCOMPARE(text(dialog, u"restartIntervalMs"_s), u"250"_s);
    QCOMPARE(text(dialog, u"workers"_s), u"3"_s);
    QVERIFY(dialog.findChild<QAbstractButton*>(u"proxyNone"_s)->isChecked());
    QVERIFY(!dialog.findChild<QLineEdit*>(u"proxyHost"_s)->isEnabled());
    // The DNS step never precedes the registrar.
    QVERIFY(!dialog.findChild<QWidget*>(u"dnsEnabled"_s)->isEnabled());
    QVERIFY(!dialog.findChild<QLineEdit*>(u"dnsParallel"_s)->isEnabled());
    const auto* paces = dialog.findChild<QTableWidget*>(u"serverPaces"_s);
    QCOMPARE(paces->rowCount(), 1);
    QCOMPARE(paces->item(0, 0)->text() + paces->item(0, 1)->text() + paces->item(0, 2)->text(),
             u"h.test:8443208"_s);
    QVERIFY(text(dialog, u"runNote"_s).contains(u"下一次查询"_s));
    QVERIFY(text(dialog, u"optionsNote"_s).contains(u"--proxy"_s));
}

void TestSettingsDialog::closing_data() {
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<int>("key");           // pressed to close the dialog
    QTest::addColumn<QString>("problemAt"); // the field that says what is wrong
    // "key=value" as stored afterwards; "key=" for a key that is absent.
    QTest::addColumn<QStringList>("stored");

    const QStringList untouched{u"run/workers="_s, u"proxy/type="_s, u"extra/kept=yes"_s};
    const Edits socks{{u"proxySocks5"_s, {}},        {u"proxyHost"_s, u"127.0.0.1"_s},
                      {u"proxyPort"_s, u"1080"_s},   {u"proxyUser"_s, u"me"_s},
                      {u"proxyPassword"_s, u"pw"_s}, {u"workers"_s, u"8"_s}};
    QTest::newRow("OK saves, password forgotten")
        << socks << int(Qt::Key_Enter) << QString()
        << QStringList{u"run/workers=8"_s, u"proxy/type=socks5"_s, u"proxy/host=127.0.0.1"_s,
                       u"proxy/user=me"_s, u"proxy/password="_s,   u"extra/kept=yes"_s};
    QTest::newRow("password remembered")
        << socks + Edits{{u"rememberPassword"_s, {}}} << int(Qt::Key_Enter) << QString()
        << QStringList{u"proxy/password="_s, u"proxy/rememberPassword=true"_s};
    QTest::newRow("Esc discards") << socks << int(Qt::Key_Escape) << QString() << untouched;
    QTest::newRow("no requests at once refused")
        << Edits{{u"registryRequestsInFlight"_s, u"0"_s}} << int(Qt::Key_Enter)
        << u"registryRequestsInFlightProblem"_s << untouched;
    QTest::newRow("interval not a number")
        << Edits{{u"whoisServerIntervalMs"_s, u"1s"_s}} << int(Qt::Key_Enter)
        << u"whoisServerIntervalMsProblem"_s << untouched;
    QTest::newRow("registrar address with a path")
        << Edits{{u"registrarChoice"_s, {}}, {u"registrarAddress"_s, u"http://h.test/x"_s}}
        << int(Qt::Key_Enter) << u"registrarAddressProblem"_s << untouched;
    QTest::newRow("DNS server by name") << Edits{{u"dnsServer"_s, u"resolver.test"_s}}
                                        << int(Qt::Key_Enter) << u"dnsServerProblem"_s << untouched;
    // Switched off, the DNS fields no longer block the save; only what is usable is kept.
    QTest::newRow("DNS step off")
        << Edits{{u"dnsServer"_s, u"::1"_s}, {u"dnsParallel"_s, u"0"_s}, {u"dnsEnabled"_s, {}}}
        << int(Qt::Key_Enter) << QString()
        << QStringList{u"dns/enabled=false"_s, u"dns/server=::1"_s, u"dns/parallel="_s};
    QTest::newRow("SOCKS5 without a host") << Edits{{u"proxySocks5"_s, {}}} << int(Qt::Key_Enter)
                                           << u"proxyHostProblem"_s << untouched;
    QTest::newRow("defaults restored and saved")
        << Edits{{u"workers"_s, u"9"_s}, {u"restoreDefaults"_s, {}}} << int(Qt::Key_Enter)
        << QString()
        << QStringList{u"run/workers=3"_s, u"lookup/method=registries"_s, u"proxy/type=none"_s};
}

void TestSettingsDialog::closing() {
    QFETCH(Edits, edits);
    QFETCH(int, key);
    QFETCH(QString, problemAt);
    QFETCH(QStringList, stored);
    test::TemporarySettings temporary;
    {
        QSettings raw(temporary.fileName(), QSettings::IniFormat);
        raw.setValue(u"extra/kept"_s, u"yes"_s);
    }
    const auto store = temporary.reopen();
    SettingsDialog dialog(*store, SettingsForm::load(*store), false);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    apply(dialog, edits);
    QTest::keyClick(&dialog, Qt::Key(key));

    // A refused value keeps the dialog open and says what is wrong beside it.
    QCOMPARE(dialog.isVisible(), !problemAt.isEmpty());
    if (!problemAt.isEmpty()) {
        QVERIFY(!text(dialog, problemAt).isEmpty());
        QVERIFY(!dialog.findChild<QPushButton*>(u"okButton"_s)->isEnabled());
    }
    const QSettings file(temporary.fileName(), QSettings::IniFormat);
    for (const QString& pair : std::as_const(stored)) {
        const QString name = pair.section(u'=', 0, 0);
        QCOMPARE(name + u'=' + file.value(name).toString(), pair);
    }
}

void TestSettingsDialog::serverPaceRows_data() {
    QTest::addColumn<QStringList>("cells"); // server, rate, in flight
    QTest::addColumn<QString>("problem");   // a word of the row's problem; empty for none
    QTest::addColumn<QStringList>("stored");

    QTest::newRow("server with a port, rate and in flight")
        << QStringList{u"rdap.example.test:8443"_s, u"20"_s, u"8"_s} << QString()
        << QStringList{u"rdap.example.test:8443=20/8"_s};
    QTest::newRow("in flight left blank") << QStringList{u" h.test "_s, u"2.5"_s, QString()}
                                          << QString() << QStringList{u"h.test=2.5"_s};
    QTest::newRow("a blank row is left out")
        << QStringList{QString(), QString(), QString()} << QString() << QStringList();
    QTest::newRow("no server") << QStringList{QString(), u"1"_s, QString()} << u"服务器"_s
                               << QStringList();
    QTest::newRow("port 0") << QStringList{u"h.test:0"_s, u"1"_s, QString()} << u"端口"_s
                            << QStringList();
    QTest::newRow("rate too fast")
        << QStringList{u"h.test"_s, u"1000"_s, QString()} << u"每秒请求数"_s << QStringList();
    QTest::newRow("in flight with a slash")
        << QStringList{u"h.test"_s, u"1"_s, u"2/3"_s} << u"同时请求数"_s << QStringList();
}

// A row that cannot be used says why in the row and keeps OK disabled.
void TestSettingsDialog::serverPaceRows() {
    QFETCH(QStringList, cells);
    QFETCH(QString, problem);
    QFETCH(QStringList, stored);
    test::TemporarySettings temporary;
    const auto store = temporary.reopen();
    SettingsDialog dialog(*store, SettingsForm::load(*store), false);
    dialog.findChild<QPushButton*>(u"addServerPace"_s)->click();
    auto* table = dialog.findChild<QTableWidget*>(u"serverPaces"_s);
    QCOMPARE(table->rowCount(), 1);
    for (int column = 0; column < cells.size(); ++column)
        table->item(0, column)->setText(cells[column]);

    QVERIFY(table->item(0, 3)->text().contains(problem));
    QCOMPARE(table->item(0, 3)->text().isEmpty(), problem.isEmpty());
    QCOMPARE(dialog.findChild<QPushButton*>(u"okButton"_s)->isEnabled(), problem.isEmpty());
    dialog.accept();
    QCOMPARE(dialog.result(), problem.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
    if (problem.isEmpty())
        QCOMPARE(temporary.reopen()->list(Settings::Key::ServerPaces), stored);
}

void TestSettingsDialog::windowUsesSavedValuesForNextRun() {
    test::TemporarySettings temporary;
    Form1 form(resolveConfig(temporary.settings(), {}), [](const QUrl&) { return true; });
    form.useSettingsStore(temporary.settings(), {});
    QTimer::singleShot(0, this, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        apply(*dialog, {{u"proxyHttp"_s, {}},
                        {u"proxyHost"_s, u"proxy.test"_s},
                        {u"proxyPort"_s, u"3128"_s},
                        {u"proxyUser"_s, u"me"_s},
                        {u"proxyPassword"_s, u"pw"_s},
                        {u"requestTimeLimitSeconds"_s, u"12"_s}});
        dialog->accept();
    });
    QTest::mouseClick(form.findChild<QWidget*>(u"settingsLink"_s), Qt::LeftButton);
    QCOMPARE(form.config().requestTimeLimitSeconds, 12);
    // The password the person chose not to store still serves this session.
    QCOMPARE(form.config().proxy,
             (ProxyConfig{ProxyConfig::Type::Http, u"proxy.test"_s, 3128, u"me"_s, u"pw"_s}));
    QCOMPARE(temporary.reopen()->proxy().password, QString());
}

void TestSettingsDialog::rememberedPasswordGoesToKeyring_data() {
    QTest::addColumn<bool>("keyringAnswers");
    QTest::newRow("kept in the keyring") << true;
    QTest::newRow("no keyring: this session only") << false;
}

void TestSettingsDialog::rememberedPasswordGoesToKeyring() {
    QFETCH(bool, keyringAnswers);
    test::TemporarySettings temporary;
    temporary.keyring().answers = keyringAnswers;
    Form1 form(resolveConfig(temporary.settings(), {}), [](const QUrl&) { return true; });
    form.useSettingsStore(temporary.settings(), {});
    bool toldNoKeyring = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        toldNoKeyring = dialog->findChild<QLabel*>(u"keyringNote"_s) != nullptr;
        apply(*dialog, {{u"proxySocks5"_s, {}},
                        {u"proxyHost"_s, u"proxy.test"_s},
                        {u"proxyUser"_s, u"me"_s},
                        {u"proxyPassword"_s, u"pw"_s},
                        {u"rememberPassword"_s, {}}});
        dialog->accept();
    });
    QTest::mouseClick(form.findChild<QWidget*>(u"settingsLink"_s), Qt::LeftButton);
    QCOMPARE(toldNoKeyring, !keyringAnswers);
    QCOMPARE(form.config().proxy.password, u"pw"_s);
    QVERIFY(!QSettings(temporary.fileName(), QSettings::IniFormat).contains(u"proxy/password"_s));
    const QString remembered = keyringAnswers ? u"pw"_s : QString();
    QCOMPARE(temporary.reopen()->proxy().password, remembered);
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
