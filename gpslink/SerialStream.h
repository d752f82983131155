#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

// All the link needs from a serial port. The program puts a QSerialPort behind
// it; a test may put anything that behaves like one. Operations that can fail
// return the platform's error text.
class SerialStream : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The port as the settings store it: a number ("1" is Com1) or a device
    // path. It can change only while the port is closed.
    virtual std::optional<QString> SetPort(const QString& port) = 0;
    virtual QString Port() const = 0;
    // How the "Settings" panel names the port, e.g. "Com1".
    virtual QString PortLabel() const = 0;

    // Speed, then ",n,8,1"; applies at once, also to an open port.
    virtual std::optional<QString> SetSettings(const QString& settings) = 0;
    virtual QString Settings() const = 0;
    virtual void SetHandshakingNone() = 0;

    virtual std::optional<QString> Open() = 0;
    virtual std::optional<QString> Close() = 0;
    virtual bool IsOpen() const = 0;

    virtual qint64 BytesAvailable() const = 0;
    virtual QByteArray ReadAvailable() = 0;
    virtual std::optional<QString> Write(const QByteArray& bytes) = 0;
    // Reaches 0 when everything queued has been transmitted.
    virtual qint64 BytesToWrite() const = 0;

signals:
    void DataArrived();
    void BytesWritten();
    // A port error event with its text (e.g. "Break Received").
    void PortError(const QString& text);
};

// "Settings: Com1,4800,n,8,1": how the status bar names the port and its parameters.
inline QString SettingsPanelText(const SerialStream& port)
{
    return QStringLiteral("Settings: ") + port.PortLabel() + u',' + port.Settings();
}
