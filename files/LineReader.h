#pragma once

#include <QByteArray>
#include <QIODevice>

// Splits a device into lines at LF, dropping one CR before it; a last line
// without LF still counts. A line longer than kMaxLineLength is cut there and
// flagged, and the rest of it is skipped without being held in memory, so a
// file that is one huge line costs no more than a short one.
class LineReader
{
public:
    static constexpr qsizetype kMaxLineLength = 4096;

    explicit LineReader(QIODevice& device) : device_(device) {}

    // The next line; false at the end of the file or on a read error.
    bool Next(QByteArray& line, bool& overlong);
    bool ReadFailed() const { return failed_; }

private:
    bool Fill();

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype position_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};
