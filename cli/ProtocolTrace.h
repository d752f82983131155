#pragma once

#include "cli/MessageStream.h"
#include "gpslink/GpsLink.h"

#include <QFile>
#include <QObject>
#include <optional>

// The traffic on the serial line, as the comm port monitor shows it ("> "
// sent, "< " received): on standard error with --monitor, and with --log in a
// file, each line with its moment as the monitor's saved log has it.
class ProtocolTrace : public QObject
{
    Q_OBJECT
public:
    ProtocolTrace(GpsLink& link, MessageStream& out, QObject* parent = nullptr);

    // Starts the trace; for a log, the reason when the file cannot be written.
    std::optional<QString> Start(bool monitor, const QString& logPath);
    // Nothing when every line reached the log, else the reason.
    std::optional<QString> LogError() const;

private:
    void Show(const QString& text);

    GpsLink& link_;
    MessageStream& out_;
    bool monitor_ = false;
    QFile log_;
    QString logError_;
};
