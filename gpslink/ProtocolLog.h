#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <deque>
#include <optional>
#include <vector>

// One line of a saved protocol log: the moment in ISO 8601 with milliseconds
// and its offset from UTC, a blank, then the monitor's text with its
// direction mark and without its line end, as in
// "2026-12-07T14:03:12.345+01:00 > $PMGNCMD,VERSION*28". A file of such lines
// ends each with LF; navora-cli's --log writes the same.
QString ProtocolLogLine(const QDateTime& moment, QStringView monitorText);

// The comm port monitor's lines with the moment each was shown, kept apart
// from the window, whose display keeps only the last 16,000 characters. It
// keeps about kLimit characters, the oldest lines going first, so that a
// long exchange is there whole unless it alone is larger.
class ProtocolLog
{
public:
    struct Entry
    {
        qint64 msecsSinceEpoch = 0;
        QString text; // the monitor's text without its line end
    };

    static constexpr qsizetype kLimit = 4 * 1024 * 1024;

    void Add(QStringView monitorText, const QDateTime& moment = QDateTime::currentDateTime());
    void Clear();

    // The lines kept, oldest first. The copy shares the texts, so it is cheap
    // to take and a save can write it while the log goes on.
    std::vector<Entry> Entries() const;
    qsizetype Count() const { return qsizetype(entries_.size()); }
    // Lines let go for the limit since the log was last emptied.
    qint64 Dropped() const { return dropped_; }

private:
    std::deque<Entry> entries_;
    qsizetype characters_ = 0;
    qint64 dropped_ = 0;
};

// Writes `entries` as log lines to the file at `path`, after a line saying
// how many earlier ones were let go if any were, and replaces the file only
// once the new one is whole. It touches nothing but its arguments, so it may
// run on a thread of its own. Nothing when it worked, else the reason.
std::optional<QString> SaveProtocolLog(const QString& path,
                                       const std::vector<ProtocolLog::Entry>& entries,
                                       qint64 dropped);
