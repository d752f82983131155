#include "files/LineReader.h"

#include <algorithm>

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

} // namespace

bool LineReader::Fill()
{
    if (atEnd_)
        return false;
    if (position_ > 0) {
        buffer_.remove(0, position_);
        position_ = 0;
    }
    // A small file is read in one piece of its own size rather than a whole chunk.
    qint64 want = kChunk;
    if (!device_.isSequential())
        want = std::clamp<qint64>(device_.size() - device_.pos(), 1, kChunk);
    const qsizetype kept = buffer_.size();
    buffer_.resize(kept + want);
    const qint64 got = device_.read(buffer_.data() + kept, want);
    buffer_.resize(kept + (got > 0 ? got : 0));
    if (got < 0)
        failed_ = true;
    if (got <= 0)
        atEnd_ = true;
    return got > 0;
}

// The line from the reading position up to `end`, unless it was already cut
// off as too long.
void LineReader::Take(QByteArray& line, qsizetype end, bool& overlong)
{
    if (!overlong) {
        line = buffer_.mid(position_, end - position_);
        if (line.size() > kMaxLineLength) {
            line.truncate(kMaxLineLength);
            overlong = true;
        }
    }
    if (first_ && line.startsWith(kByteOrderMark)) {
        line.remove(0, qsizetype(sizeof kByteOrderMark) - 1);
        utf8_ = true;
    }
    first_ = false;
}

bool LineReader::Next(QByteArray& line, bool& overlong)
{
    overlong = false;
    qsizetype scanned = 0; // bytes after the reading position known to hold no line end
    for (;;) {
        const char* data = buffer_.constData();
        const qsizetype size = buffer_.size();
        qsizetype end = position_ + scanned;
        // Both line-end bytes are below every printable one: one test
        // passes the ordinary bytes.
        while (end < size && (uchar(data[end]) > '\r' || (data[end] != '\n' && data[end] != '\r')))
            ++end;
        if (end < size) {
            qsizetype next = end + 1;
            bool decided = true;
            if (data[end] == '\r') {
                if (next < size && data[next] == '\n')
                    ++next;
                else if (next < size && data[next] == '\r' && next + 1 < size)
                    next += data[next + 1] == '\n' ? 2 : 0;
                else if (!atEnd_)
                    decided = false; // the bytes after the CR are still to come
            }
            if (decided) {
                Take(line, end, overlong);
                position_ = next;
                return true;
            }
            if (overlong) { // keep only the CR of the long line
                buffer_.remove(0, end);
                position_ = 0;
                end = 0;
            }
            scanned = end - position_;
            Fill();
            continue;
        }
        if (!overlong && size - position_ > kMaxLineLength) {
            Take(line, position_ + kMaxLineLength, overlong);
            overlong = true;
        }
        if (overlong) {
            buffer_.clear(); // drop what is read of the long line so far
            position_ = 0;
        }
        scanned = buffer_.size() - position_;
        if (!Fill()) {
            if (overlong)
                return true;
            if (position_ >= buffer_.size())
                return false;
            Take(line, buffer_.size(), overlong);
            position_ = buffer_.size();
            return true;
        }
    }
}
