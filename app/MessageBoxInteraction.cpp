#include "app/MessageBoxInteraction.h"

#include "files/dlgFileExists.h"
#include "gpslink/frmCancel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QTextEdit>

namespace {

// A box is as wide as its text needs, which can leave a long title (the port
// error's "Click Cancel to quit, OK to ignore.") cut short in the title bar.
void MakeRoomForTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const QFontMetrics metrics = box.fontMetrics();
    const int width = metrics.horizontalAdvance(box.windowTitle()) * 3 / 2 + metrics.height() * 6;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

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
    // During an exchange the cancel window stays in front of every other
    // window; a box of the exchange goes in front of it.
    if (cancel_ && cancel_->isVisible())
        return cancel_.get();
    // Before the main window shows (the start-up messages), a box centres on
    // the screen rather than over an invisible window.
    return window_ && window_->isVisible() ? window_.data() : nullptr;
}

MessageBoxInteraction::MessageBoxInteraction(QWidget* window, StatusSink status)
    : window_(window), status_(std::move(status))
{
}

MessageBoxInteraction::~MessageBoxInteraction()
{
    delete fileExists_;
}

void MessageBoxInteraction::Message(const QString& text, MessageIcon icon, const QString& title)
{
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, BoxParent());
    MakeRoomForTitle(box);
    box.exec();
}

Answer MessageBoxInteraction::Question(const QString& text, Buttons buttons, MessageIcon icon,
                                       const QString& title)
{
    return Ask(text, {}, buttons, icon, title);
}

Answer MessageBoxInteraction::QuestionWithList(const QString& text, const QStringList& list,
                                               Buttons buttons, MessageIcon icon,
                                               const QString& title)
{
    constexpr qsizetype kLinesInText = 16;
    if (list.size() <= kLinesInText)
        return UserInteraction::QuestionWithList(text, list, buttons, icon, title);
    return Ask(text, list, buttons, icon, title);
}

Answer MessageBoxInteraction::Ask(const QString& text, const QStringList& details, Buttons buttons,
                                  MessageIcon icon, const QString& title)
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
    MakeRoomForTitle(box);
    // The first button is the default, as users of these boxes expect.
    box.setDefaultButton(first);
    if (!details.isEmpty()) {
        box.setDetailedText(details.join(u'\n'));
        // Room for a good part of the list, not the few lines a box gives it.
        if (auto* list = box.findChild<QTextEdit*>()) {
            const QFontMetrics metrics = list->fontMetrics();
            list->setFixedSize(metrics.averageCharWidth() * 64, metrics.lineSpacing() * 16);
        }
        // Shown open: the user is to read it before answering.
        for (QAbstractButton* button : box.buttons()) {
            if (box.buttonRole(button) == QMessageBox::ActionRole)
                button->click();
        }
    }
    return AnswerOf(box.exec());
}

void MessageBoxInteraction::SetStatusText(StatusPanel panel, const QString& text)
{
    if (status_)
        status_(panel, text);
}

void MessageBoxInteraction::Beep()
{
    QApplication::beep();
}

void MessageBoxInteraction::ShowCancelWindow(const QString& activity)
{
    if (window_ && window_->isEnabled()) {
        // Disabling the window takes the focus from its controls: remember where it was.
        focusBefore_ = window_->focusWidget();
        window_->setEnabled(false);
    }
    if (!link_)
        return;
    if (!cancel_)
        cancel_ = std::make_unique<frmCancel>(*link_);
    cancel_->ShowActivity(activity);
}

void MessageBoxInteraction::HideCancelWindow()
{
    if (cancel_)
        cancel_->hide();
    if (window_) {
        window_->setEnabled(true);
        window_->activateWindow();
        if (focusBefore_)
            focusBefore_->setFocus(Qt::OtherFocusReason);
    }
}

void MessageBoxInteraction::ShowProgress(int done, int total)
{
    if (cancel_ && cancel_->isVisible())
        cancel_->ShowProgress(done, total);
}

FileExistsAnswer MessageBoxInteraction::AskFileExists(const QString& text)
{
    if (!fileExists_)
        fileExists_ = new dlgFileExists(window_);
    return fileExists_->Ask(text);
}
