#include "app/Form1.h"
#include "app/Skin.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ds;

// The optional skin beside the program: applied when there is one, passed
// over without a word when there is nothing usable.
class TestSkin final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qApp->setStyleSheet(QString()); }

    void unusableSkinIgnored_data();
    void unusableSkinIgnored();
    void shippedSkinParsesAndKeepsLinkRed();
};

void TestSkin::unusableSkinIgnored_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("blank") << QByteArray(" \n\t\n");
}

void TestSkin::unusableSkinIgnored() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    if (!content.isNull()) {
        QFile file(dir.filePath(Skin::fileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QTest::failOnWarning(QRegularExpression(u".*"_s));
    QVERIFY(!Skin::attach(dir.path()));
    QCOMPARE(qApp->styleSheet(), QString());
}

void TestSkin::shippedSkinParsesAndKeepsLinkRed() {
    QTest::failOnWarning(QRegularExpression(u".*"_s));
    QVERIFY(Skin::attach(QString::fromUtf8(DOMAINSIEVE_SKIN_FOLDER)));
    QVERIFY(!qApp->styleSheet().isEmpty());

    Form1 form(AppConfig{}, [](const QUrl&) { return true; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto* link = form.findChild<QLabel*>(u"wenticc"_s);
    QVERIFY(link);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
