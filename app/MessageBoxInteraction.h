#pragma once

#include "model/UserInteraction.h"

#include <QFileDialog>
#include <QPointer>
#include <QWidget>
#include <functional>

// The windows' answer to the core: message boxes over the main window, the
// text file dialogs, and the status panels of the main window. The cancel
// window and the "file exists" dialog live in their own windows and plug in
// through the hooks below.
class MessageBoxInteraction : public UserInteraction
{
public:
    using StatusSink = std::function<void(StatusPanel panel, const QString& text)>;

    // `window` is the main window: parent of every box and dialog, and the
    // window disabled while the cancel window shows.
    MessageBoxInteraction(QWidget* window, StatusSink status);

    void Message(const QString& text, MessageIcon icon, const QString& title) override;
    Answer Question(const QString& text, Buttons buttons, MessageIcon icon,
                    const QString& title) override;
    void SetStatusText(StatusPanel panel, const QString& text) override;
    void ShowCancelWindow(const QString& activity) override;
    void HideCancelWindow() override;
    QString ChooseFileToOpen() override;
    QString ChooseFileToSave() override;
    FileExistsAnswer AskFileExists(const QString& text) override;

    // The cancel window takes over showing and hiding itself, and disabling
    // and enabling the main window with it. Without hooks only the main
    // window is disabled and enabled.
    void SetCancelWindow(std::function<void(const QString& activity)> show,
                         std::function<void()> hide);
    // The "file exists" dialog; without one a plain three-button box asks.
    void SetFileExistsDialog(std::function<FileExistsAnswer(const QString& text)> ask);

private:
    QString AskFileName(QFileDialog::AcceptMode mode);

    QWidget* BoxParent() const;

    QPointer<QWidget> window_;
    StatusSink status_;
    std::function<void(const QString&)> showCancel_;
    std::function<void()> hideCancel_;
    std::function<FileExistsAnswer(const QString&)> askFileExists_;
};
