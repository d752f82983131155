#pragma once

#include "gpslink/Platform.h"
#include "gpslink/SerialStream.h"

#include <QSerialPort>
#include <QStringList>
#include <QTimer>

// The program's serial port: a QSerialPort behind SerialStream. The texts of
// failed operations name the port, and a port the user may not open says how
// to get the right.
//
// A port is stored as "1" to "16" (Com1 to Com16, which are /dev/ttyS0 to
// /dev/ttyS15) or as a device path such as "/dev/ttyUSB0" or a pseudo-terminal,
// which is opened as it stands.
//
// Failures of the open port become PortError events: a device that goes away
// (a read, write or resource error) closes the port first, since the platform
// would otherwise keep reporting the same error while the port claims to be
// open, and is reported once as "Unknown error or event". Where the driver
// counts line errors, a break, an overrun, a parity error or a lost input
// buffer is reported with its own text. Events are delivered from the event
// loop, never from inside the port's own notification.
class QtSerialStream : public SerialStream
{
    Q_OBJECT
public:
    explicit QtSerialStream(QObject* parent = nullptr);
    ~QtSerialStream() override;

    std::optional<QString> SetPort(const QString& port) override;
    QString Port() const override { return port_; }
    QString PortLabel() const override;
    // The device the port opens, e.g. "/dev/ttyS0".
    QString DevicePath() const { return device_; }

    std::optional<QString> SetSettings(const QString& settings) override;
    QString Settings() const override { return settings_; }
    void SetHandshakingNone() override;

    std::optional<QString> Open() override;
    std::optional<QString> Close() override;
    bool IsOpen() const override { return serial_.isOpen(); }

    qint64 BytesAvailable() const override { return serial_.bytesAvailable(); }
    QByteArray ReadAvailable() override { return serial_.readAll(); }
    std::optional<QString> Write(const QByteArray& bytes) override;
    qint64 BytesToWrite() const override { return serial_.bytesToWrite(); }

private:
    QString Named(const QString& text) const;
    void OnPortError(QSerialPort::SerialPortError error);
    void FailAndClose();
    void CheckLineErrors();
    void RaisePortError(const QString& text);

    QSerialPort serial_;
    QString port_;
    QString device_;
    QString settings_;
    // The line error counters last seen.
    LineErrorCounts lineErrors_;
    QTimer lineErrorPoll_;
    bool failing_ = false;
};

// The device a stored port value names, or std::nullopt when it names none:
// "3" and "Com3" give "/dev/ttyS2", a path is kept as it is.
std::optional<QString> DeviceForPort(const QString& port);

// The port error texts for the line errors counted between two readings of
// the driver's counters, one per kind of error, in a fixed order.
QStringList LineErrorTexts(const LineErrorCounts& before, const LineErrorCounts& now);
