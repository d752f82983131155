#pragma once

#include "gpslink/SerialStream.h"

// A serial port in memory. A test decides which settings fail, queues the
// bytes the receiver "sends", and sees what the program wrote. Written bytes
// leave at once unless `holdOutput` is set, in which case they wait in the
// output buffer until TransmitOutput().
class FakeSerialStream : public SerialStream
{
    Q_OBJECT
public:
    using SerialStream::SerialStream;

    std::optional<QString> SetPort(const QString& port) override;
    QString Port() const override { return port_; }
    QString PortLabel() const override { return QStringLiteral("Com") + port_; }
    std::optional<QString> SetSettings(const QString& settings) override;
    QString Settings() const override { return settings_; }
    void SetHandshakingNone() override { ++handshakingNoneCalls; }

    std::optional<QString> Open() override;
    std::optional<QString> Close() override;
    bool IsOpen() const override { return open_; }

    qint64 BytesAvailable() const override { return input_.size(); }
    QByteArray ReadAvailable() override;
    std::optional<QString> Write(const QByteArray& bytes) override;
    qint64 BytesToWrite() const override { return pending_.size(); }

    // Bytes for the program to read; announced with DataArrived.
    void QueueInput(const QByteArray& bytes);
    // Sends what waits in the output buffer; announced with BytesWritten.
    void TransmitOutput();

    // Failures the next calls report, as the platform's error text.
    std::optional<QString> settingsError;
    std::optional<QString> portError;
    std::optional<QString> openError;
    std::optional<QString> writeError;
    bool holdOutput = false;

    // Everything transmitted so far.
    QByteArray transmitted;
    int handshakingNoneCalls = 0;
    int closeCalls = 0;

private:
    QString port_ = QStringLiteral("1");
    QString settings_ = QStringLiteral("4800,n,8,1");
    bool open_ = false;
    QByteArray input_;
    QByteArray pending_;
};
