#pragma once

#include <QString>
#include <QStringList>

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
    // A question with a list to read through before answering (every name an
    // import changes, every point an export leaves out). The windows show a
    // long list in a scrolling box; by default it follows the text.
    virtual Answer QuestionWithList(const QString& text, const QStringList& list, Buttons buttons,
                                    MessageIcon icon = MessageIcon::None,
                                    const QString& title = kProgramTitle)
    {
        if (list.isEmpty())
            return Question(text, buttons, icon, title);
        return Question(text + QStringLiteral("\r\n\r\n") + list.join(QStringLiteral("\r\n")),
                        buttons, icon, title);
    }
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
