#include "gpslink/GpsLink.h"

#include "model/TextNumber.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <cmath>

namespace {

// A local event loop that wakes when the port has news, the link is
// cancelled or a deadline passes.
class Waiter
{
public:
    Waiter(SerialStream& port, GpsLink& link)
    {
        timer_.setSingleShot(true);
        // The default coarse timer may fire a good part of a second late.
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, &loop_, &QEventLoop::quit);
        QObject::connect(&port, &SerialStream::DataArrived, &loop_, &QEventLoop::quit);
        QObject::connect(&port, &SerialStream::BytesWritten, &loop_, &QEventLoop::quit);
        QObject::connect(&port, &SerialStream::PortError, &loop_, &QEventLoop::quit);
        QObject::connect(&link, &GpsLink::CancelRequested, &loop_, &QEventLoop::quit);
    }

    void Wait(const QDeadlineTimer& deadline)
    {
        if (!deadline.isForever())
            timer_.start(std::chrono::milliseconds(deadline.remainingTime()));
        loop_.exec();
        timer_.stop();
    }

private:
    QEventLoop loop_;
    QTimer timer_;
};

} // namespace

GpsLink::GpsLink(SerialStream& port, std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), port_(port), timeout_(timeout)
{
}

void GpsLink::SetCancelled(bool cancelled)
{
    cancelled_ = cancelled;
    if (cancelled)
        emit CancelRequested();
}

void GpsLink::SetBusy(bool busy)
{
    if (busy_ == busy)
        return;
    busy_ = busy;
    emit BusyChanged(busy);
}

void GpsLink::SetConnected(bool connected)
{
    if (connected_ == connected)
        return;
    connected_ = connected;
    emit ConnectionChanged(connected);
}

void GpsLink::FollowPort()
{
    if (connected_ && !port_.IsOpen())
        SetConnected(false);
}

std::chrono::milliseconds GpsLink::LineTime(qsizetype bytes) const
{
    // Ten bits a byte: the start bit, eight data bits and the stop bit.
    const double speed = LeadingNumber(port_.Settings());
    if (speed <= 0)
        return timeout_;
    return std::chrono::milliseconds(qint64(std::ceil(bytes * 10 * 1000.0 / speed))) + timeout_;
}

SendResult GpsLink::GpsSend(const QString& line)
{
    Echo(QStringLiteral("> ") + line);
    if (!port_.IsOpen())
        return {SendStatus::PortClosed, {}};
    const QByteArray bytes = line.toLatin1();
    if (const std::optional<QString> error = port_.Write(bytes))
        return {SendStatus::WriteFailed, *error};
    const QDeadlineTimer deadline(LineTime(bytes.size()), Qt::PreciseTimer);
    Waiter waiter(port_, *this);
    while (port_.IsOpen() && port_.BytesToWrite() > 0 && !cancelled_ && !deadline.hasExpired())
        waiter.Wait(deadline);
    if (!port_.IsOpen())
        return {SendStatus::PortClosed, {}};
    if (port_.BytesToWrite() > 0 && !cancelled_)
        return {SendStatus::TimedOut, {}};
    return {};
}

Received GpsLink::GpsReceive()
{
    const QDeadlineTimer deadline(timeout_, Qt::PreciseTimer);
    Waiter waiter(port_, *this);
    std::optional<QString> line;
    for (;;) {
        if (port_.IsOpen())
            pending_ += port_.ReadAvailable();
        line = TakeLine();
        if (line || deadline.hasExpired() || !port_.IsOpen())
            break;
        waiter.Wait(deadline);
    }
    if (line) {
        Echo(QStringLiteral("< ") + *line + QStringLiteral("\r\n"));
        return {ReceiveStatus::Line, *line};
    }
    pending_.clear();
    Echo(QStringLiteral("< Timeout\r\n"));
    return {port_.IsOpen() ? ReceiveStatus::TimedOut : ReceiveStatus::PortClosed, {}};
}

std::optional<QString> GpsLink::TakeLine()
{
    for (;;) {
        const qsizetype start = pending_.indexOf('$');
        if (start < 0) {
            pending_.clear();
            return std::nullopt;
        }
        pending_.remove(0, start);
        const qsizetype end = pending_.indexOf("\r\n");
        if ((end < 0 ? pending_.size() : end) > kLongestLine) {
            // Too long to be a sentence: drop it and look for the next "$".
            pending_.remove(0, 1);
            continue;
        }
        if (end < 0)
            return std::nullopt;
        const QString line = QString::fromLatin1(pending_.left(end));
        pending_.remove(0, end + 2);
        return line;
    }
}

void GpsLink::Echo(const QString& text)
{
    if (monitorOn_)
        emit MonitorText(text);
}
