#pragma once

// Stands in for the real serial port until the program links one: it keeps
// the port number and parameters that start-up and the status bar use, and
// refuses to open. Replace it with the real port class in main.cpp.

#include "gpslink/SerialStream.h"

class OfflinePort : public SerialStream
{
public:
    std::optional<QString> SetPort(const QString& port) override
    {
        port_ = port.trimmed();
        return std::nullopt;
    }
    QString Port() const override { return port_; }
    QString PortLabel() const override { return QStringLiteral("Com") + port_; }
    std::optional<QString> SetSettings(const QString& settings) override
    {
        settings_ = settings;
        return std::nullopt;
    }
    QString Settings() const override { return settings_; }
    void SetHandshakingNone() override {}
    std::optional<QString> Open() override
    {
        return QStringLiteral("This build of Navora has no serial port support");
    }
    std::optional<QString> Close() override { return std::nullopt; }
    bool IsOpen() const override { return false; }
    qint64 BytesAvailable() const override { return 0; }
    QByteArray ReadAvailable() override { return {}; }
    std::optional<QString> Write(const QByteArray&) override
    {
        return QStringLiteral("The serial port is not open");
    }
    qint64 BytesToWrite() const override { return 0; }

private:
    QString port_ = QStringLiteral("1");
    QString settings_ = QStringLiteral("4800,n,8,1");
};
