#include "app/MessageBoxInteraction.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

const QString kFileFilter = QStringLiteral("Text Files (*.txt);;All Files (*.*)");

QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

Answer AnswerOf(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Abort:
        return Answer::Abort;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Ignore:
        return Answer::Ignore;
    default:
        return Answer::Cancel;
    }
}

} // namespace

QWidget* MessageBoxInteraction::BoxParent() const
{
    // Before the main window shows (the start-up messages), a box centres on
    // the screen rather than over an invisible window.
    return window_ && window_->isVisible() ? window_.data() : nullptr;
}

MessageBoxInteraction::MessageBoxInteraction(QWidget* window, StatusSink status)
    : window_(window), status_(std::move(status))
{
}

void MessageBoxInteraction::Message(const QString& text, MessageIcon icon, const QString& title)
{
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, BoxParent());
    box.exec();
}

Answer MessageBoxInteraction::Question(const QString& text, Buttons buttons, MessageIcon icon,
                                       const QString& title)
{
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    QMessageBox::StandardButton first = QMessageBox::Ok;
    switch (buttons) {
    case Buttons::Ok:
        break;
    case Buttons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case Buttons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        first = QMessageBox::Yes;
        break;
    case Buttons::AbortRetryIgnore:
        set = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        first = QMessageBox::Abort;
        break;
    }
    QMessageBox box(BoxIcon(icon), title, text, set, BoxParent());
    // The first button is the default, as users of these boxes expect.
    box.setDefaultButton(first);
    return AnswerOf(box.exec());
}

void MessageBoxInteraction::SetStatusText(StatusPanel panel, const QString& text)
{
    if (status_)
        status_(panel, text);
}

void MessageBoxInteraction::ShowCancelWindow(const QString& activity)
{
    if (showCancel_) {
        showCancel_(activity);
        return;
    }
    if (window_)
        window_->setEnabled(false);
}

void MessageBoxInteraction::HideCancelWindow()
{
    if (hideCancel_) {
        hideCancel_();
        return;
    }
    if (window_)
        window_->setEnabled(true);
}

QString MessageBoxInteraction::AskFileName(QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(window_);
    dialog.setAcceptMode(mode);
    const bool save = mode == QFileDialog::AcceptSave;
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(kFileFilter);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // An existing file is the "file exists" question's business: append or overwrite.
    if (save)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxInteraction::ChooseFileToOpen()
{
    return AskFileName(QFileDialog::AcceptOpen);
}

QString MessageBoxInteraction::ChooseFileToSave()
{
    return AskFileName(QFileDialog::AcceptSave);
}

FileExistsAnswer MessageBoxInteraction::AskFileExists(const QString& text)
{
    if (askFileExists_)
        return askFileExists_(text);
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::NoButton, window_);
    QPushButton* append = box.addButton(QStringLiteral("Append"), QMessageBox::AcceptRole);
    QPushButton* overwrite =
        box.addButton(QStringLiteral("Overwrite"), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(append);
    box.exec();
    if (box.clickedButton() == append)
        return FileExistsAnswer::Append;
    if (box.clickedButton() == overwrite)
        return FileExistsAnswer::Overwrite;
    return FileExistsAnswer::Cancel;
}

void MessageBoxInteraction::SetCancelWindow(std::function<void(const QString&)> show,
                                            std::function<void()> hide)
{
    showCancel_ = std::move(show);
    hideCancel_ = std::move(hide);
}

void MessageBoxInteraction::SetFileExistsDialog(std::function<FileExistsAnswer(const QString&)> ask)
{
    askFileExists_ = std::move(ask);
}
