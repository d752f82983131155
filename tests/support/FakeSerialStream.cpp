#include "tests/support/FakeSerialStream.h"

std::optional<QString> FakeSerialStream::SetPort(const QString& port)
{
    if (portError)
        return portError;
    if (open_)
        return QStringLiteral("Operation valid only when the port is closed");
    port_ = port;
    return std::nullopt;
}

std::optional<QString> FakeSerialStream::SetSettings(const QString& settings)
{
    if (settingsError)
        return settingsError;
    settings_ = settings;
    return std::nullopt;
}

std::optional<QString> FakeSerialStream::Open()
{
    if (openError)
        return openError;
    open_ = true;
    return std::nullopt;
}

std::optional<QString> FakeSerialStream::Close()
{
    ++closeCalls;
    open_ = false;
    pending_.clear();
    return std::nullopt;
}

QByteArray FakeSerialStream::ReadAvailable()
{
    QByteArray bytes;
    bytes.swap(input_);
    return bytes;
}

std::optional<QString> FakeSerialStream::Write(const QByteArray& bytes)
{
    if (writeError)
        return writeError;
    if (!open_)
        return QStringLiteral("Port is closed");
    pending_ += bytes;
    if (!holdOutput)
        TransmitOutput();
    return std::nullopt;
}

void FakeSerialStream::QueueInput(const QByteArray& bytes)
{
    input_ += bytes;
    emit DataArrived();
}

void FakeSerialStream::TransmitOutput()
{
    if (pending_.isEmpty())
        return;
    transmitted += pending_;
    pending_.clear();
    emit BytesWritten();
}
