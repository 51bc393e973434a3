#pragma once

#include "MessageBoxRecorder.h"
#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/Translation.h"

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace ds::test {

// What the tests of the window stand on: a fresh window for each test, shown,
// its message boxes recorded rather than shown.
class Form1Test : public QObject {
protected:
    static void speakChinese() {
        using namespace Qt::StringLiterals;
        Fonts::install();
        // Qt's own words, a message box's buttons say, speak Chinese too.
        QVERIFY(Translation::install(*qApp, u"zh"_s));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), u"确定"_s);
    }

    void openWindow() {
        using namespace Qt::StringLiterals;
        m_boxes = std::make_unique<test::MessageBoxRecorder>();
        // No registrar: the registries are asked, here a port where nobody listens,
        // and no DNS step, which would ask the system's resolver.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QByteArray list = R"({"services": [[["pw"], ["http://127.0.0.1:)" +
                                QByteArray::number(closed.serverPort()) + R"(/"]]]})";
        closed.close();
        QFile bootstrap(m_folder.filePath(u"bootstrap.json"_s));
        QVERIFY(bootstrap.open(QIODevice::WriteOnly) && bootstrap.write(list) == list.size());
        bootstrap.close();
        const AppConfig config{.registrarAddress = QString(),
                               .toolsUrl = QUrl(u"https://tools.example.test/page"_s),
                               .supportUrl = QUrl(u"https://support.example.test/chat"_s),
                               .journalFolder = QString(),
                               .rdapBootstrap = bootstrap.fileName(),
                               .cacheFolder = m_folder.path(),
                               .dnsEnabled = false};
        m_form = std::make_unique<Form1>(config, [](const QUrl&) { return true; });
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    void closeWindow() {
        m_form.reset();
        m_boxes.reset();
    }

    QWidget* child(const QString& name) const { return m_form->findChild<QWidget*>(name); }
    void click(const QString& name) { QTest::mouseClick(child(name), Qt::LeftButton); }

    QTemporaryDir m_folder;
    std::unique_ptr<test::MessageBoxRecorder> m_boxes;
    std::unique_ptr<Form1> m_form;
};

} // namespace ds::test
