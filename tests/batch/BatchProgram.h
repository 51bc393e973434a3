#pragma once

#include <QProcess>
#include <QTest>

// `domainsieve check` through the real executable, as a shell would run it:
// without a display (a platform plugin that does not exist would abort any
// attempt to load one), with its own empty settings and data under `home`.
namespace ds::test {

struct BatchOutcome {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// `program` is the executable itself unless given (a shell, say, that runs it).
inline void startProgram(QProcess& process, const QString& home, const QStringList& arguments,
                         const QString& program = QStringLiteral(DOMAINSIEVE_EXECUTABLE)) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    QVERIFY(process.waitForStarted());
}

inline BatchOutcome finishProgram(QProcess& process, const QByteArray& input,
                                  int timeoutMs = 60000) {
    process.write(input);
    process.closeWriteChannel();
    const bool ended =
        QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    if (!ended)
        process.kill();
    return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace ds::test
