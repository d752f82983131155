#include "gpslink/Platform.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace {

QString SystemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t endOnSecondSignal = 0;
volatile std::sig_atomic_t signalsArrived = 0;

extern "C" void OnTerminationSignal(int signal)
{
    if (endOnSecondSignal && signalsArrived > 0)
        ::_exit(128 + signal);
    signalsArrived = signalsArrived + 1;
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

std::optional<PseudoTerminal> OpenPseudoTerminal(QString* error)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        if (error)
            *error = SystemError("posix_openpt");
        return std::nullopt;
    }
    auto fail = [&](const char* what, int slave = -1) -> std::optional<PseudoTerminal> {
        if (error)
            *error = SystemError(what);
        if (slave >= 0)
            ::close(slave);
        ::close(master);
        return std::nullopt;
    };
    if (::grantpt(master) != 0)
        return fail("grantpt");
    if (::unlockpt(master) != 0)
        return fail("unlockpt");
    const char* name = ::ptsname(master);
    if (!name)
        return fail("ptsname");
    const QString path = QString::fromLocal8Bit(name);
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        return fail("open");
    termios settings{};
    if (::tcgetattr(slave, &settings) != 0)
        return fail("tcgetattr", slave);
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(slave, TCSANOW, &settings) != 0)
        return fail("tcsetattr", slave);
    const int flags = ::fcntl(master, F_GETFL);
    if (flags < 0 || ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl", slave);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    PseudoTerminal terminal;
    terminal.masterFd = master;
    terminal.slaveFd = slave;
    terminal.devicePath = path;
    return terminal;
}

void ClosePseudoTerminal(PseudoTerminal& terminal)
{
    if (terminal.slaveFd >= 0)
        ::close(terminal.slaveFd);
    if (terminal.masterFd >= 0)
        ::close(terminal.masterFd);
    terminal.slaveFd = -1;
    terminal.masterFd = -1;
}

qint64 ReadPseudoTerminal(const PseudoTerminal& terminal, char* data, qint64 size)
{
    for (;;) {
        const ssize_t n = ::read(terminal.masterFd, data, static_cast<size_t>(size));
        if (n > 0)
            return n;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        return -1; // EOF or EIO: nobody holds the device side
    }
}

qint64 WritePseudoTerminal(const PseudoTerminal& terminal, const char* data, qint64 size)
{
    for (;;) {
        const ssize_t n = ::write(terminal.masterFd, data, static_cast<size_t>(size));
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        return -1;
    }
}

qint64 UnreadByHost(const PseudoTerminal& terminal)
{
    int count = 0;
    if (terminal.slaveFd < 0 || ::ioctl(terminal.slaveFd, FIONREAD, &count) != 0)
        return 0;
    return count;
}

std::optional<LineErrorCounts> ReadLineErrorCounts(qintptr handle)
{
#if defined(__linux__) && defined(TIOCGICOUNT)
    serial_icounter_struct counters{};
    if (::ioctl(static_cast<int>(handle), TIOCGICOUNT, &counters) != 0)
        return std::nullopt;
    LineErrorCounts counts;
    counts.breaks = static_cast<quint64>(counters.brk);
    counts.framing = static_cast<quint64>(counters.frame);
    counts.overrun = static_cast<quint64>(counters.overrun);
    counts.parity = static_cast<quint64>(counters.parity);
    counts.bufferOverrun = static_cast<quint64>(counters.buf_overrun);
    return counts;
#else
    Q_UNUSED(handle);
    return std::nullopt;
#endif
}

int TerminationSignalDescriptor()
{
    if (signalPipe[0] >= 0)
        return signalPipe[0];
    if (::pipe(signalPipe) != 0)
        return -1;
    for (const int fd : signalPipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action
    {
    };
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    return signalPipe[0];
}

int TakeTerminationSignal()
{
    char byte = 0;
    if (signalPipe[0] < 0 || ::read(signalPipe[0], &byte, 1) != 1)
        return 0;
    return byte;
}

void EndOnSecondTerminationSignal()
{
    endOnSecondSignal = 1;
}

bool IsTerminal(int fd)
{
    return ::isatty(fd) == 1;
}

std::optional<std::chrono::microseconds> ProcessCpuTime()
{
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0)
        return std::nullopt;
    const auto micro = [](const timeval& t) {
        return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
    };
    return micro(usage.ru_utime) + micro(usage.ru_stime);
}

std::optional<qint64> PeakResidentKilobytes()
{
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0)
        return std::nullopt;
    return qint64(usage.ru_maxrss);
}

std::optional<ChildUsage> ChildProcessesUsage()
{
    rusage usage{};
    if (::getrusage(RUSAGE_CHILDREN, &usage) != 0)
        return std::nullopt;
    const auto micro = [](const timeval& t) {
        return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
    };
    return ChildUsage{micro(usage.ru_utime) + micro(usage.ru_stime), qint64(usage.ru_maxrss)};
}

bool LimitFileSize(std::optional<qint64> bytes)
{
    // Past the cap a write fails with EFBIG instead of the signal ending us.
    std::signal(SIGXFSZ, bytes ? SIG_IGN : SIG_DFL);
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return false;
    limit.rlim_cur = bytes ? rlim_t(*bytes) : limit.rlim_max;
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

int RedirectStandardError(int fd)
{
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    if (saved >= 0)
        ::dup2(fd, STDERR_FILENO);
    return saved;
}

void RestoreStandardError(int saved)
{
    if (saved < 0)
        return;
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
}
