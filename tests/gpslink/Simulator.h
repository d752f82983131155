#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// navora-gpssim on a pseudo-terminal of its own, logging every line it receives, with a memory
// file that holds `memory` at the start unless that is null.
class Simulator
{
public:
    explicit Simulator(const QStringList& arguments, const QString& memory = QString())
    {
        QFile file(MemoryPath());
        if (!memory.isNull() && file.open(QIODevice::WriteOnly))
            file.write(memory.toLatin1());
        file.close();
        process_.setProgram(QStringLiteral(NAVORA_GPSSIM));
        process_.setArguments(arguments +
                              QStringList{"--memory", MemoryPath(), "--log", LogPath()});
        process_.start();
        if (process_.waitForStarted() && process_.waitForReadyRead(10000))
            device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~Simulator()
    {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished();
    }

    // The device path, empty when the simulator did not start.
    QString Device() const { return device_; }
    QProcess& Process() { return process_; }
    QString Memory() const { return ReadFile(MemoryPath()); }
    // Every line the simulator has received so far.
    QStringList Received() const { return ReadFile(LogPath()).split(u'\n', Qt::SkipEmptyParts); }

private:
    QString MemoryPath() const { return dir_.filePath(QStringLiteral("memory.txt")); }
    QString LogPath() const { return dir_.filePath(QStringLiteral("received.log")); }
    static QString ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    QTemporaryDir dir_;
    QProcess process_;
    QString device_;
};
