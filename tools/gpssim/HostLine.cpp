#include "tools/gpssim/HostLine.h"

#include "tools/gpssim/Trace.h"

#include <QSocketNotifier>
#include <cmath>

namespace {

// Stray bytes a noisy line puts before a sentence; none of them is "$".
const QByteArray kNoise = QByteArrayLiteral("?~#");
// A line longer than this without an end is garbage and is dropped.
constexpr qsizetype kMaxLine = 4096;
// A paced sender hands the host what the line has carried at least this often.
constexpr int kPaceMs = 10;
// How long a hang-up waits at most for the host to read the last sentence.
constexpr int kHangupWaits = 100;
constexpr int kHangupPollMs = 20;

} // namespace

qsizetype HostLine::LinePace::Through(qsizetype queued, double nowMs) const
{
    if (!Throttled())
        return queued;
    // A little slack, so a timer that wakes on the very microsecond is not a byte short.
    const double carried = std::floor((nowMs - freeMs_) / byteMs_ + 1e-6);
    return carried <= 0 ? 0 : std::min(queued, static_cast<qsizetype>(carried));
}

int HostLine::LinePace::MsUntilThrough(qsizetype bytes, double nowMs) const
{
    const double due = freeMs_ + static_cast<double>(bytes) * byteMs_;
    return std::max(0, static_cast<int>(std::ceil(due - nowMs)));
}

HostLine::HostLine(PseudoTerminal terminal, Faults faults, QObject* parent)
    : QObject(parent), terminal_(std::move(terminal)), faults_(faults), sendPace_(faults.baud),
      receivePace_(faults.baud)
{
    readNotifier_ = new QSocketNotifier(terminal_.masterFd, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &HostLine::ReadHost);
    writeNotifier_ = new QSocketNotifier(terminal_.masterFd, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &HostLine::WritePending);

    paceTimer_.setSingleShot(true);
    paceTimer_.setTimerType(Qt::PreciseTimer);
    connect(&paceTimer_, &QTimer::timeout, this, &HostLine::WritePending);
    carryTimer_.setSingleShot(true);
    carryTimer_.setTimerType(Qt::PreciseTimer);
    connect(&carryTimer_, &QTimer::timeout, this, &HostLine::DeliverCarried);
    reopenTimer_.setSingleShot(true);
    connect(&reopenTimer_, &QTimer::timeout, this, [this] {
        if (readNotifier_)
            readNotifier_->setEnabled(true);
    });
    hangupTimer_.setInterval(kHangupPollMs);
    connect(&hangupTimer_, &QTimer::timeout, this, &HostLine::CloseWhenRead);
    clock_.start();
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
    if (pending_.isEmpty())
        sendPace_.StartIdle(NowMs());
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
    const double now = NowMs();
    const qint64 allowed = sendPace_.Through(pending_.size(), now);
    if (allowed > 0) {
        const qint64 written = WritePseudoTerminal(terminal_, pending_.constData(), allowed);
        if (written < 0) {
            Trace(QStringLiteral("# the terminal refused output; dropped"));
            pending_.clear();
        } else {
            pending_.remove(0, written);
            sendPace_.Passed(written);
            if (written < allowed && !sendPace_.Throttled())
                writeNotifier_->setEnabled(true); // the host's buffer is full
        }
    }
    if (pending_.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            if (Idle())
                emit Drained();
        });
    } else if (!writeNotifier_->isEnabled()) {
        // Wake when the line has carried the rest, or a little of it: the host
        // sees a sentence's end no sooner than the line allows.
        const int rest = sendPace_.MsUntilThrough(pending_.size(), now);
        const int next = sendPace_.MsUntilThrough(1, now);
        paceTimer_.start(std::max({1, next, std::min(rest, kPaceMs)}));
    }
}

void HostLine::ReadHost()
{
    if (onLine_.isEmpty())
        receivePace_.StartIdle(NowMs());
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
        onLine_.append(chunk, n);
    }
    DeliverCarried();
}

// What the host wrote reaches the receiver only as fast as the line carries
// it, so a whole line is understood no sooner than a real receiver could.
void HostLine::DeliverCarried()
{
    const double now = NowMs();
    const qsizetype carried = receivePace_.Through(onLine_.size(), now);
    if (carried > 0) {
        received_ += onLine_.left(carried);
        onLine_.remove(0, carried);
        receivePace_.Passed(carried);
        SplitLines();
    }
    if (!onLine_.isEmpty() && IsOpen()) {
        // Wake when the next line end has crossed.
        const qsizetype end = onLine_.indexOf('\n');
        const qsizetype bytes = end < 0 ? onLine_.size() : end + 1;
        carryTimer_.start(std::max(1, receivePace_.MsUntilThrough(bytes, now)));
    }
}

void HostLine::SplitLines()
{
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
    carryTimer_.stop();
    delete readNotifier_;
    readNotifier_ = nullptr;
    delete writeNotifier_;
    writeNotifier_ = nullptr;
    ClosePseudoTerminal(terminal_);
    Trace(QStringLiteral("# hung up"));
    emit HungUp();
}
