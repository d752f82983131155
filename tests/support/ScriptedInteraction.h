#pragma once

#include "model/UserInteraction.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <map>

// The user as a test plays it: records every text the core shows and answers
// questions from a script. A question nobody scripted is recorded in
// `unexpected` and answered with Cancel/No/Abort, so tests can check it stayed empty.
class ScriptedInteraction : public UserInteraction
{
public:
    struct Shown
    {
        QString text;
        MessageIcon icon;
        QString title;
    };

    // Answers handed out in order to the questions that come.
    void ExpectQuestion(const QString& text, Answer answer)
    {
        questions_.push_back({text, answer});
    }
    void ExpectFileExists(FileExistsAnswer answer) { fileExists_.push_back(answer); }

    void Message(const QString& text, MessageIcon icon, const QString& title) override;
    Answer Question(const QString& text, Buttons buttons, MessageIcon icon,
                    const QString& title) override;
    void SetStatusText(StatusPanel panel, const QString& text) override;
    void Beep() override { ++beeps; }
    void ShowCancelWindow(const QString& activity) override;
    void HideCancelWindow() override;
    void ShowProgress(int done, int total) override
    {
        progress.push_back({done, total});
        if (onProgress)
            onProgress(done);
    }
    FileExistsAnswer AskFileExists(const QString& text) override;
    // With `agreeable` set, a question with a list is answered Yes (or OK) unscripted and its
    // text and list are kept in `listed`.
    Answer QuestionWithList(const QString& text, const QStringList& list, Buttons buttons,
                            MessageIcon icon, const QString& title) override;

    // Texts of the messages shown, in order.
    QStringList MessageTexts() const;
    bool AllScriptUsed() const { return questions_.empty() && fileExists_.empty(); }

    std::vector<Shown> messages;
    std::vector<Shown> questionsAsked;
    QStringList unexpected;
    QStringList cancelWindowTexts;
    QStringList fileExistsTexts;
    bool cancelWindowShown = false;
    // Every progress call, as done and total, oldest first.
    std::vector<std::pair<int, int>> progress;
    // What the user does when a transfer reports how far it is (e.g. press Cancel).
    std::function<void(int done)> onProgress;
    int beeps = 0;
    bool agreeable = false;
    QStringList listed;
    std::map<StatusPanel, QString> status;
    // Every text each panel was given, oldest first.
    std::map<StatusPanel, QStringList> statusHistory;

private:
    std::deque<std::pair<QString, Answer>> questions_;
    std::deque<FileExistsAnswer> fileExists_;
};
