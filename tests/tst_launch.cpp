#include "Launch.h"

#include <QTest>

#include <vector>

using namespace Qt::StringLiterals;
using namespace ds;

// Which application object a command line calls for.
class TestLaunch final : public QObject {
    Q_OBJECT

private slots:
    void applicationChosenFromTheArguments_data();
    void applicationChosenFromTheArguments();
};

void TestLaunch::applicationChosenFromTheArguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<LaunchMode>("mode");
    QTest::newRow("nothing") << QStringList{} << LaunchMode::Window;
    QTest::newRow("an option") << QStringList{u"--registrar"_s, u"h:1"_s} << LaunchMode::Window;
    QTest::newRow("help after an option")
        << QStringList{u"--registrar"_s, u"h:1"_s, u"-h"_s} << LaunchMode::Information;
    QTest::newRow("version") << QStringList{u"--version"_s} << LaunchMode::Information;
    QTest::newRow("check") << QStringList{u"check"_s, u"--help"_s} << LaunchMode::Batch;
    QTest::newRow("check not first") << QStringList{u"-v"_s, u"check"_s} << LaunchMode::Information;
    QTest::newRow("a file named check, refused")
        << QStringList{u"./check"_s} << LaunchMode::Information;
    QTest::newRow("an unknown option") << QStringList{u"--bogus"_s} << LaunchMode::Information;
}

// Decided before any application object exists: only the window may need a display.
void TestLaunch::applicationChosenFromTheArguments() {
    QFETCH(QStringList, arguments);
    QFETCH(LaunchMode, mode);
    std::vector<QByteArray> bytes{QByteArrayLiteral("domainsieve")};
    for (const QString& argument : arguments)
        bytes.push_back(argument.toUtf8());
    std::vector<const char*> argv;
    for (const QByteArray& argument : bytes)
        argv.push_back(argument.constData());
    QCOMPARE(launchMode(int(argv.size()), argv.data()), mode);
}

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
