#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/Skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// The program's look: the optional skin file beside it and the Song-style
// face that every text is drawn in.
class TestSkin final : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void unusableSkinIgnored_data();
    void unusableSkinIgnored();
    void skinApplied();
    void shippedSkinParsesAndKeepsLinkRed();
    void songFaceDrawsChineseAndLatin();
};

void TestSkin::cleanup() {
    qApp->setStyleSheet(QString());
}

void TestSkin::unusableSkinIgnored_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << u"missing"_s;
    QTest::newRow("empty") << u"empty"_s;
    QTest::newRow("blank") << u"blank"_s;
    QTest::newRow("a folder of that name") << u"folder"_s;
    QTest::newRow("folder that does not exist") << u"nowhere"_s;
}

void TestSkin::unusableSkinIgnored() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(Skin::fileName());
    if (kind == u"empty"_s || kind == u"blank"_s) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kind == u"blank"_s ? " \n\t\n" : "");
    } else if (kind == u"folder"_s) {
        QVERIFY(QDir(dir.path()).mkdir(Skin::fileName()));
    }
    const QString folder = kind == u"nowhere"_s ? dir.filePath(u"gone"_s) : dir.path();

    QTest::failOnWarning(QRegularExpression(u".*"_s));
    QVERIFY(!Skin::attach(folder));
    QCOMPARE(qApp->styleSheet(), QString());
}

void TestSkin::skinApplied() {
    QTemporaryDir dir;
    const QByteArray sheet = "QPushButton { color: #123456; }\n";
    QFile file(dir.filePath(Skin::fileName()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(sheet);
    file.close();

    QVERIFY(Skin::attach(dir.path()));
    QCOMPARE(qApp->styleSheet(), QString::fromUtf8(sheet));
}

void TestSkin::shippedSkinParsesAndKeepsLinkRed() {
    QTest::failOnWarning(QRegularExpression(u".*"_s));
    QVERIFY(Skin::attach(QString::fromUtf8(DOMAINSIEVE_SKIN_FOLDER)));

    Form1 form(AppConfig{}, [](const QUrl&) { return true; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto* link = form.findChild<QLabel*>(u"wenticc"_s);
    QVERIFY(link);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

void TestSkin::songFaceDrawsChineseAndLatin() {
    Fonts::install();
    QVERIFY(QFont::substitutes(u"宋体"_s).contains(u"AR PL UMing CN"_s, Qt::CaseInsensitive));
    for (const QFont& font : {QApplication::font(), Fonts::song(10.5, true)}) {
        const QString family = QFontInfo(font).family();
        const auto systems = QFontDatabase::writingSystems(family);
        QVERIFY2(systems.contains(QFontDatabase::SimplifiedChinese), qPrintable(family));
        QVERIFY2(systems.contains(QFontDatabase::Latin), qPrintable(family));
    }
    QCOMPARE(QApplication::font().family(), u"宋体"_s);
}

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
