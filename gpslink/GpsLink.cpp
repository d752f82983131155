#include "gpslink/GpsLink.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

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

GpsLink::GpsLink(SerialStream& port, UserInteraction& ui, std::chrono::milliseconds timeout,
                 QObject* parent)
    : QObject(parent), port_(port), ui_(ui), timeout_(timeout)
{
}

void GpsLink::SetCancelled(bool cancelled)
{
    cancelled_ = cancelled;
    if (cancelled)
        emit CancelRequested();
}

void GpsLink::GpsSend(const QString& line)
{
    Echo(QStringLiteral("> ") + line);
    if (const std::optional<QString> error = port_.Write(line.toLatin1()))
        ui_.Message(*error, MessageIcon::Exclamation);
    Waiter waiter(port_, *this);
    while (port_.IsOpen() && port_.BytesToWrite() > 0 && !cancelled_)
        waiter.Wait(QDeadlineTimer(QDeadlineTimer::Forever));
}

QString GpsLink::GpsReceive()
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
    if (!line) {
        pending_.clear();
        Echo(QStringLiteral("< Timeout\r\n"));
        return {};
    }
    Echo(QStringLiteral("< ") + *line + QStringLiteral("\r\n"));
    return *line;
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
