#include "gpslink/QtSerialStream.h"

#include "gpslink/Platform.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <chrono>

namespace {

// Texts the platform's own serial control gives for a bad port value, a
// malformed settings string and an operation on a port in the wrong state.
const QString kInvalidPortNumber = QStringLiteral("Invalid Port Number");
const QString kInvalidSettings = QStringLiteral("Invalid property value");
const QString kPortAlreadyOpen = QStringLiteral("Port already open");
const QString kPortNotOpen = QStringLiteral("Operation valid only when the port is open");
const QString kUnknownError = QStringLiteral("Unknown error or event");

constexpr int kHighestComNumber = 16;
constexpr auto kLineErrorPollInterval = std::chrono::milliseconds(500);

struct PortSettings
{
    qint32 speed = 4800;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// "4800,n,8,1": speed, parity letter, data bits, stop bits.
std::optional<PortSettings> ParseSettings(const QString& text)
{
    const QStringList f = text.split(u',');
    if (f.size() != 4)
        return std::nullopt;
    PortSettings s;
    bool ok = false;
    s.speed = f[0].trimmed().toInt(&ok);
    if (!ok || s.speed <= 0)
        return std::nullopt;
    const QString parity = f[1].trimmed().toLower();
    if (parity == u"n")
        s.parity = QSerialPort::NoParity;
    else if (parity == u"e")
        s.parity = QSerialPort::EvenParity;
    else if (parity == u"o")
        s.parity = QSerialPort::OddParity;
    else if (parity == u"m")
        s.parity = QSerialPort::MarkParity;
    else if (parity == u"s")
        s.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;
    const int bits = f[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return std::nullopt;
    s.dataBits = QSerialPort::DataBits(bits);
    const QString stop = f[3].trimmed();
    if (stop == u"1")
        s.stopBits = QSerialPort::OneStop;
    else if (stop == u"1.5")
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == u"2")
        s.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return s;
}

} // namespace

QStringList LineErrorTexts(const LineErrorCounts& before, const LineErrorCounts& now)
{
    // A framing error has no text of its own and is not reported.
    QStringList texts;
    if (now.breaks > before.breaks)
        texts << QStringLiteral("Break Received");
    if (now.overrun > before.overrun)
        texts << QStringLiteral("Overrun Error");
    if (now.parity > before.parity)
        texts << QStringLiteral("Parity Error");
    if (now.bufferOverrun > before.bufferOverrun)
        texts << QStringLiteral("Receive Buffer Overflow");
    return texts;
}

std::optional<QString> DeviceForPort(const QString& port)
{
    const QString text = port.trimmed();
    if (text.startsWith(u'/'))
        return text;
    static const QRegularExpression number(QStringLiteral("^(?:com)?(\\d{1,2})$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int n = match.captured(1).toInt();
    if (n < 1 || n > kHighestComNumber)
        return std::nullopt;
    return QStringLiteral("/dev/ttyS") + QString::number(n - 1);
}

QtSerialStream::QtSerialStream(QObject* parent)
    : SerialStream(parent), port_(QStringLiteral("1")), device_(QStringLiteral("/dev/ttyS0"))
{
    SetSettings(QStringLiteral("4800,n,8,1"));
    connect(&serial_, &QSerialPort::readyRead, this, [this] {
        CheckLineErrors();
        emit DataArrived();
    });
    connect(&serial_, &QSerialPort::bytesWritten, this, [this] { emit BytesWritten(); });
    connect(&serial_, &QSerialPort::errorOccurred, this, &QtSerialStream::OnPortError);
    lineErrorPoll_.setInterval(kLineErrorPollInterval);
    connect(&lineErrorPoll_, &QTimer::timeout, this, &QtSerialStream::CheckLineErrors);
}

QtSerialStream::~QtSerialStream()
{
    serial_.close();
}

std::optional<QString> QtSerialStream::SetPort(const QString& port)
{
    if (serial_.isOpen())
        return kPortAlreadyOpen;
    const std::optional<QString> device = DeviceForPort(port);
    if (!device)
        return kInvalidPortNumber;
    port_ = port.trimmed();
    device_ = *device;
    return std::nullopt;
}

QString QtSerialStream::PortLabel() const
{
    if (port_.startsWith(u'/'))
        return device_;
    const int number = device_.mid(QStringLiteral("/dev/ttyS").size()).toInt() + 1;
    return QStringLiteral("Com") + QString::number(number) + QStringLiteral(" (") + device_ + u')';
}

std::optional<QString> QtSerialStream::SetSettings(const QString& settings)
{
    const std::optional<PortSettings> s = ParseSettings(settings);
    if (!s)
        return kInvalidSettings;
    if (!serial_.setBaudRate(s->speed) || !serial_.setParity(s->parity) ||
        !serial_.setDataBits(s->dataBits) || !serial_.setStopBits(s->stopBits))
        return serial_.errorString();
    settings_ = settings;
    return std::nullopt;
}

void QtSerialStream::SetHandshakingNone()
{
    serial_.setFlowControl(QSerialPort::NoFlowControl);
}

QString QtSerialStream::Named(const QString& text) const
{
    return PortLabel() + QStringLiteral(": ") + text;
}

std::optional<QString> QtSerialStream::Open()
{
    if (serial_.isOpen())
        return Named(kPortAlreadyOpen);
    serial_.setPortName(device_);
    if (!serial_.open(QIODevice::ReadWrite)) {
        const bool denied = serial_.error() == QSerialPort::PermissionError &&
                            !(QFileInfo(device_).isReadable() && QFileInfo(device_).isWritable());
        QString text = Named(serial_.errorString());
        serial_.clearError();
#ifdef Q_OS_LINUX
        // Serial devices belong to the group dialout, and a new group
        // membership counts only from the next login.
        if (denied)
            text += QStringLiteral("\r\nAdd yourself to the dialout group, then log in again.");
#else
        Q_UNUSED(denied);
#endif
        return text;
    }
    failing_ = false;
    lineErrors_ = {};
    if (const auto counts = ReadLineErrorCounts(serial_.handle())) {
        lineErrors_ = *counts;
        lineErrorPoll_.start();
    }
    return std::nullopt;
}

std::optional<QString> QtSerialStream::Close()
{
    lineErrorPoll_.stop();
    if (!serial_.isOpen())
        return std::nullopt;
    serial_.close();
    if (serial_.error() != QSerialPort::NoError && serial_.error() != QSerialPort::NotOpenError) {
        const QString text = Named(serial_.errorString());
        serial_.clearError();
        return text;
    }
    return std::nullopt;
}

std::optional<QString> QtSerialStream::Write(const QByteArray& bytes)
{
    if (!serial_.isOpen())
        return Named(kPortNotOpen);
    if (serial_.write(bytes) != bytes.size())
        return Named(serial_.errorString());
    return std::nullopt;
}

void QtSerialStream::OnPortError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::UnknownError:
        // Errors of open() come back from Open(); only an open port fails here.
        if (serial_.isOpen())
            FailAndClose();
        return;
    default:
        return;
    }
}

// The port keeps raising the error until it is closed, so the first one
// closes it; the close waits for the event loop, outside the port's own
// notification, and the later repeats are ignored meanwhile.
void QtSerialStream::FailAndClose()
{
    if (failing_)
        return;
    failing_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            lineErrorPoll_.stop();
            if (serial_.isOpen())
                serial_.close();
            serial_.clearError();
            failing_ = false;
            emit PortError(kUnknownError);
        },
        Qt::QueuedConnection);
}

void QtSerialStream::CheckLineErrors()
{
    if (!serial_.isOpen() || failing_)
        return;
    const std::optional<LineErrorCounts> counts = ReadLineErrorCounts(serial_.handle());
    if (!counts)
        return;
    for (const QString& text : LineErrorTexts(lineErrors_, *counts))
        RaisePortError(text);
    lineErrors_ = *counts;
}

void QtSerialStream::RaisePortError(const QString& text)
{
    QMetaObject::invokeMethod(
        this, [this, text] { emit PortError(text); }, Qt::QueuedConnection);
}
