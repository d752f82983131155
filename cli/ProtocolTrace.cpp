#include "cli/ProtocolTrace.h"

#include "gpslink/ProtocolLog.h"

#include <QDateTime>

ProtocolTrace::ProtocolTrace(GpsLink& link, MessageStream& out, QObject* parent)
    : QObject(parent), link_(link), out_(out)
{
}

std::optional<QString> ProtocolTrace::Start(bool monitor, const QString& logPath)
{
    monitor_ = monitor;
    if (!logPath.isEmpty()) {
        log_.setFileName(logPath);
        if (!log_.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return log_.errorString();
    }
    if (monitor_ || log_.isOpen()) {
        link_.SetMonitorOn(true);
        connect(&link_, &GpsLink::MonitorText, this, &ProtocolTrace::Show);
    }
    return std::nullopt;
}

std::optional<QString> ProtocolTrace::LogError() const
{
    if (logError_.isEmpty())
        return std::nullopt;
    return logError_;
}

void ProtocolTrace::Show(const QString& text)
{
    if (monitor_) {
        QString line = text;
        while (line.endsWith(u'\n') || line.endsWith(u'\r'))
            line.chop(1);
        out_.Line(line);
    }
    if (log_.isOpen() && logError_.isEmpty()) {
        // Written line by line, so the log holds everything up to a crash.
        const QByteArray line = ProtocolLogLine(QDateTime::currentDateTime(), text).toUtf8() + '\n';
        if (log_.write(line) != line.size() || !log_.flush())
            logError_ = log_.errorString();
    }
}
