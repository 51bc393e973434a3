#include "common/DataFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// Where the program looks for its files: beside itself first, then in the
// data folder of an installed copy.
class TestDataFolders final : public QObject {
    Q_OBJECT

private slots:
    void holding_data();
    void holding();
};

void TestDataFolders::holding_data() {
    QTest::addColumn<QStringList>("present"); // folders, relative to the root, holding the file
    QTest::addColumn<QString>("expected");
    QTest::newRow("beside the program") << QStringList{u"usr/bin"_s} << u"usr/bin"_s;
    QTest::newRow("installed data folder")
        << QStringList{u"usr/share/domainsieve"_s} << u"usr/share/domainsieve"_s;
    QTest::newRow("beside the program wins")
        << QStringList{u"usr/bin"_s, u"usr/share/domainsieve"_s} << u"usr/bin"_s;
    QTest::newRow("nowhere: beside the program") << QStringList{} << u"usr/bin"_s;
}

void TestDataFolders::holding() {
    QFETCH(QStringList, present);
    QFETCH(QString, expected);
    QTemporaryDir root;
    const QDir dir(root.path());
    QVERIFY(dir.mkpath(u"usr/bin"_s));
    for (const QString& folder : std::as_const(present)) {
        QVERIFY(dir.mkpath(folder + u"/help"_s));
        QFile file(dir.filePath(folder + u"/help/index.html"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(DataFolders::holding(u"help/index.html"_s, dir.filePath(u"usr/bin"_s)),
             dir.filePath(expected));
}

QTEST_GUILESS_MAIN(TestDataFolders)
#include "tst_datafolders.moc"
