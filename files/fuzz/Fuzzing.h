#pragma once

#include "model/UserInteraction.h"

#include <cstdio>
#include <cstdlib>

// What the file fuzz targets share: a user who reads on past every invalid
// record, and a check that stops the run at the first broken promise, naming
// it and the input that broke it.

class PatientUser : public UserInteraction
{
public:
    void Message(const QString&, MessageIcon, const QString&) override {}
    Answer Question(const QString&, Buttons, MessageIcon, const QString&) override
    {
        return Answer::Ok;
    }
    void SetStatusText(StatusPanel, const QString&) override {}
    void ShowCancelWindow(const QString&) override {}
    void HideCancelWindow() override {}
    FileExistsAnswer AskFileExists(const QString&) override { return FileExistsAnswer::Cancel; }
};

inline void Require(bool condition, const char* what, const QString& detail = {})
{
    if (!condition) {
        std::fprintf(stderr, "%s: [%s]\n", what, detail.toUtf8().constData());
        std::abort();
    }
}
