#pragma once

#include <QByteArray>
#include <QIODevice>

// Splits a device into lines as the user's editor would show them: a line
// ends at LF, CR LF, a lone CR or CR CR LF (what a second conversion of CR LF
// leaves), and no CR is left in a line; a last line without an end still
// counts. A UTF-8 byte-order mark at the start is taken off the first line and
// noted, since it says how the text is to be read.
//
// A line longer than kMaxLineLength is cut there and flagged, and the rest of
// it is skipped without being held in memory, so a file that is one huge line
// costs no more than a short one.
class LineReader
{
public:
    static constexpr qsizetype kMaxLineLength = 4096;

    explicit LineReader(QIODevice& device) : device_(device) {}

    // The next line; false at the end of the file or on a read error.
    bool Next(QByteArray& line, bool& overlong);
    bool ReadFailed() const { return failed_; }
    // The device began with a UTF-8 byte-order mark.
    bool Utf8() const { return utf8_; }

private:
    bool Fill();
    void Take(QByteArray& line, qsizetype end, bool& overlong);

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype position_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    bool first_ = true;
    bool utf8_ = false;
};
