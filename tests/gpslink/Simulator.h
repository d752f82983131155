#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// navora-gpssim on a pseudo-terminal of its own, logging every line it receives.
class Simulator
{
public:
    explicit Simulator(const QStringList& arguments)
    {
        process_.setProgram(QStringLiteral(NAVORA_GPSSIM));
        process_.setArguments(arguments + QStringList{QStringLiteral("--log"), LogPath()});
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
    QString LogPath() const { return dir_.filePath(QStringLiteral("received.log")); }
    // Every line the simulator has received so far.
    QStringList Received() const
    {
        QFile log(LogPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
    QString device_;
};
