#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// `domainsieve gen` through the real executable: names on standard output
// only, the count or the fault on standard error, and the exit code.
class TestGenCli final : public QObject {
    Q_OBJECT

private slots:
    void run_data();
    void run();

private:
    QTemporaryDir m_folder;
};

void TestGenCli::run_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QString>("err");

    QFile words(m_folder.filePath(u"words.txt"_s));
    QVERIFY(words.open(QIODevice::WriteOnly));
    words.write("my\n\nget\n");
    words.close();
    QFile badWords(m_folder.filePath(u"bad.txt"_s));
    QVERIFY(badWords.open(QIODevice::WriteOnly));
    badWords.write("my\na_b\n");
    badWords.close();

    QTest::newRow("names") << QStringList{u"[ab]"_s, u"--tld"_s, u"com,.net"_s} << 0
                           << QByteArray("a.com\na.net\nb.com\nb.net\n") << u"将生成 4 个域名"_s;
    QTest::newRow("prefix file") << QStringList{u"N.cn"_s, u"--prefix-file"_s, words.fileName()}
                                 << 0
                                 << QByteArray("my0.cn\nmy1.cn\nmy2.cn\nmy3.cn\nmy4.cn\nmy5"
                                               ".cn\nmy6.cn\nmy7.cn\nmy8.cn\nmy9.cn\nget0.cn\n"
                                               "get1.cn\nget2.cn\nget3.cn\nget4.cn\nget5.cn\n"
                                               "get6.cn\nget7.cn\nget8.cn\nget9.cn\n")
                                 << u"将生成 20 个域名"_s;
    QTest::newRow("count") << QStringList{u"{AABB:N}"_s, u"--tld"_s, u"com"_s, u"--count"_s} << 0
                           << QByteArray("90\n") << QString();
    QTest::newRow("count with shapes left out")
        << QStringList{u"NNNN.com"_s, u"--exclude"_s, u"AAAA"_s, u"--count"_s} << 0
        << QByteArray("9990\n") << QString();
    QTest::newRow("bad pattern") << QStringList{u"N[.com"_s} << 2 << QByteArray()
                                 << u"第 2 个字符：“[”没有配对的“]”"_s;
    QTest::newRow("over the limit")
        << QStringList{u"XXXXXX.com"_s, u"--count"_s} << 2 << QByteArray() << u"超过上限"_s;
    QTest::newRow("no pattern") << QStringList{} << 2 << QByteArray() << u"no pattern given"_s;
    QTest::newRow("unreadable word file")
        << QStringList{u"N.cn"_s, u"--suffix-file"_s, m_folder.filePath(u"none.txt"_s)} << 2
        << QByteArray() << u"cannot read"_s;
    QTest::newRow("bad word") << QStringList{u"N.cn"_s, u"--prefix-file"_s, badWords.fileName()}
                              << 2 << QByteArray() << u"bad.txt, line 2: “_”"_s;
}

void TestGenCli::run() {
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QFETCH(QString, err);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DISPLAY"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"no-such-platform"_s);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(DOMAINSIEVE_EXECUTABLE), QStringList{u"gen"_s} + arguments);
    QVERIFY(process.waitForFinished(60'000));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitCode(), code);
    QCOMPARE(process.readAllStandardOutput(), out);
    QVERIFY2(errors.contains(err), qPrintable(errors));
}

QTEST_GUILESS_MAIN(TestGenCli)
#include "tst_gencli.moc"
