#pragma once

#include <QString>

// How the core speaks to the person at the keyboard. The windows answer with
// message boxes, tests from a script. Every text handed over is final: the
// implementation shows it letter for letter. Choosing a file is not the
// core's business: its commands take the path.

enum class MessageIcon
{
    None,
    Information,
    Exclamation
};

enum class Buttons
{
    Ok,
    OkCancel,
    YesNo,
    AbortRetryIgnore
};

enum class Answer
{
    Ok,
    Cancel,
    Yes,
    No,
    Abort,
    Retry,
    Ignore
};

// The status bar panels, by their keys "Status", "Settings" and "Datum".
enum class StatusPanel
{
    Status,
    Settings,
    Datum
};

// The three choices of the "file exists" dialog; closing it any other way is Cancel.
enum class FileExistsAnswer
{
    Append,
    Overwrite,
    Cancel
};

// Title every message box carries when no other is given.
inline const QString kProgramTitle = QStringLiteral("Navora");

class UserInteraction
{
public:
    virtual ~UserInteraction() = default;

    virtual void Message(const QString& text, MessageIcon icon = MessageIcon::None,
                         const QString& title = kProgramTitle) = 0;
    virtual Answer Question(const QString& text, Buttons buttons,
                            MessageIcon icon = MessageIcon::None,
                            const QString& title = kProgramTitle) = 0;
    virtual void SetStatusText(StatusPanel panel, const QString& text) = 0;
    // The system beep that goes with a port error.
    virtual void Beep() {}

    // The cancel window: shown with its activity text while an exchange runs;
    // the main window is disabled for the same span. Showing it again while
    // it shows changes its text.
    virtual void ShowCancelWindow(const QString& activity) = 0;
    virtual void HideCancelWindow() = 0;
    // How far the running transfer is: `done` sentences of `total`, or of an
    // unknown number when `total` is 0 (a download). The cancel window shows
    // it; a new activity starts without.
    virtual void ShowProgress(int /*done*/, int /*total*/) {}

    // The "file exists" question; `text` is the label the dialog shows.
    virtual FileExistsAnswer AskFileExists(const QString& text) = 0;
};
