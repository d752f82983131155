#include "cli/TerminalInteraction.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <cstdio>

namespace {

// Short transfers stay quiet; a long one redraws its line now and then.
constexpr qint64 kQuietMs = 500;
constexpr qint64 kRedrawMs = 100;

struct Choices
{
    QString prompt;
    Answer positive; // what --yes answers
    Answer negative; // what no terminal, the end of the input and Ctrl+C answer
    QList<std::pair<QString, Answer>> words;
};

Choices ChoicesOf(Buttons buttons)
{
    switch (buttons) {
    case Buttons::YesNo:
        return {QStringLiteral("Yes or No? [y/n] "),
                Answer::Yes,
                Answer::No,
                {{QStringLiteral("yes"), Answer::Yes}, {QStringLiteral("no"), Answer::No}}};
    case Buttons::OkCancel:
        return {QStringLiteral("OK or Cancel? [o/c] "),
                Answer::Ok,
                Answer::Cancel,
                {{QStringLiteral("ok"), Answer::Ok}, {QStringLiteral("cancel"), Answer::Cancel}}};
    case Buttons::AbortRetryIgnore:
        return {QStringLiteral("Abort, Retry or Ignore? [a/r/i] "),
                Answer::Ignore,
                Answer::Abort,
                {{QStringLiteral("abort"), Answer::Abort},
                 {QStringLiteral("retry"), Answer::Retry},
                 {QStringLiteral("ignore"), Answer::Ignore}}};
    case Buttons::Ok:
        break;
    }
    return {{}, Answer::Ok, Answer::Ok, {}};
}

QString AnswerText(Answer answer)
{
    switch (answer) {
    case Answer::Ok:
        return QStringLiteral("OK");
    case Answer::Cancel:
        return QStringLiteral("Cancel");
    case Answer::Yes:
        return QStringLiteral("Yes");
    case Answer::No:
        return QStringLiteral("No");
    case Answer::Abort:
        return QStringLiteral("Abort");
    case Answer::Retry:
        return QStringLiteral("Retry");
    case Answer::Ignore:
        return QStringLiteral("Ignore");
    }
    return {};
}

} // namespace

TerminalInteraction::TerminalInteraction(MessageStream& out, Interrupts& interrupts, bool assumeYes,
                                         bool askOnTerminal)
    : out_(out), interrupts_(interrupts), assumeYes_(assumeYes), askOnTerminal_(askOnTerminal)
{
}

void TerminalInteraction::Message(const QString& text, MessageIcon, const QString& title)
{
    // A title of its own says what the text is about ("Navora - Datum").
    out_.Line(title == kProgramTitle ? text : title + u'\n' + text);
}

Answer TerminalInteraction::Question(const QString& text, Buttons buttons, MessageIcon icon,
                                     const QString& title)
{
    Message(text, icon, title);
    const Choices choices = ChoicesOf(buttons);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (assumeYes_) {
        out_.Line(QStringLiteral("Answered ") + AnswerText(choices.positive) +
                  QStringLiteral(", as --yes asks."));
        return choices.positive;
    }
    if (interrupts_.Interrupted()) {
        out_.Line(QStringLiteral("Answered ") + AnswerText(choices.negative) +
                  QStringLiteral(", as Ctrl+C was pressed."));
        return choices.negative;
    }
    if (!askOnTerminal_) {
        out_.Line(QStringLiteral("Answered ") + AnswerText(choices.negative) +
                  QStringLiteral(", as there is no terminal to ask on (--yes answers ") +
                  AnswerText(choices.positive) + QStringLiteral(")."));
        return choices.negative;
    }
    return AskOnTerminal(buttons).value_or(choices.negative);
}

std::optional<Answer> TerminalInteraction::AskOnTerminal(Buttons buttons)
{
    const Choices choices = ChoicesOf(buttons);
    for (;;) {
        out_.Prompt(choices.prompt);
        // Waits in the event loop, so that Ctrl+C is heard meanwhile.
        QEventLoop loop;
        QSocketNotifier input(0, QSocketNotifier::Read);
        QObject::connect(&input, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        QObject::connect(&interrupts_, &Interrupts::Arrived, &loop, &QEventLoop::quit);
        loop.exec();
        char buffer[256];
        if (interrupts_.Interrupted() || !std::fgets(buffer, sizeof buffer, stdin)) {
            out_.Line(QString());
            return std::nullopt;
        }
        const QString word = QString::fromLocal8Bit(buffer).trimmed().toLower();
        for (const auto& [name, answer] : choices.words) {
            if (!word.isEmpty() && name.startsWith(word))
                return answer;
        }
    }
}

void TerminalInteraction::SetStatusText(StatusPanel, const QString&) {}

void TerminalInteraction::ShowCancelWindow(const QString& activity)
{
    activity_ = activity;
    sinceActivity_.start();
    sinceDrawn_.invalidate();
    sinceFirstProgress_.invalidate();
}

void TerminalInteraction::HideCancelWindow()
{
    out_.ClearProgress();
}

void TerminalInteraction::ShowProgress(int done, int total)
{
    if (!out_.IsTerminal())
        return;
    if (!sinceFirstProgress_.isValid()) {
        sinceFirstProgress_.start();
        firstDone_ = done;
    }
    if (!sinceActivity_.isValid() || sinceActivity_.elapsed() < kQuietMs)
        return;
    if (sinceDrawn_.isValid() && sinceDrawn_.elapsed() < kRedrawMs && done != total)
        return;
    sinceDrawn_.start();
    QString text = activity_ + u' ';
    if (total <= 0) {
        text += QStringLiteral("%1 received").arg(done);
    } else {
        text += QStringLiteral("%1 of %2").arg(done).arg(total);
        if (done > firstDone_) {
            const qint64 left =
                sinceFirstProgress_.elapsed() * (total - done) / (done - firstDone_) / 1000;
            text += QStringLiteral(", about ") + ClockText(left) + QStringLiteral(" left");
        }
    }
    out_.Progress(text);
}

FileExistsAnswer TerminalInteraction::AskFileExists(const QString&)
{
    return FileExistsAnswer::Overwrite;
}
