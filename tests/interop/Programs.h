#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

// Runs `program`, found on the path, with `arguments`; empty when it succeeded, otherwise what
// went wrong. Generous with time: a loaded machine may be slow, and a program that hangs must
// not hang the suite.
inline QString RunProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStandardPaths::findExecutable(program), arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return program + QStringLiteral(" did not finish: ") + arguments.join(u' ');
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("%1 %2 failed: %3")
            .arg(program, arguments.join(u' '), QString::fromLocal8Bit(process.readAll()));
    return QString();
}

// Fails the test where `program` is not installed, so a missing peer is never counted as a pass;
// `package` is the Debian package that has it.
#define REQUIRE_PROGRAM(program, package)                                                          \
    if (QStandardPaths::findExecutable(QStringLiteral(program)).isEmpty())                         \
    QFAIL(program " is not installed (Debian package " package "; scripts/install-deps.sh "        \
                  "installs it)")
