#include "files/LineReader.h"

namespace {
constexpr qint64 kChunk = 64 * 1024;
}

bool LineReader::Fill()
{
    if (atEnd_)
        return false;
    if (position_ > 0) {
        buffer_.remove(0, position_);
        position_ = 0;
    }
    const qsizetype kept = buffer_.size();
    buffer_.resize(kept + kChunk);
    const qint64 got = device_.read(buffer_.data() + kept, kChunk);
    buffer_.resize(kept + (got > 0 ? got : 0));
    if (got < 0)
        failed_ = true;
    if (got <= 0)
        atEnd_ = true;
    return got > 0;
}

bool LineReader::Next(QByteArray& line, bool& overlong)
{
    overlong = false;
    for (;;) {
        const qsizetype lf = buffer_.indexOf('\n', position_);
        if (lf >= 0) {
            if (overlong) {
                position_ = lf + 1; // the cut-off tail of a long line
                return true;
            }
            qsizetype end = lf;
            if (end > position_ && buffer_[end - 1] == '\r')
                --end;
            line = buffer_.mid(position_, end - position_);
            position_ = lf + 1;
            if (line.size() > kMaxLineLength) {
                line.truncate(kMaxLineLength);
                overlong = true;
            }
            return true;
        }
        if (!overlong && buffer_.size() - position_ > kMaxLineLength) {
            line = buffer_.mid(position_, kMaxLineLength);
            overlong = true;
        }
        if (overlong) {
            buffer_.clear(); // drop what is read of the long line so far
            position_ = 0;
        }
        if (!Fill()) {
            if (overlong)
                return true;
            if (position_ >= buffer_.size())
                return false;
            qsizetype end = buffer_.size();
            if (buffer_[end - 1] == '\r')
                --end;
            line = buffer_.mid(position_, end - position_);
            position_ = buffer_.size();
            if (line.size() > kMaxLineLength) {
                line.truncate(kMaxLineLength);
                overlong = true;
            }
            return true;
        }
    }
}
