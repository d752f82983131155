#include "tools/gpssim/HostLine.h"

#include "tools/gpssim/Trace.h"

#include <QSocketNotifier>
#include <algorithm>

namespace {

// Stray bytes a noisy line puts before a sentence; none of them is "$".
const QByteArray kNoise = QByteArrayLiteral("?~#");
// A line longer than this without an end is garbage and is dropped.
constexpr qsizetype kMaxLine = 4096;
constexpr int kPaceMs = 10;
// How long a hang-up waits at most for the host to read the last sentence.
constexpr int kHangupWaits = 100;
constexpr int kHangupPollMs = 20;

} // namespace

HostLine::HostLine(PseudoTerminal terminal, Faults faults, QObject* parent)
    : QObject(parent), terminal_(std::move(terminal)), faults_(faults)
{
    readNotifier_ = new QSocketNotifier(terminal_.masterFd, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &HostLine::ReadHost);
    writeNotifier_ = new QSocketNotifier(terminal_.masterFd, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &HostLine::WritePending);

    paceTimer_.setSingleShot(true);
    connect(&paceTimer_, &QTimer::timeout, this, &HostLine::WritePending);
    reopenTimer_.setSingleShot(true);
    connect(&reopenTimer_, &QTimer::timeout, this, [this] {
        if (readNotifier_)
            readNotifier_->setEnabled(true);
    });
    hangupTimer_.setInterval(kHangupPollMs);
    connect(&hangupTimer_, &QTimer::timeout, this, &HostLine::CloseWhenRead);
    paceClock_.start();
}

HostLine::~HostLine()
{
    delete readNotifier_;
    delete writeNotifier_;
    ClosePseudoTerminal(terminal_);
}

void HostLine::Send(const QString& sentence)
{
    if (hangingUp_ || !IsOpen())
        return;
    Trace(QStringLiteral("> ") + sentence.trimmed());
    if (faults_.noise)
        pending_ += kNoise;
    pending_ += sentence.toLatin1();
    ++sentences_;
    if (faults_.hangupAfter > 0 && sentences_ >= faults_.hangupAfter) {
        hangingUp_ = true;
        hangupTimer_.start();
    }
    WritePending();
}

void HostLine::WritePending()
{
    if (!IsOpen())
        return;
    writeNotifier_->setEnabled(false);
    qint64 allowed = pending_.size();
    if (faults_.baud > 0) {
        const double bytesPerMs = faults_.baud / 10000.0;
        const double burst = std::max(1.0, bytesPerMs * 100);
        credit_ = std::min(burst, credit_ + paceClock_.restart() * bytesPerMs);
        allowed = std::min<qint64>(allowed, static_cast<qint64>(credit_));
    }
    if (allowed > 0) {
        const qint64 written = WritePseudoTerminal(terminal_, pending_.constData(), allowed);
        if (written < 0) {
            Trace(QStringLiteral("# the terminal refused output; dropped"));
            pending_.clear();
        } else {
            pending_.remove(0, written);
            credit_ -= static_cast<double>(written);
            if (written < allowed && faults_.baud == 0)
                writeNotifier_->setEnabled(true); // the host's buffer is full
        }
    }
    if (pending_.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            if (Idle())
                emit Drained();
        });
    } else if (!writeNotifier_->isEnabled()) {
        paceTimer_.start(kPaceMs);
    }
}

void HostLine::ReadHost()
{
    char chunk[1024];
    for (;;) {
        const qint64 n = ReadPseudoTerminal(terminal_, chunk, sizeof chunk);
        if (n == 0)
            break;
        if (n < 0) {
            // Nobody holds the device side: poll now and then, never spin.
            readNotifier_->setEnabled(false);
            reopenTimer_.start(200);
            break;
        }
        received_.append(chunk, n);
    }
    qsizetype end;
    while ((end = received_.indexOf('\n')) >= 0) {
        QByteArray line = received_.left(end);
        received_.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QString text = QString::fromLatin1(line);
        Trace(QStringLiteral("< ") + text);
        emit LineReceived(text);
        if (!IsOpen())
            return;
    }
    if (received_.size() > kMaxLine)
        received_.clear();
}

void HostLine::CloseWhenRead()
{
    if (!pending_.isEmpty())
        return;
    if (UnreadByHost(terminal_) > 0 && ++hangupWaits_ < kHangupWaits)
        return;
    hangupTimer_.stop();
    paceTimer_.stop();
    delete readNotifier_;
    readNotifier_ = nullptr;
    delete writeNotifier_;
    writeNotifier_ = nullptr;
    ClosePseudoTerminal(terminal_);
    Trace(QStringLiteral("# hung up"));
    emit HungUp();
}
