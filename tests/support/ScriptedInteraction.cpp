#include "tests/support/ScriptedInteraction.h"

void ScriptedInteraction::Message(const QString& text, MessageIcon icon, const QString& title)
{
    messages.push_back({text, icon, title});
}

Answer ScriptedInteraction::Question(const QString& text, Buttons buttons, MessageIcon icon,
                                     const QString& title)
{
    questionsAsked.push_back({text, icon, title});
    if (questions_.empty() || questions_.front().first != text) {
        unexpected << text;
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::AbortRetryIgnore:
            return Answer::Abort;
        }
        return Answer::Cancel;
    }
    const Answer answer = questions_.front().second;
    questions_.pop_front();
    return answer;
}

Answer ScriptedInteraction::QuestionWithList(const QString& text, const QStringList& list,
                                             Buttons buttons, MessageIcon icon,
                                             const QString& title)
{
    if (!agreeable)
        return UserInteraction::QuestionWithList(text, list, buttons, icon, title);
    listed << text << list;
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

void ScriptedInteraction::SetStatusText(StatusPanel panel, const QString& text)
{
    status[panel] = text;
    statusHistory[panel] << text;
}

void ScriptedInteraction::ShowCancelWindow(const QString& activity)
{
    cancelWindowShown = true;
    cancelWindowTexts << activity;
}

void ScriptedInteraction::HideCancelWindow()
{
    cancelWindowShown = false;
}

FileExistsAnswer ScriptedInteraction::AskFileExists(const QString& text)
{
    fileExistsTexts << text;
    if (fileExists_.empty()) {
        unexpected << QStringLiteral("<file exists dialog>");
        return FileExistsAnswer::Cancel;
    }
    const FileExistsAnswer answer = fileExists_.front();
    fileExists_.pop_front();
    return answer;
}

QStringList ScriptedInteraction::MessageTexts() const
{
    QStringList texts;
    for (const Shown& shown : messages)
        texts << shown.text;
    return texts;
}
