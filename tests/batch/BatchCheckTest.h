#pragma once

#include "BatchProgram.h"
#include "FakeRegistrar.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace ds::test {

inline QStringList sortedLines(const QByteArray& bytes) {
    using namespace Qt::StringLiterals;
    QStringList lines =
        QString::fromUtf8(bytes).split(QRegularExpression(u"\r?\n"_s), Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

// What the tests of `domainsieve check` through the real executable stand on:
// a home of their own for its settings and files, and a local registrar.
class BatchCheckTest : public QObject {
protected:
    using Outcome = BatchOutcome;

    QTemporaryDir m_home;
    FakeRegistrar m_registrar;

    // Taken, unless the name holds "free"; a server error when it holds "fail".
    void answerByName() {
        m_registrar.setBehaviour([](const QString& entry, int) {
            using namespace Qt::StringLiterals;
            if (entry.contains(u"fail"_s)) {
                LocalHttpResponse broken;
                broken.status = 500;
                return broken;
            }
            return FakeRegistrar::answer(entry.contains(u"free"_s));
        });
    }

    void startBatch(QProcess& process, const QStringList& arguments) {
        using namespace Qt::StringLiterals;
        startProgram(process, QStringList{u"check"_s, u"--registrar"_s,
                                          m_registrar.url().toString(), u"--interval"_s, u"0"_s} +
                                  arguments);
    }

    void startProgram(QProcess& process, const QStringList& arguments) {
        ds::test::startProgram(process, m_home.path(), arguments);
    }

    Outcome run(const QStringList& arguments, const QByteArray& input = {}) {
        QProcess process;
        startBatch(process, arguments);
        return finish(process, input);
    }

    Outcome finish(QProcess& process, const QByteArray& input) {
        return finishProgram(process, input);
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(m_home.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return file.fileName();
    }
};

} // namespace ds::test
