#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString kAppId = QString::fromUtf8(DOMAINSIEVE_APP_ID);

// Runs a tool to its end; its exit code, with what it printed in `output`.
int run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

// The package as a person gets it: every file where the desktop looks for
// it, both validators content, and the program started from the unpacked
// tree finding its skin and help page there rather than in the build tree.
class TestInstalledLayout final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void filesInPlace_data();
    void filesInPlace();
    void controlFields();
    void validators_data();
    void validators();
    void programFindsItsFiles_data();
    void programFindsItsFiles();

private:
    QString path(const QString& relative) const { return m_root.filePath(relative); }

    QString m_package;
    QTemporaryDir m_root;
    QString m_startupLog;
};

void TestInstalledLayout::initTestCase() {
    m_package = qEnvironmentVariable("DOMAINSIEVE_PACKAGE");
    if (m_package.isEmpty())
        QSKIP("DOMAINSIEVE_PACKAGE names no package to check");
    QCOMPARE(run(u"dpkg-deb"_s, {u"-x"_s, m_package, m_root.path()}), 0);

    QTemporaryDir config;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"QT_LOGGING_RULES"_s, u"domainsieve.startup.info=true"_s);
    environment.insert(u"QT_MESSAGE_PATTERN"_s, u"%{message}"_s);
    environment.insert(u"XDG_CONFIG_HOME"_s, config.path());
    environment.insert(u"XDG_DATA_HOME"_s, config.path());
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(path(u"usr/bin/domainsieve"_s), {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(
        (m_startupLog += QString::fromUtf8(program.readAll())).contains(u"support page:"_s), 30000);
    QCOMPARE(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
}

void TestInstalledLayout::filesInPlace_data() {
    QTest::addColumn<QString>("file");
    for (const QString& file :
         {u"usr/bin/domainsieve"_s, u"usr/share/domainsieve/XinChunDaJie.she"_s,
          u"usr/share/domainsieve/help/index.html"_s,
          u"usr/share/applications/%1.desktop"_s.arg(kAppId),
          u"usr/share/metainfo/%1.metainfo.xml"_s.arg(kAppId)})
        QTest::newRow(qPrintable(file)) << file;
    for (const int size : {16, 24, 32, 48})
        QTest::addRow("icon %d", size)
            << u"usr/share/icons/hicolor/%1x%1/apps/%2.png"_s.arg(size).arg(kAppId);
}

void TestInstalledLayout::filesInPlace() {
    QFETCH(QString, file);
    QVERIFY2(QFileInfo(path(file)).isFile(), qPrintable(file));
}

void TestInstalledLayout::controlFields() {
    QString fields;
    QCOMPARE(run(u"dpkg-deb"_s, {u"--field"_s, m_package, u"Version"_s, u"Depends"_s}, &fields), 0);
    // The one version of the project, the font no linker finds, the keyring's
    // library, and what shlibdeps found.
    for (const QString& expected : {u"Version: " DOMAINSIEVE_VERSION ""_s, u"fonts-arphic-uming"_s,
                                    u"libsecret-1-0"_s, u"libqt6widgets6"_s})
        QVERIFY2(fields.contains(expected), qPrintable(fields));
}

void TestInstalledLayout::validators_data() {
    QTest::addColumn<QString>("validator");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("file");
    QTest::newRow("desktop entry") << u"desktop-file-validate"_s << QStringList{}
                                   << u"usr/share/applications/%1.desktop"_s.arg(kAppId);
    QTest::newRow("metainfo") << u"appstreamcli"_s
                              << QStringList{u"validate"_s, u"--no-net"_s, u"--strict"_s}
                              << u"usr/share/metainfo/%1.metainfo.xml"_s.arg(kAppId);
}

void TestInstalledLayout::validators() {
    QFETCH(QString, validator);
    QFETCH(QStringList, options);
    QFETCH(QString, file);
    QString report;
    const int code = run(validator, options << path(file), &report);
    QVERIFY2(code == 0, qPrintable(report));
}

void TestInstalledLayout::programFindsItsFiles_data() {
    QTest::addColumn<QString>("line");
    const QString help =
        QUrl::fromLocalFile(path(u"usr/share/domainsieve/help/index.html"_s)).toString();
    QTest::newRow("skin") << u"skin: "_s + path(u"usr/share/domainsieve/XinChunDaJie.she"_s);
    QTest::newRow("tools page") << u"tools page: "_s + help;
    QTest::newRow("support page") << u"support page: "_s + help + u"#support"_s;
}

void TestInstalledLayout::programFindsItsFiles() {
    QFETCH(QString, line);
    QVERIFY2(m_startupLog.split(u'\n').contains(line), qPrintable(m_startupLog));
}

QTEST_GUILESS_MAIN(TestInstalledLayout)
#include "tst_installedlayout.moc"
