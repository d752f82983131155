#pragma once

#include <QString>

// Standard error as the person at the terminal reads it: whole lines of
// messages and traffic, and on a terminal one progress line that stays at the
// bottom, redrawn in place and cleared before anything else is written.
class MessageStream
{
public:
    explicit MessageStream(bool terminal) : terminal_(terminal) {}

    bool IsTerminal() const { return terminal_; }
    // Writes `text` and a line end; every CR LF, lone CR or LF inside it
    // becomes a line end of its own.
    void Line(const QString& text);
    // Writes `text` without a line end, for a question's prompt.
    void Prompt(const QString& text);
    // Shows `text` as the progress line; nothing unless on a terminal.
    void Progress(const QString& text);
    void ClearProgress();

private:
    void Write(const QString& text);

    bool terminal_;
    bool progressShown_ = false;
};

// "1:05" or "1:02:03" for a number of seconds.
QString ClockText(qint64 seconds);
