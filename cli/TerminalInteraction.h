#pragma once

#include "cli/Interrupts.h"
#include "cli/MessageStream.h"
#include "model/UserInteraction.h"

#include <QElapsedTimer>

// The user interaction of navora-cli. Messages go to standard error with
// their line breaks; questions are asked on the terminal, answered Yes or OK
// with --yes, and No or Cancel when standard input is no terminal. The
// cancel window becomes a progress line on a terminal, and a file that
// exists is always replaced, as the command line named it.
class TerminalInteraction : public UserInteraction
{
public:
    TerminalInteraction(MessageStream& out, Interrupts& interrupts, bool assumeYes,
                        bool askOnTerminal);

    void Message(const QString& text, MessageIcon icon = MessageIcon::None,
                 const QString& title = kProgramTitle) override;
    Answer Question(const QString& text, Buttons buttons, MessageIcon icon = MessageIcon::None,
                    const QString& title = kProgramTitle) override;
    void SetStatusText(StatusPanel panel, const QString& text) override;
    void ShowCancelWindow(const QString& activity) override;
    void HideCancelWindow() override;
    void ShowProgress(int done, int total) override;
    FileExistsAnswer AskFileExists(const QString& text) override;

private:
    // The answer a person at the terminal gives, or nothing at the end of
    // the input or after Ctrl+C.
    std::optional<Answer> AskOnTerminal(Buttons buttons);

    MessageStream& out_;
    Interrupts& interrupts_;
    bool assumeYes_;
    bool askOnTerminal_;
    QString activity_;
    QElapsedTimer sinceActivity_;
    QElapsedTimer sinceDrawn_;
    QElapsedTimer sinceFirstProgress_;
    int firstDone_ = 0;
};
