#include "cli/MessageStream.h"

#include <cstdio>

void MessageStream::Write(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void MessageStream::Line(const QString& text)
{
    ClearProgress();
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    Write(lines + u'\n');
}

void MessageStream::Prompt(const QString& text)
{
    ClearProgress();
    Write(text);
}

void MessageStream::Progress(const QString& text)
{
    if (!terminal_)
        return;
    // Back to the start of the line, the text, and the rest of the line erased.
    Write(u'\r' + text + QStringLiteral("\x1b[K"));
    progressShown_ = true;
}

void MessageStream::ClearProgress()
{
    if (!progressShown_)
        return;
    Write(QStringLiteral("\r\x1b[K"));
    progressShown_ = false;
}

QString ClockText(qint64 seconds)
{
    const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); };
    if (seconds >= 3600)
        return QString::number(seconds / 3600) + u':' + two(seconds / 60 % 60) + u':' +
               two(seconds % 60);
    return QString::number(seconds / 60) + u':' + two(seconds % 60);
}
