#include "gpslink/ProtocolLog.h"

#include <QSaveFile>

namespace {

// What a line costs the limit beyond its text: the moment and its keeping.
constexpr qsizetype kLineOverhead = 40;

} // namespace

QString ProtocolLogLine(const QDateTime& moment, QStringView monitorText)
{
    QDateTime withOffset = moment.toLocalTime();
    withOffset.setOffsetFromUtc(withOffset.offsetFromUtc());
    QString text = monitorText.toString();
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    // A line break inside would split the line in the file.
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return withOffset.toString(Qt::ISODateWithMs) + u' ' + text;
}

void ProtocolLog::Add(QStringView monitorText, const QDateTime& moment)
{
    QStringView text = monitorText;
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    entries_.push_back({moment.toMSecsSinceEpoch(), text.toString()});
    characters_ += text.size() + kLineOverhead;
    while (characters_ > kLimit && entries_.size() > 1) {
        characters_ -= entries_.front().text.size() + kLineOverhead;
        entries_.pop_front();
        ++dropped_;
    }
}

void ProtocolLog::Clear()
{
    entries_.clear();
    characters_ = 0;
    dropped_ = 0;
}

std::vector<ProtocolLog::Entry> ProtocolLog::Entries() const
{
    return {entries_.begin(), entries_.end()};
}

std::optional<QString>
SaveProtocolLog(const QString& path, const std::vector<ProtocolLog::Entry>& entries, qint64 dropped)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QByteArray out;
    if (dropped > 0)
        out += (QStringLiteral("(") + QString::number(dropped) +
                QStringLiteral(" earlier lines are not in this log, which keeps the last 4 MB)\n"))
                   .toUtf8();
    for (const ProtocolLog::Entry& entry : entries) {
        out += ProtocolLogLine(QDateTime::fromMSecsSinceEpoch(entry.msecsSinceEpoch), entry.text)
                   .toUtf8();
        out += '\n';
        if (out.size() >= 64 * 1024) {
            if (file.write(out) != out.size())
                return file.errorString();
            out.clear();
        }
    }
    // Flushed first: commit() would not see a write that fails while the buffer empties.
    if (file.write(out) != out.size() || !file.flush() || !file.commit()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    return std::nullopt;
}
