#pragma once

#include "model/UserInteraction.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class GpsLink;
class dlgFileExists;
class frmCancel;

// The windows' answer to the core: message boxes over the main window, the
// status panels of the main window, the cancel window (which disables the
// main window while it shows) and the "file exists" dialog.
class MessageBoxInteraction : public UserInteraction
{
public:
    using StatusSink = std::function<void(StatusPanel panel, const QString& text)>;

    // `window` is the main window: parent of every box and dialog, and the
    // window disabled while the cancel window shows.
    MessageBoxInteraction(QWidget* window, StatusSink status);
    ~MessageBoxInteraction() override;

    // The link whose exchange the cancel window's button cancels. Until it is
    // set, the cancel window only disables and enables the main window.
    void SetLink(GpsLink& link) { link_ = &link; }

    void Message(const QString& text, MessageIcon icon, const QString& title) override;
    Answer Question(const QString& text, Buttons buttons, MessageIcon icon,
                    const QString& title) override;
    // A list of more than a few lines scrolls in the box's details, shown open.
    Answer QuestionWithList(const QString& text, const QStringList& list, Buttons buttons,
                            MessageIcon icon, const QString& title) override;
    void SetStatusText(StatusPanel panel, const QString& text) override;
    void Beep() override;
    void ShowCancelWindow(const QString& activity) override;
    void HideCancelWindow() override;
    void ShowProgress(int done, int total) override;
    FileExistsAnswer AskFileExists(const QString& text) override;

    // The cancel window once it has been shown.
    frmCancel* CancelWindow() const { return cancel_.get(); }

private:
    QWidget* BoxParent() const;
    Answer Ask(const QString& text, const QStringList& details, Buttons buttons, MessageIcon icon,
               const QString& title);

    QPointer<QWidget> window_;
    StatusSink status_;
    GpsLink* link_ = nullptr;
    std::unique_ptr<frmCancel> cancel_;
    // The control that had the keyboard before the cancel window took the window's.
    QPointer<QWidget> focusBefore_;
    // A child of the main window, which may go first.
    QPointer<dlgFileExists> fileExists_;
};
